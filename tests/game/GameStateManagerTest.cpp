#include "GameStateManager.h"
#include "Engine.h"
#include "EventManager.h"
#include "GameObjectFactory.h"
#include "GameStateRequest.h"
#include "PlaceholderSystem.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{
// Records every operation as "<operation> <index>" and can be told to throw from Init or Exit.
class RecordingState : public GameState
{
  public:
    RecordingState(std::uint32_t index, std::vector<std::string>& log) : GameState(index), log(log) {}

    void Load() override { Record("Load"); }
    void Init() override
    {
        Record("Init");
        if (throwOnInit)
            throw std::runtime_error("Init failed");
    }
    void Update(float dt) override
    {
        (void)dt;
        Record("Update");
    }
    void Exit() override
    {
        Record("Exit");
        if (throwOnExit)
            throw std::runtime_error("Exit failed");
        if (throwOtherOnExit)
            throw 7;
    }
    void Unload() override { Record("Unload"); }

    bool throwOnInit = false;
    bool throwOnExit = false;
    bool throwOtherOnExit = false;

  private:
    void Record(const std::string& operation) { log.push_back(operation + " " + std::to_string(GetIndex())); }

    std::vector<std::string>& log;
};

// A manager over twelve recording states, with an object factory and an engine whose running flag
// the quit request clears.
class GameStateManagerTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ResetObjectModel();
        EventManager::Reset();
        engine = std::make_unique<Engine>(SystemFactories{});
        factory = std::make_unique<GameObjectFactory>();
        factory->Init();
        manager = std::make_unique<GameStateManager>(
            [this]
            {
                std::vector<std::unique_ptr<GameState>> list;
                for (std::uint32_t i = 0; i < GameStateIndex::Count; ++i)
                {
                    auto state = std::make_unique<RecordingState>(i, log);
                    states.push_back(state.get());
                    list.push_back(std::move(state));
                }
                return list;
            });
        manager->Init();
    }
    void TearDown() override
    {
        manager->Exit();
        manager.reset();
        factory->Exit();
        factory.reset();
        engine.reset();
        ResetObjectModel();
    }

    // One manager update followed by the factory's destroy pass, as in an engine update.
    void Step()
    {
        manager->Update(1.0f / 60.0f);
        factory->DestroyQueuedObjects();
    }
    std::vector<std::string> TakeLog() { return std::exchange(log, {}); }

    std::vector<std::string> log;
    std::vector<RecordingState*> states;
    std::unique_ptr<Engine> engine;
    std::unique_ptr<GameObjectFactory> factory;
    std::unique_ptr<GameStateManager> manager;
};
} // namespace

TEST_F(GameStateManagerTest, FirstUpdateEntersTheMakersLogoWithLoadInitAndUpdate)
{
    EXPECT_EQ(manager->GetCurrentIndex(), -1);
    EXPECT_EQ(GetRequestedGameState(), 9);
    const GameObject* before = factory->CreateObject();
    const std::uint32_t id = before->id;

    Step();

    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"Load 9", "Init 9", "Update 9"}));
    EXPECT_EQ(GetCurrentGameState(), 9);
    EXPECT_EQ(manager->GetCurrentIndex(), 9);
    // The first switch queues every live object too.
    EXPECT_EQ(factory->GetObject(id), nullptr);

    Step();
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"Update 9"}));
}

TEST_F(GameStateManagerTest, SwitchRunsExitUnloadQueueLoadInitUpdateInOneUpdate)
{
    Step();
    TakeLog();
    const std::uint32_t oldId = factory->CreateObject()->id;

    RequestGameState(10);
    manager->Update(1.0f / 60.0f);
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"Exit 9", "Unload 9", "Load 10", "Init 10", "Update 10"}));
    EXPECT_TRUE(factory->GetObject(oldId)->IsQueuedForDestruction());
    factory->DestroyQueuedObjects();
    EXPECT_EQ(factory->GetObject(oldId), nullptr);

    // Writing the current index, or nothing, changes nothing.
    RequestGameState(10);
    Step();
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"Update 10"}));
}

TEST_F(GameStateManagerTest, RestartRunsExitInitUpdateAndDestroysNothing)
{
    Step();
    const std::uint32_t id = factory->CreateObject()->id;
    TakeLog();

    RequestGameState(kRestartRequest);
    Step();

    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"Exit 9", "Init 9", "Update 9"}));
    EXPECT_EQ(manager->GetCurrentIndex(), 9);
    EXPECT_EQ(GetRequestedGameState(), 9);
    ASSERT_NE(factory->GetObject(id), nullptr);
    EXPECT_FALSE(factory->GetObject(id)->IsQueuedForDestruction());
}

