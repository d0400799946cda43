#include "CCSM.h"
#include "CCSMFactory.h"
#include "Event.h"
#include "EventManager.h"
#include "FrameRateManager.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStats.h"
#include "GameplayPrototypes.h"
#include "InputRecording.h"
#include "LevelFile.h"
#include "Light.h"
#include "LoggingSystem.h"
#include "MatchBehaviorTables.h"
#include "MetaHooks.h"
#include "Observer.h"
#include "Random.h"
#include "RigidBody.h"
#include "StatNames.h"
#include "TestSandbox.h"
#include "Transform.h"
#include "TypeIds.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

// The manager's round commands driven through its machine, one machine update at a time, without a
// window (the lights fall from height 0) or module files (a missing module is a silent no-op).
namespace
{
class Counter : public Observer
{
  public:
    explicit Counter(std::int32_t type) { Subscribe(type); }
    void OnNotify(Event*) override { ++count; }
    int count = 0;
};

class RoundCommandTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        EventManager::Reset();
        FrameRateManager::Reset();
        ResetInputRecording();
        SetLevelModuleNames({});
        SeedRandom(7);
        objects.Init();
        behaviors.Init();
        AddMatchBehaviorTables(behaviors);
        RegisterManagerBehavior(behaviors);
        RegisterGameplayPrototypes();
        levelTimer = FrameRateManager::AddTimer("LevelTimer", 3.0f);
        manager = objects.CreateObject();
        manager->tag = 6;
        CCSM machine;
        manager->AddComponent(machine);
        Machine().SetBehavior("Manager Behavior");
    }
    void TearDown() override
    {
        objects.Exit();
        behaviors.Exit();
        MetaHooks::Reset();
        ResetInputRecording();
        SetLevelModuleNames({});
        FrameRateManager::Reset();
        EventManager::Reset();
    }

    GameObject& Spawnable(Tag tag, float x, float y)
    {
        GameObject* object = objects.CreateObject();
        object->tag = tag;
        RigidBody body(5);
        object->AddComponent(body);
        GameStats stats;
        stats.SetStat(kStatGoalSpawnX, x);
        stats.SetStat(kStatGoalSpawnY, y);
        object->AddComponent(stats);
        Put(*object, {5.0f, 5.0f, 2.0f});
        GetRigidBody(object)->SetVelocity({9.0f, 9.0f, 0.0f});
        return *object;
    }
    static Vector3 Where(const GameObject& object)
    {
        return object.GetComponentAs<Transform>(ComponentTypeId::kTransform)->GetTranslation();
    }
    static void Put(GameObject& object, const Vector3& at)
    {
        object.GetComponentAs<Transform>(ComponentTypeId::kTransform)->SetTranslation(at);
    }
    CCSM& Machine() { return *manager->GetComponentAs<CCSM>(ComponentTypeId::kCCSM); }
    std::vector<GameObject*> Named(const std::string& name) const
    {
        std::vector<GameObject*> found;
        for (std::uint32_t id = 1; GameObject* object = objects.GetObject(id); ++id)
            if (object->name == name && !object->IsQueuedForDestruction())
                found.push_back(object);
        return found;
    }

    GameObjectFactory objects;
    CCSMFactory behaviors;
    GameObject* manager = nullptr;
    std::uint32_t levelTimer = 0;
};
} // namespace

namespace
{
bool Queued(const CCSM& machine, CommandId id)
{
    for (const auto& entry : machine.GetActiveCommands())
        if (entry && *entry == id)
            return true;
    return false;
}

// Runs updates until the command has left the queue (the update after its last run); returns how many.
int RunCommandOut(CCSM& machine, CommandId id, float dt)
{
    for (int update = 1; update <= 100; ++update)
    {
        machine.RunUpdate(dt);
        if (!Queued(machine, id))
            return update;
    }
    return -1;
}
} // namespace

