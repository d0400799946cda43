#include "GameplayPrototypes.h"

#include "BehaviorEditor.h"
#include "CCSM.h"
#include "CCSMSystem.h"
#include "GameStats.h"

void RegisterGameplayPrototypes()
{
    InstallCCSMSystem();
    InstallBehaviorEditorHook();
    // Each first construction stores its class prototype.
    CCSM machine;
    GameStats stats;
}