TEST_F(GameStateManagerTest, QuitStopsTheEngineOnExactlyTheSecondUpdateAndRunsNoState)
{
    Step();
    TakeLog();

    RequestGameState(kQuitRequest);
    Step();
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"Exit 9", "Unload 9"}));
    EXPECT_TRUE(engine->running);
    EXPECT_EQ(manager->GetCurrentIndex(), kQuitRequest);

    Step();
    EXPECT_TRUE(TakeLog().empty());
    EXPECT_FALSE(engine->running);
}

TEST_F(GameStateManagerTest, IndicesNamingNoStateRunNothingUntilAValidRequest)
{
    for (const std::int32_t bad : {12, -1, -4, 1000})
    {
        RequestGameState(5);
        Step();
        const std::uint32_t id = factory->CreateObject()->id;
        TakeLog();

        RequestGameState(bad);
        Step();
        EXPECT_EQ(TakeLog(), (std::vector<std::string>{"Exit 5", "Unload 5"})) << bad;
        EXPECT_EQ(factory->GetObject(id), nullptr) << bad;
        EXPECT_EQ(manager->GetCurrentIndex(), bad);

        Step();
        Step();
        EXPECT_TRUE(TakeLog().empty()) << bad;
        // A switch from nowhere still clears the world.
        const std::uint32_t stray = factory->CreateObject()->id;
        RequestGameState(5);
        Step();
        EXPECT_EQ(TakeLog(), (std::vector<std::string>{"Load 5", "Init 5", "Update 5"})) << bad;
        EXPECT_EQ(factory->GetObject(stray), nullptr) << bad;
    }
}

TEST_F(GameStateManagerTest, TheLastWriteBeforeTheUpdateWins)
{
    Step();
    TakeLog();
    RequestGameState(10);
    RequestGameState(kQuitRequest);
    RequestGameState(8);
    Step();
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"Exit 9", "Unload 9", "Load 8", "Init 8", "Update 8"}));
}

TEST_F(GameStateManagerTest, AThrowingInitKeepsTheNewIndexAndOnlyUpdatesFollow)
{
    Step();
    TakeLog();
    states[10]->throwOnInit = true;
    RequestGameState(10);
    EXPECT_THROW(manager->Update(1.0f / 60.0f), std::runtime_error);
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"Exit 9", "Unload 9", "Load 10", "Init 10"}));
    EXPECT_EQ(manager->GetCurrentIndex(), 10);

    Step();
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"Update 10"}));
}

TEST_F(GameStateManagerTest, AThrowingExitIsReportedOnceAndTheSwitchOrRestartStillCompletes)
{
    Step();
    TakeLog();
    states[9]->throwOnExit = true;
    RequestGameState(10);
    testing::internal::CaptureStderr();
    EXPECT_NO_THROW(Step());
    Step();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Engine system error in: estGameStateManager.  Exception thrown: Exit failed\n");
    const std::vector<std::string> expected = {"Exit 9",  "Unload 9",  "Load 10",
                                               "Init 10", "Update 10", "Update 10"};
    EXPECT_EQ(TakeLog(), expected);
    EXPECT_EQ(manager->GetCurrentIndex(), 10);

    // Anything thrown, not only standard exceptions; a restart goes on to Init as well.
    states[10]->throwOtherOnExit = true;
    RequestGameState(kRestartRequest);
    testing::internal::CaptureStderr();
    EXPECT_NO_THROW(Step());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Engine system error in: estGameStateManager.  Exception thrown: UNKOWN\n");
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"Exit 10", "Init 10", "Update 10"}));
    EXPECT_EQ(GetRequestedGameState(), 10);
}

TEST_F(GameStateManagerTest, StatesOutsideTheListThrowOutOfRangeBeforeInit)
{
    GameStateManager fresh([] { return std::vector<std::unique_ptr<GameState>>{}; });
    EXPECT_THROW(fresh.GetState(0), std::out_of_range);
    RequestGameState(3);
    EXPECT_THROW(fresh.Update(0.0f), std::out_of_range);
    EXPECT_TRUE(GameStateManager::NamesState(11));
    EXPECT_FALSE(GameStateManager::NamesState(12));
    EXPECT_FALSE(GameStateManager::NamesState(-1));
    EXPECT_FALSE(GameStateManager::NamesState(-2));
}

TEST(GameStateList, TheTwelveStatesSitAtTheirOwnIndices)
{
    const std::vector<std::unique_ptr<GameState>> list = MakeGameStates();
    ASSERT_EQ(list.size(), 12u);
    for (std::uint32_t i = 0; i < list.size(); ++i)
        EXPECT_EQ(list[i]->GetIndex(), i);
}