// Respawn, ResetPlayers, SlowTime and LevelStart over their whole runs: markers, hiding, placing, the
// round clock and the frame rate.
TEST_F(RoundCommandTest, StagingCommandsHideMarkAndPlaceThenStartOver)
{
    GameObject& p1 = Spawnable(kTagPlayer, 150.0f, -177.0f);
    GameObject& p2 = Spawnable(kTagPlayer, -150.0f, -177.0f);
    GameObject& ball = Spawnable(kTagBall, 0.0f, -190.0f);

    ASSERT_TRUE(Machine().HandleCommand(kCommandRespawn));
    Machine().RunUpdate(0.5f);
    EXPECT_EQ(FrameRateManager::GetTimerValue(levelTimer), 90.0f) << "no timer object: a 90 s round";
    EXPECT_EQ(Where(p1).x, 150.0f);
    EXPECT_EQ(Where(p1).y, -3000.0f);
    EXPECT_EQ(Where(p1).z, 2.0f);
    EXPECT_EQ(GetRigidBody(&p1)->GetVelocity().x, 0.0f);
    EXPECT_EQ(Where(ball).y, -3000.0f);
    std::vector<GameObject*> markers = Named("Respawn Marker");
    ASSERT_EQ(markers.size(), 2u);
    // Height 0 without a window: the light stands at t = 0.25 of the way to the spawn point.
    EXPECT_FLOAT_EQ(Where(*markers[0]).y, 0.25f * -177.0f);
    EXPECT_EQ(Where(*markers[0]).x, 150.0f);
    EXPECT_EQ(Where(*markers[1]).x, -150.0f);
    EXPECT_EQ(GetLight(*markers[1])->size.y, 250.0f);

    GameObject* timer = objects.CreateObject();
    timer->SetName("timer");
    GameStats clock;
    clock.SetStat(kStatTimer, 45.0f);
    timer->AddComponent(clock);
    EXPECT_EQ(RunCommandOut(Machine(), kCommandRespawn, 0.5f), 5) << "2.5 s in 0.5 s steps, then freed";
    EXPECT_EQ(FrameRateManager::GetTimerValue(levelTimer), 45.0f);
    EXPECT_EQ(Where(p1).y, -177.0f);
    EXPECT_EQ(Where(p2).x, -150.0f);
    EXPECT_EQ(Where(ball).y, -190.0f);
    EXPECT_TRUE(Named("Respawn Marker").empty()) << "markers queued at the end";

    // Handed in again, it starts over with fresh markers.
    ASSERT_TRUE(Machine().HandleCommand(kCommandRespawn));
    Machine().RunUpdate(0.5f);
    EXPECT_EQ(Where(p1).y, -3000.0f);
    EXPECT_EQ(Named("Respawn Marker").size(), 2u);
    EXPECT_EQ(RunCommandOut(Machine(), kCommandRespawn, 0.5f), 5);

    // A fourth object shares the third marker, which follows the last of them.
    GameObject& ball2 = Spawnable(kTagBall, 80.0f, -100.0f);
    ASSERT_TRUE(Machine().HandleCommand(kCommandResetPlayers));
    Machine().RunUpdate(0.5f);
    markers = Named("Reset Marker");
    ASSERT_EQ(markers.size(), 3u);
    EXPECT_FLOAT_EQ(Where(*markers[2]).x, 0.25f * 80.0f);
    EXPECT_FLOAT_EQ(Where(*markers[2]).y, 0.25f * -100.0f);
    EXPECT_EQ(GetLight(*markers[0])->intensity, 5.0f);
    EXPECT_EQ(Where(ball2).y, -3000.0f);
    EXPECT_EQ(RunCommandOut(Machine(), kCommandResetPlayers, 0.5f), 4);
    EXPECT_EQ(Where(ball2).x, 80.0f);
    EXPECT_EQ(Where(ball2).y, -100.0f);
    EXPECT_TRUE(Named("Reset Marker").empty());

    // Slow motion starts at a third of the normal step and ends back at the defaults.
    ASSERT_TRUE(Machine().HandleCommand(kCommandSlowTime));
    Machine().RunUpdate(0.5f);
    EXPECT_FLOAT_EQ(FrameRateManager::fixedStep, (1.0f / 60.0f) / 3.0f);
    EXPECT_EQ(Where(ball).y, -3000.0f);
    Put(p1, {1.0f, 2.0f, 3.0f});
    EXPECT_EQ(RunCommandOut(Machine(), kCommandSlowTime, 0.5f), 5);
    EXPECT_EQ(FrameRateManager::fixedStep, 1.0f / 60.0f);
    EXPECT_EQ(FrameRateManager::maxFrameTime, 0.025f);
    EXPECT_EQ(Where(p1).x, 150.0f);
    EXPECT_EQ(Where(p1).z, 3.0f);
    EXPECT_EQ(Where(ball).y, -190.0f);

    // The intro keeps everyone out for five seconds, then hands in Respawn.
    ASSERT_TRUE(Machine().HandleCommand(kCommandLevelStart));
    EXPECT_EQ(RunCommandOut(Machine(), kCommandLevelStart, 1.0f), 6);
    EXPECT_EQ(Where(p2).y, -3000.0f);
    EXPECT_TRUE(Queued(Machine(), kCommandRespawn));
}

