#include "BehaviorSpies.h"
#include "CCSM.h"
#include "CCSMFactory.h"
#include "Event.h"
#include "EventManager.h"
#include "EventTextScript.h"
#include "FrameRateManager.h"
#include "GameFinishedScript.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStateRequest.h"
#include "GameStats.h"
#include "GameplayPrototypes.h"
#include "InputRecording.h"
#include "LevelFile.h"
#include "Light.h"
#include "LoggingSystem.h"
#include "MatchBehaviorTables.h"
#include "MenuHooks.h"
#include "MetaHooks.h"
#include "Observer.h"
#include "RigidBody.h"
#include "StatNames.h"
#include "TestSandbox.h"
#include "TextRenderer.h"
#include "TimerScript.h"
#include "Transform.h"
#include "TransitionScript.h"
#include "TypeIds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

// The manager's transition and game-finished scripts and the HUD's timer, each on a hand-built object.
namespace
{
class GoalSpy : public Observer
{
  public:
    GoalSpy() { Subscribe(evGoalScore); }
    void OnNotify(Event* event) override { sides.push_back(static_cast<GoalScoreEvent*>(event)->side); }
    std::vector<float> sides;
};

class RoundFlowScriptTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        EventManager::Reset();
        FrameRateManager::Reset();
        ResetInputRecording();
        ResetGameStateRequest();
        ResetCountdownCues();
        MenuHooks::Reset();
        SetLevelModuleNames({});
        objects.Init();
        behaviors.Init();
        RegisterManagerBehavior(behaviors);
        RegisterGameplayPrototypes();
    }
    void TearDown() override
    {
        objects.Exit();
        behaviors.Exit();
        MetaHooks::Reset();
        MenuHooks::Reset();
        ResetInputRecording();
        ResetGameStateRequest();
        FrameRateManager::Reset();
        EventManager::Reset();
    }

    GameObject& Manager()
    {
        GameObject* manager = objects.CreateObject();
        manager->tag = 6;
        CCSM machine;
        manager->AddComponent(machine);
        manager->GetComponentAs<CCSM>(ComponentTypeId::kCCSM)->SetBehavior("Manager Behavior");
        TransitionScript transition;
        manager->AddScript(transition);
        GameFinishedScript finished;
        manager->AddScript(finished);
        return *manager;
    }

    GameObjectFactory objects;
    CCSMFactory behaviors;
};
} // namespace

// Goals reset the players, the level start respawns, a finished round ends the round in the winner's
// colour; time-up and the other heard events hand in nothing; a refusing top state queues nothing.
TEST_F(RoundFlowScriptTest, TransitionHandsInTheRoundCommandsAndRemembersTheWinner)
{
    GameObject& manager = Manager();
    const struct
    {
        float side;
        std::vector<CommandId> expected;
    } goals[] = {{1.0f, {kCommandResetPlayers}},
                 {2.0f, {kCommandResetPlayers}},
                 {0.0f, {}},
                 {3.0f, {}},
                 {std::numeric_limits<float>::quiet_NaN(), {}}};
    for (const auto& goal : goals)
    {
        SCOPED_TRACE(goal.side);
        manager.GetComponentAs<CCSM>(ComponentTypeId::kCCSM)->Clear();
        manager.GetComponentAs<CCSM>(ComponentTypeId::kCCSM)->SetBehavior("Manager Behavior");
        GoalScoreEvent event(goal.side);
        EventManager::Dispatch(&event);
        EXPECT_EQ(QueuedCommands(manager), goal.expected);
    }
    CCSM& machine = *manager.GetComponentAs<CCSM>(ComponentTypeId::kCCSM);
    machine.Clear();
    machine.SetBehavior("Manager Behavior");
    LevelStartEvent start;
    EventManager::Dispatch(&start);
    BallGrabEvent grab;
    EventManager::Dispatch(&grab);
    EXPECT_EQ(QueuedCommands(manager), std::vector<CommandId>{kCommandRespawn});

    // Blue wins the round: the goal swells in blue while the round ends.
    GameObject* goal = objects.CreateObject();
    goal->tag = kTagGoal;
    machine.Clear();
    machine.SetBehavior("Manager Behavior");
    RoundFinishedEvent finished(2, 0, 1);
    EventManager::Dispatch(&finished);
    EXPECT_EQ(QueuedCommands(manager), std::vector<CommandId>{kCommandRoundEnd});
    machine.RunUpdate(0.5f);
    ASSERT_NE(GetLight(*goal), nullptr);
    EXPECT_EQ(GetLight(*goal)->tint.z, 255.0f);
    EXPECT_EQ(GetLight(*goal)->intensity, 0.5f);
    EXPECT_EQ(manager.GetScriptAs<TransitionScript>(ScriptTypeId::kTransitionScript)->GetLastRoundWinner(),
              2u);

    // The editor state allows only the round end: a goal is refused there.
    machine.Clear();
    machine.SetBehavior("Manager Behavior");
    machine.ChangeState(kStateEditorMode);
    GoalScoreEvent scored(1.0f);
    EventManager::Dispatch(&scored);
    EXPECT_TRUE(QueuedCommands(manager).empty());
}

