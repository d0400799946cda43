#include "Event.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameState.h"
#include "GameStateManager.h"
#include "GameStateRequest.h"
#include "InputRecording.h"
#include "Light.h"
#include "MatchScenario.h"
#include "Renderer.h"
#include "RigidBody.h"
#include "SoundInstance.h"
#include "SoundPlayLog.h"
#include "SoundSystem.h"
#include "StatNames.h"
#include "Transform.h"
#include "TypeIds.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

// A whole match on the match screen and its level, played by two autopilots on the keyboard to player 1's
// victory.
namespace
{
class MatchVictory : public PlayTest
{
  protected:
    void SetUp() override
    {
        PlayTest::SetUp();
        SetSoundPlayLogging(true);
    }
    void TearDown() override { SetSoundPlayLogging(false); }
};

bool Played(const std::string& sound)
{
    const auto& log = SoundPlayLog();
    return std::find(log.begin(), log.end(), sound) != log.end();
}

bool Playing(const std::string& sound)
{
    const SoundInstance* instance = SoundSystem::GetSoundInstance(sound);
    return instance != nullptr && instance->FindPlayingChannel() != nullptr;
}

std::vector<std::string> RecordingLines()
{
    std::ifstream file(GetReplayLogPath());
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

std::vector<int> RecordedModules()
{
    std::vector<int> modules;
    for (const std::string& line : RecordingLines())
    {
        std::istringstream fields(line);
        long frame = 0;
        std::uint32_t kind = 0;
        int a = 0, b = 0, index = 0;
        if (fields >> frame >> kind >> a >> b >> index && kind == kRecordModuleChoice)
            modules.push_back(index);
    }
    return modules;
}

GameObject& Goal(float side)
{
    for (GameObject* goal : gGameObjectFactory->GetObjectsWithTag(kTagGoal))
        if ((goal->GetComponentAs<Transform>(ComponentTypeId::kTransform)->GetTranslation().x > 0.0f) ==
            (side > 0.0f))
            return *goal;
    throw std::runtime_error("no goal");
}

Vector4 TintOf(const std::string& name)
{
    const Renderer* sprite = Named(name) != nullptr ? GetRenderer(*Named(name)) : nullptr;
    return sprite != nullptr ? sprite->tint : Vector4{-1, -1, -1, -1};
}

double Luma(const MeanColour& colour)
{
    return 0.3 * colour.r + 0.59 * colour.g + 0.11 * colour.b;
}
} // namespace

TEST_F(MatchVictory, TwoPlayersPlayFourRoundsToPlayerOnesVictory)
{
    const auto started = std::chrono::steady_clock::now();
    MatchWatch watch;
    testing::internal::CaptureStderr();

    // 1. Entry: everyone out of play, "Round 1", the level's music, a fresh recording.
    RequestGameState(GameStateIndex::GameplayDemo);
    Game().Step();
    ASSERT_EQ(Game().CurrentState(), GameStateIndex::GameplayDemo);
    watch.Listen();
    Game().Events().Listen();
    ASSERT_TRUE(Until(Game(), "hidden at entry", 10, EveryoneHidden));
    EXPECT_EQ(TextOf("EventText"), "Round 1");
    EXPECT_FALSE(CurrentMusicName.empty());
    EXPECT_TRUE(Playing(CurrentMusicName)) << CurrentMusicName;
    EXPECT_TRUE(IsRecording());
    EXPECT_EQ(GetRecordingPath(), GetReplayLogPath());
    const int entry = Game().Updates();
    ASSERT_TRUE(Until(Game(), "Ready", 600, [] { return TextOf("EventText") == "Ready?"; }));
    const double readyAfter = (Game().Updates() - entry) / 60.0;
    EXPECT_GT(readyAfter, 1.0);
    EXPECT_LT(readyAfter, 4.0);
    ASSERT_TRUE(Until(Game(), "Go", 600, [] { return TextOf("EventText") == "Go!"; }));
    ASSERT_TRUE(Until(Game(), "spawn", 120, EveryoneAtSpawn));
    // The ball comes to rest on the pedestal.
    Game().Step(60);
    const std::vector<std::uint8_t> goShot = Game().Shot("match_go");

    // Look: orange player 1, blue player 2, the violet ball with a halo, each goal in its colour, the HUD
    // lit and the backdrop not black.
    {
        const Vector3 p1 = PositionOf("Player 1");
        const Vector3 p2 = PositionOf("Player 2");
        const MeanColour one = MeanOfWorldBox(goShot, p1.x - 10, p1.y - 18, p1.x + 10, p1.y + 18);
        const MeanColour two = MeanOfWorldBox(goShot, p2.x - 10, p2.y - 18, p2.x + 10, p2.y + 18);
        EXPECT_GT(one.r, one.b) << "player 1 is orange";
        EXPECT_GT(two.b, two.r) << "player 2 is blue";
        // The orb: a violet core, and violet light reaching past its 10-unit rim (emission and bloom).
        GameObject* ball = gGameObjectFactory->GetObjectsWithTag(kTagBall).front();
        const Vector3 orb = ball->GetComponentAs<Transform>(ComponentTypeId::kTransform)->GetTranslation();
        int core = 0;
        int halo = 0;
        for (float dy = -40.0f; dy <= 40.0f; dy += 1.4f)
            for (float dx = -40.0f; dx <= 40.0f; dx += 1.4f)
            {
                const std::uint8_t* pixel = PixelOfWorld(goShot, orb.x + dx, orb.y + dy);
                const bool violet = pixel[2] > pixel[1] + 80 && pixel[0] > pixel[1] + 40;
                const float r = std::hypot(dx, dy);
                core += violet && r < 10.0f ? 1 : 0;
                halo += violet && r >= 10.0f ? 1 : 0;
            }
        std::printf("ball at (%.1f, %.1f): core %d halo %d\n", orb.x, orb.y, core, halo);
        EXPECT_GT(core, 20) << "a violet ball";
        EXPECT_GT(halo, 20) << "its glow reaches past the rim";
        const MeanColour left = MeanOfWorldBox(goShot, -318, -48, -282, 48);
        const MeanColour right = MeanOfWorldBox(goShot, 282, -48, 318, 48);
        EXPECT_GT(left.r, left.b) << "the left goal is orange";
        EXPECT_GT(right.b, right.r) << "the right goal is blue";
        // Where the clock stands now: the bare sky alone is about 40 bright, the lit digits twice that.
        const Vector3 clock = PositionOf("timer");
        const MeanColour timer =
            MeanOfWorldBox(goShot, clock.x - 30, clock.y - 10, clock.x + 30, clock.y + 20);
        EXPECT_GT(Luma(timer), 80.0) << "the HUD's clock is lit";
        // Open sky between the left pads and the HUD, clear of the walls.
        const MeanColour sky = MeanOfWorldBox(goShot, -220, 90, -80, 150);
        EXPECT_GT(Luma(sky), 15.0) << "the backdrop shows";
    }

    // 2. Player 1 carries the ball over the pedestal and the platforms into the right goal.
    ASSERT_TRUE(ScoreForPlayerOne(Game()));
    ASSERT_TRUE(Until(Game(), "first goal", 120, [&] { return !watch.goals.empty(); }));
    Game().Shot("match_goal_flare");
    EXPECT_EQ(watch.goals, std::vector<float>{1.0f});
    ASSERT_TRUE(Until(Game(), "hidden after the goal", 60, EveryoneHidden));
    int hidden = 0;
    while (EveryoneHidden() && hidden < 400)
    {
        Game().Step();
        ++hidden;
    }
    EXPECT_NEAR(hidden / 60.0, 2.0, 0.5) << "out of play for about two seconds";
    EXPECT_EQ(TextOf("p1 score"), "1");
    EXPECT_TRUE(std::filesystem::exists(GetReplayLogPath())) << "the keys were recorded";
    EXPECT_EQ(watch.goals, std::vector<float>{1.0f}) << "one goal event";
    EXPECT_TRUE(Played("FirstGoalOrange"));
    ASSERT_TRUE(
        Until(Game(), "respawn after the goal", 300, [] { return EveryoneAtSpawn() && ClockRuns(); }));

    // 3. Player 2 answers on the left; player 1 scores again: 2:1.
    ASSERT_TRUE(ScoreForPlayerTwo(Game()));
    ASSERT_TRUE(Until(Game(), "second goal", 120, [&] { return watch.goals.size() == 2; }));
    EXPECT_EQ(watch.goals.back(), 2.0f);
    ASSERT_TRUE(Until(Game(), "respawn after the second goal", 500,
                      [] { return !EveryoneHidden() && EveryoneAtSpawn() && ClockRuns(); }));
    EXPECT_TRUE(Played("GoalQuotes")) << "the second goal's line, after its delay";
    ASSERT_TRUE(ScoreForPlayerOne(Game()));
    ASSERT_TRUE(Until(Game(), "third goal", 120, [&] { return watch.goals.size() == 3; }));
    EXPECT_EQ(TextOf("p1 score") + ":" + TextOf("p2 score"), "2:1");
    ASSERT_TRUE(Until(Game(), "respawn after the third goal", 500,
                      [] { return !EveryoneHidden() && EveryoneAtSpawn() && ClockRuns(); }));

    // 4. The round-end shortcut: two seconds later player 1 wins the round, its pip turns green and the
    // goals light in player 1's colour, a module merges and round 2 starts.
    PressShortcut(Game(), '2');
    ASSERT_TRUE(Until(Game(), "round end", 200, [&] { return watch.roundWinners.size() == 1; }));
    EXPECT_EQ(watch.roundWinners.front(), 1u);
    const Vector4 pip = TintOf("round 1");
    EXPECT_EQ(pip.x, 0.0f);
    EXPECT_EQ(pip.y, 1.0f);
    EXPECT_EQ(pip.z, 0.0f);
    EXPECT_EQ(pip.w, 2.0f);
    ASSERT_TRUE(Until(Game(), "goal lights", 60, [] { return GetLight(Goal(1.0f)) != nullptr; }));
    const Vector4 light = GetLight(Goal(1.0f))->tint;
    EXPECT_NE(GetLight(Goal(-1.0f)), nullptr);
    Game().Shot("match_round_end_lights");
    int lit = 0;
    while (GetLight(Goal(1.0f)) != nullptr && lit < 400)
    {
        EXPECT_EQ(GetLight(Goal(1.0f))->tint.x, light.x);
        Game().Step();
        ++lit;
    }
    EXPECT_NEAR(lit / 60.0, 2.0, 0.5);
    ASSERT_TRUE(Until(Game(), "module", 400, [&] { return watch.modulesLoaded == 1; }));
    ASSERT_TRUE(Until(Game(), "Round 2", 200, [] { return TextOf("EventText") == "Round 2"; }));
    ASSERT_TRUE(Until(Game(), "respawn in round 2", 600, [] { return EveryoneAtSpawn() && ClockRuns(); }));
    Game().Shot("match_round_2");

    // 5. Rounds 2 to 4: a few seconds of running and jumping, then the shortcut.
    for (std::uint32_t round = 2; round <= 4; ++round)
    {
        SCOPED_TRACE(round);
        Autopilot one = PilotOne(Game());
        Autopilot two = PilotTwo(Game());
        one.WalkTo(100.0f, 60);
        two.WalkTo(-100.0f, 60);
        one.JumpOnto(120.0f, -50.0f, 120);
        two.JumpOnto(-120.0f, -50.0f, 60);
        PressShortcut(Game(), '2');
        ASSERT_TRUE(Until(Game(), "round end", 200, [&] { return watch.roundWinners.size() == round; }));
        if (round < 4)
        {
            ASSERT_TRUE(Until(Game(), "module", 400, [&] { return watch.modulesLoaded == int(round); }));
            ASSERT_TRUE(Until(Game(), "respawn", 600, [] { return EveryoneAtSpawn() && ClockRuns(); }));
        }
    }

    // 6. The end: player 1 wins (round one 2:1, the others drawn), the pips go white, the victory screen is
    // requested, the recording is closed with its last line, and the match's objects are gone.
    EXPECT_EQ(watch.gamesFinished, 1);
    EXPECT_EQ(watch.game, (std::vector<std::uint32_t>{1, 2, 1}));
    for (int marker = 1; marker <= 4; ++marker)
    {
        const Vector4 tint = TintOf("round " + std::to_string(marker));
        EXPECT_EQ(tint.x, 1.0f);
        EXPECT_EQ(tint.y, 1.0f);
        EXPECT_EQ(tint.z, 1.0f);
    }
    EXPECT_EQ(GetRequestedGameState(), GameStateIndex::WinScreenLevel1);
    const std::vector<std::string> lines = RecordingLines();
    Game().Step();
    EXPECT_FALSE(IsRecording());
    EXPECT_EQ(GetCurrentGameState(), GameStateIndex::WinScreenLevel1);
    Game().Step();
    for (Tag tag : {kTagPlayer, kTagBall, kTagGoal, kTagMatchManager})
        EXPECT_TRUE(gGameObjectFactory->GetObjectsWithTag(tag).empty()) << "tag " << tag;
    EXPECT_FALSE(lines.empty());
    EXPECT_EQ(RecordingLines().size(), lines.size()) << "nothing recorded after the end";

    // Every draw is recorded (a draw of a module already used is drawn again); three modules were used.
    const std::vector<int> modules = RecordedModules();
    EXPECT_GE(modules.size(), 3u);
    EXPECT_EQ(std::set<int>(modules.begin(), modules.end()).size(), 3u);
    EXPECT_EQ(watch.modulesLoaded, 3);

    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(errors.find("Engine system error"), std::string::npos) << errors;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("match to player 1's victory: %d updates, %.1f s wall time\n", Game().Updates(), seconds);
}
