#include "GameplayPrototypes.h"

#include "BehaviorEditor.h"
#include "BehaviorLevelHooks.h"
#include "CCSM.h"
#include "CCSMSystem.h"
#include "GameStats.h"

void RegisterGameplayPrototypes()
{
    InstallCCSMSystem();
    InstallBehaviorEditorHook();
    InstallBehaviorLevelHooks();
    // Each first construction stores its class prototype.
    CCSM machine;
    GameStats stats;
}