// The round clock restarts exactly once at zero, follows "timer" and "reset", and ignores a bad length.
TEST_F(RoundFlowScriptTest, TimerRestartsAtZeroAndFollowsItsStats)
{
    GameObject* object = objects.CreateObject();
    GameStats stats;
    object->AddComponent(stats);
    TimerScript timer(0, 20.0f);
    object->AddScript(timer);
    auto& script = *object->GetScriptAs<TimerScript>(ScriptTypeId::kTimerScript);
    auto& values = *object->GetComponentAs<GameStats>(ComponentTypeId::kGameStats);
    const std::uint32_t clock = script.GetCountdownIndex();
    GoalSpy spy;

    script.Update(0.0f);
    EXPECT_EQ(values.GetStat(kStatTimer), 20.0f) << "created with the start time";
    EXPECT_EQ(values.GetStat("reset"), 0.0f);
    FrameRateManager::CountDownTimers(12.5f);
    script.Update(0.0f);
    EXPECT_EQ(script.GetTimeLeft(), 7.5f);
    EXPECT_TRUE(spy.sides.empty());

    FrameRateManager::CountDownTimers(100.0f);
    script.Update(0.0f);
    script.Update(0.0f);
    EXPECT_EQ(spy.sides, std::vector<float>{0.0f}) << "time-up fires once and restarts the clock";
    EXPECT_EQ(FrameRateManager::GetTimerValue(clock), 20.0f);

    values.SetStat(kStatTimer, 45.0f);
    FrameRateManager::CountDownTimers(100.0f);
    script.Update(0.0f);
    EXPECT_EQ(FrameRateManager::GetTimerValue(clock), 45.0f);

    FrameRateManager::CountDownTimers(5.0f);
    values.SetStat("reset", 1.0f);
    script.Update(0.0f);
    EXPECT_EQ(FrameRateManager::GetTimerValue(clock), 45.0f);
    EXPECT_EQ(values.GetStat("reset"), 0.0f);
    values.SetStat("reset", -1.0f);
    for (int frame = 0; frame < 3; ++frame)
    {
        FrameRateManager::CountDownTimers(1.0f);
        script.Update(0.0f);
        EXPECT_EQ(FrameRateManager::GetTimerValue(clock), 45.0f) << "held while negative";
    }
    values.SetStat("reset", 0.0f);

    for (const float bad : {0.0f, -3.0f, std::numeric_limits<float>::quiet_NaN()})
    {
        values.SetStat(kStatTimer, bad);
        FrameRateManager::CountDownTimers(100.0f);
        script.Update(0.0f);
        EXPECT_EQ(FrameRateManager::GetTimerValue(clock), 45.0f) << bad;
    }
    EXPECT_EQ(spy.sides.size(), 5u);
}

