#include "CreditsScreen.h"
#include "DestructableScript.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStateRequest.h"
#include "InputRecording.h"
#include "MatchScenario.h"
#include "OffscreenGL.h"
#include "PlayHarness.h"
#include "SoundSystem.h"
#include "TypeIds.h"
#include "WindowProvider.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// Real matches recorded and replayed behind the credits: the players move again as they did, the keys
// that switch screens or the window never come back, each match's file is its own, and live shortcuts
// act once per update although two managers serve them.
namespace
{
constexpr int kSecond = 60;

class CreditsReplay : public ::testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        harness = std::make_unique<PlayHarness>();
        if (!harness->Start(startFailure))
            harness.reset();
    }
    static void TearDownTestSuite() { harness.reset(); }
    void SetUp() override
    {
        if (!harness)
            GLIMMOCK_SKIP_OR_FAIL_WITHOUT_GL(startFailure);
        RequestGameState(GameStateIndex::MainMenu);
        Game().Step();
        Game().ResetWorld();
        CreditsScreen::ResetRunValues();
        SoundSystem::SetMasterVolume(1.0f);
        SoundSystem::SetMusicVolume(1.0f);
    }
    static PlayHarness& Game() { return *harness; }

    // A match in which one key is held from 3 s to 5 s, ended by LShift+4; before leaving, extra runs
    // between the run and the leaving (F11, LShift+7) when given.
    static void PlayMatch(std::int32_t runKey, bool screenKeys)
    {
        RequestGameState(GameStateIndex::GameplayDemo);
        Game().Step();
        ASSERT_EQ(Game().CurrentState(), GameStateIndex::GameplayDemo);
        ASSERT_TRUE(IsRecording());
        Game().Step(3 * kSecond - 1);
        Game().Press(runKey);
        Game().Step(2 * kSecond);
        Game().Release(runKey);
        Game().Step();
        if (screenKeys)
        {
            const bool fullscreen = WindowProvider::IsFullscreen(0);
            TapKey(Game(), SDLK_F11);
            EXPECT_NE(WindowProvider::IsFullscreen(0), fullscreen) << "F11 acts live";
            PressShortcut(Game(), SDLK_7);
            EXPECT_EQ(SoundSystem::GetMusicVolume(), 0.0f) << "LShift+7 acts live";
        }
        PressShortcut(Game(), SDLK_4);
        ASSERT_EQ(Game().CurrentState(), GameStateIndex::WinScreenLevel1);
        EXPECT_FALSE(IsRecording());
    }

    // A key on the victory screen starts the credits.
    static void RollCredits()
    {
        Game().Step(5);
        TapKey(Game(), SDLK_x);
        ASSERT_EQ(Game().CurrentState(), GameStateIndex::CreditsScreen);
    }

    static std::vector<std::vector<long long>> KeyLines()
    {
        std::vector<std::vector<long long>> lines;
        std::ifstream file(GetReplayLogPath());
        for (std::string line; std::getline(file, line);)
        {
            std::istringstream fields(line);
            std::vector<long long> values;
            for (long long value = 0; fields >> value;)
                values.push_back(value);
            if (values.size() == 5 && (values[1] == 768 || values[1] == 769))
                lines.push_back(values);
        }
        return lines;
    }

    static inline std::unique_ptr<PlayHarness> harness;
    static inline std::string startFailure;
};
} // namespace

TEST_F(CreditsReplay, TheLastMatchPlaysAgainBehindTheCreditsWithoutItsScreenKeys)
{
    PlayMatch(SDLK_LEFT, true);
    int shiftLines = 0;
    for (const auto& line : KeyLines())
    {
        EXPECT_NE(line[3], 1073741892) << "F11 recorded";
        EXPECT_FALSE(line[3] >= 50 && line[3] <= 56) << "digit " << line[3] << " recorded";
        shiftLines += line[3] == kLeftShiftKey ? 1 : 0;
    }
    EXPECT_GE(shiftLines, 2) << "LShift is player 2's grab and stays";
    SoundSystem::SetMusicVolume(0.5f);

    RollCredits();
    const bool fullscreen = WindowProvider::IsFullscreen(0);
    const float startX = PositionOf("Player 1").x;
    Game().Step(6 * kSecond);
    EXPECT_LT(PositionOf("Player 1").x, startX - 50.0f) << "player 1 runs left again";
    Game().Shot("credits_replay_6s");
    int updates = 6 * kSecond + 1;
    while (GetRequestedGameState() != GameStateIndex::MainMenu && updates < 3000)
    {
        if (updates == 30 * kSecond || updates == 2552 + 60)
        {
            Game().Shot(updates == 30 * kSecond ? "credits_replay_30s" : "credits_replay_fading");
            ++updates;
            continue;
        }
        ASSERT_EQ(Game().CurrentState(), GameStateIndex::CreditsScreen) << "update " << updates;
        EXPECT_EQ(WindowProvider::IsFullscreen(0), fullscreen) << "update " << updates;
        EXPECT_EQ(SoundSystem::GetMusicVolume(), 0.5f) << "update " << updates;
        Game().Step();
        ++updates;
    }
    EXPECT_NEAR(updates, 2552 + 121, 2) << "the credits run their whole course";
    Game().Step();
    EXPECT_EQ(Game().CurrentState(), GameStateIndex::MainMenu);

    // The next match's file is a fresh one: only player 2 runs in its replay.
    PlayMatch(SDLK_d, false);
    RollCredits();
    const Vector3 oneStart = PositionOf("Player 1");
    const Vector3 twoStart = PositionOf("Player 2");
    Game().Step(6 * kSecond);
    EXPECT_NEAR(PositionOf("Player 1").x, oneStart.x, 10.0f);
    EXPECT_GT(PositionOf("Player 2").x, twoStart.x + 50.0f);
}

// LEVEL_1's manager and the screen's own both serve the shortcuts, yet one live F11 flips the window
// once and one LShift+6 flips each player's burn toggle once.
TEST_F(CreditsReplay, LiveShortcutsActOnceDuringTheReplay)
{
    PlayMatch(SDLK_RIGHT, false);
    RollCredits();
    ASSERT_TRUE(IsReplaying());

    const bool fullscreen = WindowProvider::IsFullscreen(0);
    TapKey(Game(), SDLK_F11);
    EXPECT_NE(WindowProvider::IsFullscreen(0), fullscreen);
    TapKey(Game(), SDLK_F11);
    EXPECT_EQ(WindowProvider::IsFullscreen(0), fullscreen);

    std::vector<std::pair<const DestructableScript*, bool>> toggles;
    for (GameObject* player : gGameObjectFactory->GetObjectsWithTag(kTagPlayer))
        if (const auto* burn = player->GetScriptAs<DestructableScript>(ScriptTypeId::kDestructableScript))
            toggles.emplace_back(burn, burn->IsToggled());
    ASSERT_EQ(toggles.size(), 2u);
    PressShortcut(Game(), SDLK_6);
    for (const auto& [burn, before] : toggles)
        EXPECT_NE(burn->IsToggled(), before);
    EXPECT_EQ(Game().CurrentState(), GameStateIndex::CreditsScreen);
    EXPECT_TRUE(IsReplaying());
}
