#include "BehaviorPrototypes.h"

#include "BallCommands.h"
#include "BallStates.h"
#include "CCSMFactory.h"
#include "GameManagerStates.h"
#include "PlayerCommands.h"
#include "PlayerStates.h"
#include "RoundCommands.h"
#include "StandInBehaviors.h"

void RegisterBehaviorPrototypes(CCSMFactory& factory)
{
    factory.RegisterState(std::make_unique<NullState>());
    factory.RegisterState(std::make_unique<StateUnGrabbed>());
    factory.RegisterState(std::make_unique<StateGrabbed>());
    factory.RegisterState(std::make_unique<StateOnGround>());
    factory.RegisterState(std::make_unique<StateInAir>());
    factory.RegisterState(std::make_unique<GameManagerStateEditor>());
    factory.RegisterState(std::make_unique<GameManagerStatePlay>());
    factory.RegisterState(std::make_unique<StandInState>(kStateMenuButtonMode));

    factory.RegisterCommand(std::make_unique<NullCommand>());
    factory.RegisterCommand(std::make_unique<CommandMoveUp>());
    factory.RegisterCommand(std::make_unique<CommandMoveDown>());
    factory.RegisterCommand(std::make_unique<CommandMoveLeft>());
    factory.RegisterCommand(std::make_unique<CommandMoveRight>());
    factory.RegisterCommand(std::make_unique<CommandStopMoving>());
    factory.RegisterCommand(std::make_unique<CommandGrab>());
    factory.RegisterCommand(std::make_unique<CommandThrow>());
    factory.RegisterCommand(std::make_unique<CommandJump>());
    factory.RegisterCommand(std::make_unique<ScoreCommand>());
    factory.RegisterCommand(std::make_unique<MakeHeavyCommand>());
    factory.RegisterCommand(std::make_unique<MakeLightCommand>());
    factory.RegisterCommand(std::make_unique<RoundEndCommand>());
    factory.RegisterCommand(std::make_unique<StandInCommand>(kCommandSelectMenuButton));
    factory.RegisterCommand(std::make_unique<StandInCommand>(kCommandDeSelectMenuButton));
    factory.RegisterCommand(std::make_unique<StandInCommand>(kCommandPressMenuButton));
    factory.RegisterCommand(std::make_unique<SlowTimeCommand>());
    factory.RegisterCommand(std::make_unique<RespawnCommand>());
    factory.RegisterCommand(std::make_unique<UnspawnCommand>());
    factory.RegisterCommand(std::make_unique<ResetPlayersCommand>());
    factory.RegisterCommand(std::make_unique<LevelStartCommand>());
}
