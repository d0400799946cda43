#include "BehaviorPrototypes.h"

#include "CCSMFactory.h"
#include "StandInBehaviors.h"

void RegisterBehaviorPrototypes(CCSMFactory& factory)
{
    factory.RegisterState(std::make_unique<NullState>());
    factory.RegisterState(std::make_unique<StandInState>(kStateUnGrabbed));
    factory.RegisterState(std::make_unique<StandInState>(kStateGrabbed));
    factory.RegisterState(std::make_unique<StandInState>(kStateOnGround));
    factory.RegisterState(std::make_unique<StandInState>(kStateInAir));
    factory.RegisterState(std::make_unique<StandInState>(kStateEditorMode));
    factory.RegisterState(std::make_unique<StandInState>(kStatePlayMode));
    factory.RegisterState(std::make_unique<StandInState>(kStateMenuButtonMode));

    factory.RegisterCommand(std::make_unique<NullCommand>());
    factory.RegisterCommand(std::make_unique<StandInCommand>(kCommandMoveUp));
    factory.RegisterCommand(std::make_unique<StandInCommand>(kCommandMoveDown));
    factory.RegisterCommand(std::make_unique<StandInCommand>(kCommandMoveLeft));
    factory.RegisterCommand(std::make_unique<StandInCommand>(kCommandMoveRight));
    factory.RegisterCommand(std::make_unique<StandInCommand>(kCommandStopMoving));
    factory.RegisterCommand(std::make_unique<StandInCommand>(kCommandGrab));
    factory.RegisterCommand(std::make_unique<StandInCommand>(kCommandThrow));
    factory.RegisterCommand(std::make_unique<StandInCommand>(kCommandJump));
    factory.RegisterCommand(std::make_unique<StandInCommand>(kCommandScore));
    factory.RegisterCommand(std::make_unique<StandInCommand>(kCommandMakeHeavy));
    factory.RegisterCommand(std::make_unique<StandInCommand>(kCommandMakeLight));
    factory.RegisterCommand(std::make_unique<StandInCommand>(kCommandRoundEnd));
    factory.RegisterCommand(std::make_unique<StandInCommand>(kCommandSelectMenuButton));
    factory.RegisterCommand(std::make_unique<StandInCommand>(kCommandDeSelectMenuButton));
    factory.RegisterCommand(std::make_unique<StandInCommand>(kCommandPressMenuButton));
    factory.RegisterCommand(std::make_unique<StandInCommand>(kCommandSlowTime));
    factory.RegisterCommand(std::make_unique<StandInCommand>(kCommandRespawn));
    factory.RegisterCommand(std::make_unique<StandInCommand>(kCommandUnspawn));
    factory.RegisterCommand(std::make_unique<StandInCommand>(kCommandResetPlayers));
    factory.RegisterCommand(std::make_unique<StandInCommand>(kCommandLevelStart));
}