// A winner stops the recording (the file keeps its lines), opens the victory screen, unpauses and closes
// the menus; a winner other than 1 or 2 does nothing; during a replay the recording is left alone.
TEST_F(RoundFlowScriptTest, GameFinishedLeavesForTheWinnersScreen)
{
    Manager();
    LoggingSystem logs;
    const std::string recording = (TestSandboxFolder() / "finish.log").string();
    SetRecordingPath(recording);
    SetRecording(true);
    WriteInputRecord(kRecordKeyDown, 1, 2, 3);
    int closes = 0;
    MenuHooks::closeAllMenus = [&] {
        ++closes;
        EXPECT_FALSE(FrameRateManager::IsPaused()) << "unpaused before the menus close";
    };
    FrameRateManager::TogglePause();
    RequestGameState(3);

    GameFinishedEvent nobody(3, 1, 1);
    EventManager::Dispatch(&nobody);
    EXPECT_TRUE(IsRecording());
    EXPECT_EQ(GetRequestedGameState(), 3);
    EXPECT_EQ(closes, 0);

    GameFinishedEvent blue(2, 1, 3);
    EventManager::Dispatch(&blue);
    EXPECT_FALSE(IsRecording());
    EXPECT_EQ(GetRequestedGameState(), 7);
    EXPECT_FALSE(FrameRateManager::IsPaused());
    EXPECT_EQ(closes, 1);
    std::ifstream file(recording);
    std::string line;
    ASSERT_TRUE(std::getline(file, line));
    EXPECT_EQ(line, "0 768 1 2 3");

    GameFinishedEvent orange(1, 3, 1);
    EventManager::Dispatch(&orange);
    EXPECT_EQ(GetRequestedGameState(), 6);

    std::ofstream(GetReplayLogPath()) << "0 768 1 2 3\n";
    StartReplay();
    ASSERT_TRUE(IsReplaying());
    SetRecording(true);
    EventManager::Dispatch(&blue);
    EXPECT_TRUE(IsRecording());
    EXPECT_TRUE(IsReplaying());
    EXPECT_EQ(GetRequestedGameState(), 7);
}

// Each round start shows the next round's text at the centre, held by the "Text" countdown and then flung
// upward; with no voice-over playing the text stays.
TEST_F(RoundFlowScriptTest, EventTextShowsTheRoundAndFlingsIt)
{
    GameObject* object = objects.CreateObject();
    TextRenderer text;
    object->AddComponent(text);
    RigidBody body(5);
    object->AddComponent(body);
    EventTextScript script;
    object->AddScript(script);
    auto& events = *object->GetScriptAs<EventTextScript>(ScriptTypeId::kEventTextScript);
    auto& shown = *object->GetComponentAs<TextRenderer>(ComponentTypeId::kTextRenderer);
    object->GetComponentAs<Transform>(ComponentTypeId::kTransform)->SetTranslation({5.0f, 600.0f, 0.0f});
    GetRigidBody(object)->SetVelocity({0.0f, 400.0f, 0.0f});

    RoundStartEvent start;
    EventManager::Dispatch(&start);
    EXPECT_EQ(shown.GetText(), "Round 1");
    EXPECT_EQ(shown.GetDepth(), 0.1f);
    EXPECT_EQ(object->GetComponentAs<Transform>(ComponentTypeId::kTransform)->GetTranslation().y, 0.0f);
    EXPECT_EQ(GetRigidBody(object)->GetVelocity().y, 0.0f);
    events.Update(0.0f);
    EXPECT_EQ(GetRigidBody(object)->GetVelocity().y, 0.0f) << "held for a second";
    FrameRateManager::CountDownTimers(1.0f);
    events.Update(0.0f);
    EXPECT_EQ(GetRigidBody(object)->GetVelocity().y, 400.0f);
    EXPECT_EQ(shown.GetText(), "Round 1");

    EventManager::Dispatch(&start);
    EXPECT_EQ(shown.GetText(), "Round 2");
    EXPECT_EQ(events.GetRoundNumber(), 3u);
}
