#include "GameState.h"
#include "OffscreenGL.h"
#include "PlayHarness.h"

#include <SDL.h>
#include <gtest/gtest.h>

// A key pressed and released two seconds into the team's picture skips it: the main menu is entered on
// the update after the one that pumped the release.
TEST(Skip, AReleasedKeyOnTheTeamPictureEntersTheMainMenuOnTheNextUpdate)
{
    PlayHarness game;
    std::string reason;
    if (!game.Start(reason, {{}, false}))
        GLIMMOCK_SKIP_OR_FAIL_WITHOUT_GL(reason);

    int update = 0;
    while (game.CurrentState() != GameStateIndex::GameSplashScreen && update < 400)
    {
        game.Step();
        ++update;
    }
    ASSERT_EQ(game.CurrentState(), GameStateIndex::GameSplashScreen);
    for (int i = 0; i < 120; ++i)
        game.Step();

    game.Press(SDLK_SPACE);
    game.Step();
    EXPECT_EQ(game.CurrentState(), GameStateIndex::GameSplashScreen) << "a press must not skip";
    game.Release(SDLK_SPACE);
    game.Step();
    EXPECT_EQ(game.CurrentState(), GameStateIndex::GameSplashScreen);
    game.Step();
    EXPECT_EQ(game.CurrentState(), GameStateIndex::MainMenu);
    game.Stop();
}
