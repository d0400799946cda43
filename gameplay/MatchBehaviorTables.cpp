#include "MatchBehaviorTables.h"

#include "CCSMFactory.h"

void AddMatchBehaviorTables(CCSMFactory& factory)
{
    const std::vector<CommandId> ballCommands = {kCommandMakeHeavy, kCommandMakeLight, kCommandScore};
    factory.AddContext({"UnGrabbed Context", ballCommands});
    factory.AddContext({"Grabbed Context", ballCommands});
    // The set is stored as the match assembles it, the repeated UnGrabbed entry included.
    factory.AddBehaviorSet({"Ball Behavior",
                            kStateUnGrabbed,
                            {{kStateUnGrabbed, "UnGrabbed Context"},
                             {kStateNull, ""},
                             {kStateGrabbed, "Grabbed Context"},
                             {kStateUnGrabbed, "UnGrabbed Context"}}});

    factory.AddBehaviorSet({"Player Behavior",
                            kStateOnGround,
                            {{kStateOnGround, "OnGround Context"}, {kStateInAir, "InAir Context"}}});
    factory.AddContext({"OnGround Context",
                        {kCommandMoveDown, kCommandMoveLeft, kCommandMoveRight, kCommandJump,
                         kCommandStopMoving, kCommandGrab, kCommandThrow}});
    factory.AddContext({"InAir Context",
                        {kCommandMoveDown, kCommandMoveLeft, kCommandMoveRight, kCommandStopMoving,
                         kCommandGrab, kCommandThrow}});
}

void RegisterManagerBehavior(CCSMFactory& factory)
{
    factory.AddContext({"ManagerModePlay Context",
                        {kCommandRoundEnd, kCommandSlowTime, kCommandRespawn, kCommandUnspawn,
                         kCommandResetPlayers, kCommandLevelStart}});
    factory.AddContext({"ManagerModeEditor Context", {kCommandRoundEnd}});
    factory.AddBehaviorSet(
        {"Manager Behavior",
         kStatePlayMode,
         {{kStatePlayMode, "ManagerModePlay Context"}, {kStateEditorMode, "ManagerModeEditor Context"}}});
}
