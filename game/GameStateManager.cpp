#include "GameStateManager.h"

#include "CreditsScreen.h"
#include "Engine.h"
#include "GameObjectFactory.h"
#include "GameSplashScreen.h"
#include "GameStateRequest.h"
#include "GameplayDemo.h"
#include "Level1Temp.h"
#include "Level2Temp.h"
#include "M2Level1.h"
#include "M2Level2.h"
#include "MainMenu.h"
#include "PhysicsTestState.h"
#include "TorvaneSplashScreen.h"
#include "WinScreenLevel1.h"
#include "WinScreenLevel2.h"

#include <exception>

GameStateManager* gGameStateManager = nullptr;

std::vector<std::unique_ptr<GameState>> MakeGameStates()
{
    std::vector<std::unique_ptr<GameState>> list;
    list.push_back(std::make_unique<Level1Temp>());
    list.push_back(std::make_unique<Level2Temp>());
    list.push_back(std::make_unique<PhysicsTestState>());
    list.push_back(std::make_unique<GameplayDemo>());
    list.push_back(std::make_unique<M2Level1>());
    list.push_back(std::make_unique<M2Level2>());
    list.push_back(std::make_unique<WinScreenLevel1>());
    list.push_back(std::make_unique<WinScreenLevel2>());
    list.push_back(std::make_unique<MainMenu>());
    list.push_back(std::make_unique<TorvaneSplashScreen>());
    list.push_back(std::make_unique<GameSplashScreen>());
    list.push_back(std::make_unique<CreditsScreen>());
    return list;
}

GameStateManager::GameStateManager(GameStateListMaker makeStates_)
    : EngineSystem(estGameStateManager), makeStates(std::move(makeStates_))
{
    RequestGameState(kFirstGameState);
    SetCurrentGameState(currentIndex);
    PublishOnce(gGameStateManager, this);
}

GameStateManager::~GameStateManager()
{
    UnpublishIfOwner(gGameStateManager, this);
}

void GameStateManager::Init()
{
    for (std::unique_ptr<GameState>& state : makeStates())
        states.push_back(std::move(state));
}

bool GameStateManager::NamesState(std::int32_t index)
{
    // Tested as unsigned, so -1 and every other negative value name no state.
    return static_cast<std::uint32_t>(index) < static_cast<std::uint32_t>(GameStateIndex::Count);
}

GameState& GameStateManager::GetState(std::int32_t index) const
{
    return *states.at(static_cast<std::uint32_t>(index));
}

void GameStateManager::Update(float dt)
{
    if (currentIndex == kQuitRequest)
    {
        if (gEngine != nullptr)
            gEngine->running = false;
        return;
    }

    const std::int32_t requested = GetRequestedGameState();
    if (currentIndex != requested)
    {
        if (NamesState(currentIndex))
            ExitCurrent();
        if (requested == kRestartRequest)
        {
            RequestGameState(currentIndex);
            if (NamesState(currentIndex))
                GetState(currentIndex).Init();
        }
        else
        {
            SwitchTo(requested);
            if (!NamesState(currentIndex))
                return;
            GetState(currentIndex).Load();
            GetState(currentIndex).Init();
        }
    }

    if (NamesState(currentIndex))
        GetState(currentIndex).Update(dt);
}

void GameStateManager::ExitCurrent()
{
    GameState& leaving = GetState(currentIndex);
    // A failing Exit is reported here, once, and the switch goes on: left to the engine's handler, it
    // would stop the switch and repeat every update while the state never updated again.
    try
    {
        leaving.Exit();
    }
    catch (const std::exception& error)
    {
        ReportSystemError(SystemTypeName(GetSystemType()), error.what());
    }
    catch (...)
    {
        ReportSystemError(SystemTypeName(GetSystemType()), kUnknownExceptionMessage);
    }
}

void GameStateManager::SwitchTo(std::int32_t requested)
{
    if (NamesState(currentIndex))
        GetState(currentIndex).Unload();
    // The factory's destroy pass later in this same engine update removes the old world, before the new
    // state's objects are drawn; finders skip the queued objects meanwhile.
    if (gGameObjectFactory != nullptr)
        gGameObjectFactory->QueueDestroyAll();
    currentIndex = requested;
    SetCurrentGameState(currentIndex);
}

void GameStateManager::Exit()
{
    for (std::unique_ptr<GameState>& state : states)
        state.reset();
    states.clear();
}
