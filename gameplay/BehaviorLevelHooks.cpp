#include "BehaviorLevelHooks.h"

#include "CCSMFactory.h"
#include "CCSMSystem.h"
#include "LevelHooks.h"

void InstallBehaviorLevelHooks()
{
    LevelHooks& hooks = GetLevelHooks();
    hooks.getTables = [] { return gCCSMFactory ? gCCSMFactory->GetTables() : BehaviorTablesData(); };
    // Ids without a state or command still load (with the factory's warning); the live machines are rebuilt
    // from the new tables at once.
    hooks.replaceTables = [](const BehaviorTablesData& tables)
    {
        if (gCCSMFactory == nullptr)
            return;
        gCCSMFactory->ReplaceTables(tables);
        RebuildAll();
    };
}
