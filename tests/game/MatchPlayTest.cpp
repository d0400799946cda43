#include "Event.h"
#include "EventManager.h"
#include "FrameRateManager.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameState.h"
#include "GameStateManager.h"
#include "GameStateRequest.h"
#include "InputRecording.h"
#include "Light.h"
#include "OffscreenGL.h"
#include "PlayArena.h"
#include "PlayHarness.h"
#include "Renderer.h"
#include "RigidBody.h"
#include "SoundInstance.h"
#include "SoundPlayLog.h"
#include "SoundSystem.h"
#include "StatNames.h"
#include "SystemSlots.h"
#include "TestSandbox.h"
#include "TextRenderer.h"
#include "TimerScript.h"
#include "TypeIds.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

// A whole match played with injected keys, in a game whose match screen builds the test arena.
namespace
{
// The match screen of this game: builds the test arena and starts the match as the real one does.
class TestMatchState : public GameState
{
  public:
    TestMatchState() : GameState(GameStateIndex::GameplayDemo) {}
    void Load() override { arena = BuildTestArena(); }
    void Init() override
    {
        LevelStartEvent levelStart;
        EventManager::Dispatch(&levelStart);
        RoundStartEvent roundStart;
        EventManager::Dispatch(&roundStart);
        SetRecording(true);
    }
    void Update(float) override {}
    void Exit() override {}
    void Unload() override {}

    static inline TestArena arena;
};

class MatchPlay : public ::testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        PlayHarness::Options options;
        options.factories = MakeGameSystemFactories();
        options.factories[slotGameStateManager] = [] {
            return std::make_unique<GameStateManager>([] {
                std::vector<std::unique_ptr<GameState>> states = MakeGameStates();
                states[GameStateIndex::GameplayDemo] = std::make_unique<TestMatchState>();
                return states;
            });
        };
        harness = std::make_unique<PlayHarness>();
        if (!harness->Start(startFailure, std::move(options)))
            harness.reset();
    }
    static void TearDownTestSuite() { harness.reset(); }
    void SetUp() override
    {
        if (!harness)
            GLIMMOCK_SKIP_OR_FAIL_WITHOUT_GL(startFailure);
        harness->ResetWorld();
        ResetCountdownCues();
        SetSoundPlayLogging(true);
    }
    void TearDown() override { SetSoundPlayLogging(false); }
    static PlayHarness& Game() { return *harness; }

    static inline std::unique_ptr<PlayHarness> harness;
    static inline std::string startFailure;
};
} // namespace

namespace
{
constexpr std::int32_t kLeftShiftKey = 1073742049;

// The last match result announced.
class MatchResult : public Observer
{
  public:
    MatchResult()
    {
        Subscribe(evRoundFinished);
        Subscribe(evGameFinished);
        Subscribe(evGoalScore);
    }
    void OnNotify(Event* event) override
    {
        if (event->EventType == evGoalScore)
            goals.push_back(static_cast<GoalScoreEvent*>(event)->side);
        else if (event->EventType == evRoundFinished)
            roundWinners.push_back(static_cast<RoundFinishedEvent*>(event)->winner);
        else
        {
            const auto* finished = static_cast<GameFinishedEvent*>(event);
            game = {finished->winner, finished->scoreOne, finished->scoreTwo};
            ++gamesFinished;
        }
    }
    std::vector<float> goals;
    std::vector<std::uint32_t> roundWinners;
    std::vector<std::uint32_t> game;
    int gamesFinished = 0;
};

std::string TextOf(std::uint32_t id)
{
    GameObject* object = gGameObjectFactory->GetObject(id);
    const auto* text =
        object != nullptr ? object->GetComponentAs<TextRenderer>(ComponentTypeId::kTextRenderer) : nullptr;
    return text != nullptr ? text->GetText() : std::string("<none>");
}
} // namespace

