#include "BehaviorInput.h"
#include "CCSM.h"
#include "CCSMFactory.h"
#include "Event.h"
#include "FrameRateManager.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameState.h"
#include "GameStateRequest.h"
#include "GameStats.h"
#include "InputRecording.h"
#include "LevelFile.h"
#include "Light.h"
#include "MatchScenario.h"
#include "MenuHooks.h"
#include "ModuleFile.h"
#include "RayCast.h"
#include "Registries.h"
#include "Renderer.h"
#include "RigidBody.h"
#include "StatNames.h"
#include "TextRenderer.h"
#include "TypeIds.h"
#include "WindowProvider.h"
#include "WindowRecord.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

// The match screen with its level "LEVEL_1": what the game looks up by name, the modules merged into a
// running match, the pause menu, the restart and the shortcuts.
namespace
{
class MatchLevel : public PlayTest
{
  protected:
    static void EnterMatch()
    {
        if (Game().CurrentState() == GameStateIndex::GameplayDemo)
        {
            RequestGameState(GameStateIndex::MainMenu);
            Game().Step();
        }
        RequestGameState(GameStateIndex::GameplayDemo);
        Game().Step();
    }
    static void PlayFirstRound()
    {
        EnterMatch();
        ASSERT_TRUE(Until(Game(), "first round", 900, [] { return EveryoneAtSpawn() && ClockRuns(); }));
    }
};

std::vector<std::string> RecordingLines()
{
    std::ifstream file(GetReplayLogPath());
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

void PushWindowEvent(std::uint8_t windowEvent)
{
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = windowEvent;
    if (WindowRecord* window = WindowProvider::GetMainWindow())
        event.window.windowID = window->windowId;
    SDL_PushEvent(&event);
}
} // namespace

TEST_F(MatchLevel, PauseFreezesTheMatchRestartReloadsItAndShortcutsLeaveIt)
{
    PlayFirstRound();

    // Escape pauses; nothing moves for 30 updates though a run key is held; the panel shows.
    TapKey(Game(), SDLK_ESCAPE);
    Game().Step(10);
    ASSERT_TRUE(FrameRateManager::IsPaused());
    ASSERT_TRUE(MenuHooks::IsOpen("Pause Menu"));
    // The arrows steer the menu, so player 2's run key is held.
    const Vector3 before = PositionOf("Player 2");
    const std::string clock = TextOf("timer");
    Game().Press(SDLK_a);
    Game().Step(30);
    EXPECT_EQ(PositionOf("Player 2").x, before.x);
    EXPECT_EQ(PositionOf("Player 2").y, before.y);
    EXPECT_EQ(TextOf("timer"), clock);
    Game().Release(SDLK_a);
    const std::vector<std::uint8_t> shot = Game().Shot("match_pause");
    int white = 0;
    for (int y = 60; y < 420; ++y)
        for (int x = 200; x < 440; ++x)
        {
            const std::uint8_t* pixel = PixelAt(shot, x, y);
            white += pixel[0] > 230 && pixel[1] > 230 && pixel[2] > 230 ? 1 : 0;
        }
    EXPECT_GT(white, 300) << "the pause menu's labels";
    for (const std::string& line : RecordingLines())
        EXPECT_EQ(line.find(" 768 27 "), std::string::npos) << "Escape is never recorded: " << line;
    TapKey(Game(), SDLK_RETURN);
    EXPECT_FALSE(FrameRateManager::IsPaused());
    EXPECT_FALSE(MenuHooks::AnyOpen());

    // Escape, Down, Return opens the restart question; Down, Return confirms: the match starts again.
    Game().Step(30);
    const std::int64_t frameBefore = GetRecordFrame();
    // A menu takes input a few updates after it opens.
    TapKey(Game(), SDLK_ESCAPE);
    Game().Step(10);
    TapKey(Game(), SDLK_DOWN);
    TapKey(Game(), SDLK_RETURN);
    Game().Step(10);
    EXPECT_EQ(MenuHooks::Top(), "CDA");
    TapKey(Game(), SDLK_DOWN);
    Game().Press(SDLK_RETURN);
    Game().Step();
    Game().Release(SDLK_RETURN);
    // The restart closes the recording and starts a fresh one at frame 0.
    ASSERT_TRUE(Until(Game(), "restart", 10, [&] { return GetRecordFrame() < frameBefore; }));
    EXPECT_EQ(Game().CurrentState(), GameStateIndex::GameplayDemo);
    EXPECT_FALSE(FrameRateManager::IsPaused());
    ASSERT_TRUE(IsRecording());
    EXPECT_LT(GetRecordFrame(), 5) << "a fresh recording";
    ASSERT_TRUE(Until(Game(), "hidden on restart", 20, EveryoneHidden));
    ASSERT_TRUE(Until(Game(), "respawn on restart", 900, [] { return EveryoneAtSpawn() && ClockRuns(); }));
    EXPECT_EQ(TextOf("p1 score"), "0");

    // Losing the focus pauses; LShift+4 leaves for player 1's victory screen, menus closed and unpaused.
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    Game().Step(2);
    EXPECT_TRUE(FrameRateManager::IsPaused());
    EXPECT_TRUE(MenuHooks::IsOpen("Pause Menu"));
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    Game().Step();
    PressShortcut(Game(), '4');
    EXPECT_EQ(GetCurrentGameState(), GameStateIndex::WinScreenLevel1);
    EXPECT_FALSE(FrameRateManager::IsPaused());
    EXPECT_FALSE(IsRecording());
}
