#include "GameState.h"
#include "GameStateRequest.h"
#include "MenuHooks.h"
#include "OffscreenGL.h"
#include "PlayHarness.h"
#include "WindowProvider.h"

#include <SDL_keycode.h>
#include <gtest/gtest.h>

#include <string>

// The close flag is never cleared: after a close answered "No" on the main menu, a development level
// that read the flag would never see the next close. It watches the window instead: a close pushed in
// state 0 stops the game within two updates.
TEST(DevLevelClose, ACloseAfterAnAnsweredOneStillQuits)
{
    PlayHarness game;
    std::string reason;
    if (!game.Start(reason))
        GLIMMOCK_SKIP_OR_FAIL_WITHOUT_GL(reason);
    RequestGameState(GameStateIndex::MainMenu);
    WindowProvider::SetWindowVisible(0, true);
    game.Step(30);
    game.PushWindowClose();
    game.Step(10);
    ASSERT_EQ(MenuHooks::Top(), "CDA") << "the main menu asks before quitting";
    // "No" is selected first.
    game.Press(SDLK_RETURN);
    game.Step();
    game.Release(SDLK_RETURN);
    game.Step(5);
    EXPECT_FALSE(MenuHooks::IsOpen("CDA"));
    ASSERT_TRUE(game.GetEngine().running);
    ASSERT_TRUE(WindowProvider::IsCloseRequested(0));

    RequestGameState(GameStateIndex::Level1Temp);
    WindowProvider::SetWindowVisible(0, true);
    game.Step(5);
    ASSERT_EQ(game.CurrentState(), GameStateIndex::Level1Temp);
    ASSERT_TRUE(game.GetEngine().running);
    game.PushWindowClose();
    int updates = 0;
    while (game.GetEngine().running && updates < 10)
    {
        game.Step();
        ++updates;
    }
    EXPECT_FALSE(game.GetEngine().running);
    // The close is pumped in the first update, which requests the quit; the state leaves in the second
    // and the engine stops in the third.
    EXPECT_LE(updates, 3);
    game.Stop();
}