// Without players nothing is marked; a missing spawn stat keeps the coordinate.
TEST_F(RoundCommandTest, NoPlayersMeansNoMarkers)
{
    ASSERT_TRUE(Machine().HandleCommand(kCommandRespawn));
    EXPECT_EQ(RunCommandOut(Machine(), kCommandRespawn, 1.0f), 4);
    EXPECT_TRUE(Named("Respawn Marker").empty());
    GameObject* stray = objects.CreateObject();
    stray->tag = kTagBall;
    ASSERT_TRUE(Machine().HandleCommand(kCommandResetPlayers));
    testing::internal::CaptureStdout();
    Machine().RunUpdate(1.0f);
    EXPECT_EQ(Where(*stray).y, -3000.0f);
    EXPECT_EQ(RunCommandOut(Machine(), kCommandResetPlayers, 1.0f), 2);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(Where(*stray).y, -3000.0f) << "no spawn stats: stays below the arena";
    EXPECT_EQ(printed, "WARNING: '" + stray->name + "' has no spawn point (GoalSpawnX, GoalSpawnY).\n")
        << "one line per run";
}

// Three round ends use modules A, B and C once each, every draw recorded; the goals light up and lose
// their lights; a player holding a vanished ball lets go; an empty list only restores and respawns.
TEST_F(RoundCommandTest, RoundEndsCycleThroughTheModulesAndRecordEveryDraw)
{
    const std::string recording = (TestSandboxFolder() / "rounds.log").string();
    LoggingSystem logs;
    SetRecordingPath(recording);
    SetRecording(true);
    SetLevelModuleNames({"A", "B", "C"});
    Counter roundStarts(evRoundStart);
    GameObject& goal = Spawnable(kTagGoal, 0.0f, 0.0f);
    GameObject& ball = Spawnable(kTagBall, 0.0f, -190.0f);
    GameObject& holder = Spawnable(kTagPlayer, 150.0f, -177.0f);
    holder.GetComponentAs<GameStats>(ComponentTypeId::kGameStats)->SetStat(kStatGrabbedObject, 999.0f);
    Machine().HandleCommand(kCommandRoundEnd);

    Machine().RunUpdate(1.0f);
    ASSERT_NE(GetLight(goal), nullptr);
    EXPECT_EQ(GetLight(goal)->size.x, 1.0f) << "e = 0 before the first increment";
    EXPECT_EQ(GetLight(goal)->tint.x, 50.0f) << "no transition script: the plain light";
    EXPECT_EQ(Where(ball).y, -3000.0f);
    Machine().RunUpdate(1.0f);
    EXPECT_EQ(GetLight(goal)->size.y, 750.0f);
    EXPECT_TRUE(Queued(Machine(), kCommandRoundEnd)) << "2.0 is not above the duration";

    int extraUpdates = 0;
    for (int round = 0; round < 3; ++round)
    {
        if (round > 0)
            Machine().HandleCommand(kCommandRoundEnd);
        const int updates = RunCommandOut(Machine(), kCommandRoundEnd, 1.0f);
        extraUpdates += updates - (round == 0 ? 2 : 4);
        EXPECT_EQ(GetLight(goal), nullptr);
        EXPECT_EQ(roundStarts.count, round + 1);
        EXPECT_TRUE(Queued(Machine(), kCommandRespawn));
        RunCommandOut(Machine(), kCommandRespawn, 1.0f);
    }
    EXPECT_EQ(holder.GetComponentAs<GameStats>(ComponentTypeId::kGameStats)->GetStat(kStatGrabbedObject),
              0.0f);

    SetRecording(false);
    std::ifstream file(recording);
    std::vector<int> draws;
    for (std::string line; std::getline(file, line);)
    {
        std::istringstream fields(line);
        float frame = 0.0f;
        int kind = 0, a = 0, b = 0, index = 0;
        ASSERT_TRUE(fields >> frame >> kind >> a >> b >> index) << line;
        EXPECT_EQ(kind, 1);
        draws.push_back(index);
    }
    // A rejected draw costs one update and one more record.
    EXPECT_EQ(static_cast<int>(draws.size()), 3 + extraUpdates);
    const std::set<int> accepted(draws.begin(), draws.end());
    EXPECT_EQ(accepted, (std::set<int>{0, 1, 2}));

    // An empty list sends no round start but still restores the frame rate and respawns.
    SetLevelModuleNames({});
    FrameRateManager::SetSlowMotion(3.0f);
    Machine().HandleCommand(kCommandRoundEnd);
    RunCommandOut(Machine(), kCommandRoundEnd, 1.0f);
    EXPECT_EQ(roundStarts.count, 3);
    EXPECT_EQ(FrameRateManager::fixedStep, 1.0f / 60.0f);
    EXPECT_EQ(FrameRateManager::maxFrameTime, 0.025f);
    EXPECT_TRUE(Queued(Machine(), kCommandRespawn));
}