// A whole match on the test arena with injected keys: player 1 carries the ball into the right goal
// twice, a pause freezes the clock and the players, player 2 scores once, and four rounds ended with
// LShift+2 go to player 1's victory screen with the round modules recorded.
TEST_F(MatchPlay, ScriptedMatchEndsInPlayerOnesVictory)
{
    const auto until = [&](const char* what, int limit, const std::function<bool()>& done) {
        for (int step = 0; step < limit; ++step)
        {
            if (done())
                return true;
            Game().Step();
        }
        ADD_FAILURE() << "no " << what << " within " << limit << " updates";
        return done();
    };

    const std::string recording = (TestSandboxFolder() / "match.log").string();
    SetRecordingPath(recording);
    MatchResult result;
    testing::internal::CaptureStderr();
    RequestGameState(GameStateIndex::GameplayDemo);
    Game().Step();
    ASSERT_EQ(Game().CurrentState(), GameStateIndex::GameplayDemo);
    const TestArena& arena = TestMatchState::arena;
    ASSERT_TRUE(IsRecording());
    // The staging commands hold the 20 s clock full; a round is under way once it runs.
    const auto clockRuns = [&] {
        const std::string shown = TextOf(arena.hud[6]);
        return !shown.empty() && shown != "20";
    };
    const auto reset = [] {
        return PositionOf("Ball").x == 0.0f && StatOf("Player 1", kStatGrabbedObject) == 0.0f;
    };

    // The intro: the players respawn and the voices count in, each voice with its text on show; "Go!" flies
    // up once its voice ends.
    const auto playing = [](const char* sound) {
        const SoundInstance* instance = SoundSystem::GetSoundInstance(sound);
        return instance != nullptr && instance->FindPlayingChannel() != nullptr;
    };
    // The arena's text has no body of its own; the fling needs one.
    RigidBody textBody(5);
    gGameObjectFactory->GetObject(arena.eventText)->AddComponent(textBody);
    int readySteps = 0;
    int goSteps = 0;
    ASSERT_TRUE(until("intro", 400, [&] {
        if (playing("ReadyVO"))
        {
            ++readySteps;
            EXPECT_EQ(TextOf(arena.eventText), "Ready?");
        }
        if (playing("GoVO"))
        {
            ++goSteps;
            EXPECT_EQ(TextOf(arena.eventText), "Go!");
            EXPECT_EQ(PositionOf("Event Text").x, 70.0f) << "held while the voice plays";
            EXPECT_LE(VelocityOf("Event Text").y, 0.0f) << "held while the voice plays";
        }
        const auto& played = SoundPlayLog();
        return std::find(played.begin(), played.end(), "GoVO") != played.end() && clockRuns();
    }));
    EXPECT_GT(readySteps, 0);
    EXPECT_EQ(TextOf(arena.eventText), "Go!");
    ASSERT_TRUE(until("go voice end", 300, [&] {
        if (playing("GoVO"))
            ++goSteps;
        return !playing("GoVO");
    }));
    EXPECT_GT(goSteps, 0);
    Game().Step();
    EXPECT_GT(VelocityOf("Event Text").y, 0.0f);
    EXPECT_GT(PositionOf("Event Text").y, 0.0f);

    // Player 1 fetches the ball and runs it into the right goal, twice.
    for (int goal = 1; goal <= 2; ++goal)
    {
        SCOPED_TRACE(goal);
        Game().Press(SDLK_LEFT);
        ASSERT_TRUE(
            until("reach", 300, [] { return PositionOf("Player 1").x - PositionOf("Ball").x < 40.0f; }));
        Game().Release(SDLK_LEFT);
        Game().Press(SDLK_RSHIFT);
        Game().Step();
        Game().Release(SDLK_RSHIFT);
        ASSERT_TRUE(until("grab", 30, [] { return StatOf("Player 1", kStatGrabbedObject) != 0.0f; }));
        Game().Press(SDLK_RIGHT);
        ASSERT_TRUE(until("goal", 400, [&] { return Game().Events().Count(evGoalScore) == goal; }));
        Game().Release(SDLK_RIGHT);
        Game().Step();
        ASSERT_TRUE(until("reset", 400, reset));
    }
    EXPECT_EQ(TextOf(arena.hud[0]), "2");

    // Escape pauses: neither the clock nor a running player moves; Escape again resumes.
    Game().Press(SDLK_ESCAPE);
    Game().Step();
    Game().Release(SDLK_ESCAPE);
    ASSERT_TRUE(FrameRateManager::IsPaused());
    const std::string clock = TextOf(arena.hud[6]);
    const float x = PositionOf("Player 1").x;
    Game().Press(SDLK_LEFT);
    Game().Step(60);
    EXPECT_EQ(TextOf(arena.hud[6]), clock);
    EXPECT_EQ(PositionOf("Player 1").x, x);
    Game().Release(SDLK_LEFT);
    Game().Press(SDLK_ESCAPE);
    Game().Step();
    Game().Release(SDLK_ESCAPE);
    EXPECT_FALSE(FrameRateManager::IsPaused());

    const auto endRound = [&](int round) {
        Game().Press(kLeftShiftKey);
        Game().Press('2');
        Game().Step();
        Game().Release('2');
        Game().Release(kLeftShiftKey);
        return until("round end", 400, [&] { return Game().Events().Count(evRoundFinished) == round; });
    };
    ASSERT_TRUE(endRound(1));
    EXPECT_EQ(result.roundWinners, std::vector<std::uint32_t>{1});
    const auto* marker = GetRenderer(*gGameObjectFactory->GetObject(arena.hud[2]));
    ASSERT_NE(marker, nullptr);
    EXPECT_EQ(marker->tint.y, 1.0f);
    EXPECT_EQ(marker->tint.x, 0.0f);
    ASSERT_TRUE(
        until("goal lights", 60, [&] { return GetLight(*gGameObjectFactory->GetObject(arena.rightGoal)); }));
    EXPECT_EQ(GetLight(*gGameObjectFactory->GetObject(arena.rightGoal))->tint.y, 20.0f)
        << "player 1's orange";
    ASSERT_TRUE(until("module", 400, [&] { return Game().Events().Count(evModuleLoaded) == 1; }));
    EXPECT_EQ(TextOf(arena.eventText), "Round 2");
    ASSERT_TRUE(until("respawn", 400, clockRuns));
    const std::vector<std::uint8_t> shot = Game().Shot("match_round1");
    int green = 0;
    for (int y = 0; y < PlayHarness::kHeight / 3; ++y)
        for (int x = 0; x < PlayHarness::kWidth; ++x)
        {
            const std::uint8_t* pixel = PixelAt(shot, x, y);
            green += pixel[0] < 40 && pixel[1] > 220 && pixel[2] < 40 ? 1 : 0;
        }
    EXPECT_GT(green, 100) << "the first round marker is green";

    // Player 2 fetches the ball and scores on the left.
    Game().Press(SDLK_d);
    ASSERT_TRUE(until("reach", 300, [] { return PositionOf("Ball").x - PositionOf("Player 2").x < 40.0f; }));
    Game().Release(SDLK_d);
    Game().Press(SDLK_LSHIFT);
    Game().Step();
    Game().Release(SDLK_LSHIFT);
    ASSERT_TRUE(until("grab", 30, [] { return StatOf("Player 2", kStatGrabbedObject) != 0.0f; }));
    Game().Press(SDLK_a);
    ASSERT_TRUE(until("goal", 400, [&] { return result.goals.size() == 4; }));
    EXPECT_EQ(result.goals, (std::vector<float>{1.0f, 1.0f, 0.0f, 2.0f}))
        << "the round end is a goal for nobody";
    Game().Release(SDLK_a);
    EXPECT_EQ(TextOf(arena.hud[0]) + ":" + TextOf(arena.hud[1]), "2:1");
    Game().Step();
    ASSERT_TRUE(until("reset", 400, reset));

    for (int round = 2; round <= 4; ++round)
    {
        SCOPED_TRACE(round);
        ASSERT_TRUE(endRound(round));
        if (round < 4)
        {
            ASSERT_TRUE(until("module", 400, [&] { return Game().Events().Count(evModuleLoaded) == round; }));
            ASSERT_TRUE(until("respawn", 400, clockRuns));
        }
    }
    EXPECT_EQ(result.gamesFinished, 1);
    EXPECT_EQ(result.game, (std::vector<std::uint32_t>{1, 2, 1}));
    EXPECT_FALSE(IsRecording());
    Game().Step();
    EXPECT_EQ(Game().CurrentState(), 6);
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(errors.find("Engine system error"), std::string::npos) << errors;

    std::ifstream file(recording);
    std::set<int> modules;
    for (std::string line; std::getline(file, line);)
    {
        std::istringstream fields(line);
        double frame = 0.0;
        std::uint32_t kind = 0;
        int a = 0, b = 0, index = 0;
        if (fields >> frame >> kind >> a >> b >> index && kind == kRecordModuleChoice)
            modules.insert(index);
    }
    EXPECT_EQ(modules, (std::set<int>{0, 1, 2}));
}