// While replaying, the recorded choices are used in order; a choice out of range or a used-up list falls
// back to a fresh draw instead of repeating one module or reading past the names.
TEST_F(RoundCommandTest, ReplayedModuleChoicesComeFirstThenFreshDraws)
{
    InitPrefsFolder();
    ASSERT_FALSE(GetPreferencesPath().empty());
    {
        std::ofstream replay(GetReplayLogPath());
        replay << "0 1 0 0 2\n0 1 0 0 0\n0 1 0 0 1\n0 1 0 0 7\n";
    }
    StartReplay();
    ASSERT_TRUE(IsReplaying());
    LoggingSystem logs;
    const std::string recording = (TestSandboxFolder() / "replayed-draws.log").string();
    SetRecordingPath(recording);
    SetRecording(true);
    SetLevelModuleNames({"A", "B", "C"});
    for (int round = 0; round < 5; ++round)
    {
        Machine().HandleCommand(kCommandRoundEnd);
        RunCommandOut(Machine(), kCommandRoundEnd, 1.0f);
    }
    SetRecording(false);
    StopReplay();

    std::ifstream file(recording);
    std::vector<int> draws;
    for (std::string line; std::getline(file, line);)
        draws.push_back(std::stoi(line.substr(line.rfind(' ') + 1)));
    ASSERT_GE(draws.size(), 5u);
    EXPECT_EQ(std::vector<int>(draws.begin(), draws.begin() + 3), (std::vector<int>{2, 0, 1}))
        << "the recorded choices, in order";
    for (const int index : draws)
        EXPECT_TRUE(index >= 0 && index <= 2) << index;
}

// A module that fails in both forms falls back to DEFAULT_ALL; when that fails too the arena stays, the
// two exact reports go to the error stream and the round still starts once.
TEST_F(RoundCommandTest, BrokenModulesFallBackAndStillStartTheRound)
{
    const std::filesystem::path previous = std::filesystem::current_path();
    const std::filesystem::path folder = TestSandboxFolder() / "broken-modules";
    std::filesystem::create_directories(folder / "Modules");
    std::filesystem::current_path(folder);
    for (const char* name : {"Modules/BAD.xml", "Modules/DEFAULT_ALL.xml"})
        std::ofstream(name) << "<not a module";
    SetLevelModuleNames({"BAD"});
    Counter roundStarts(evRoundStart);
    GameObject* block = objects.CreateObject();

    testing::internal::CaptureStderr();
    Machine().HandleCommand(kCommandRoundEnd);
    RunCommandOut(Machine(), kCommandRoundEnd, 1.0f);
    const std::string reported = testing::internal::GetCapturedStderr();
    std::filesystem::current_path(previous);

    EXPECT_EQ(reported, "ROUND END COMMAND: Module 'BAD' failed to load."
                        "DEFAULT_ALL module failed to load.  Recreate DEFAULT_ALL immediately.");
    EXPECT_EQ(roundStarts.count, 1);
    EXPECT_EQ(objects.GetObject(block->id), block) << "the arena stays";
}
