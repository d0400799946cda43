#include "Event.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameState.h"
#include "GameStateRequest.h"
#include "MatchScenario.h"
#include "StatNames.h"
#include "TypeIds.h"

#include <SDL.h>
#include <gtest/gtest.h>

// A match to player 2's victory in a game of its own; one round ends while player 2 holds the ball and the
// draw replaces that ball.
namespace
{
class MatchBlueVictory : public PlayTest
{
};

// The generators' seed whose first module draw is "Ball_Glow", the module that replaces the ball.
constexpr std::uint64_t kBallGlowSeed = 2;
} // namespace

TEST_F(MatchBlueVictory, PlayerTwoWinsAndAHeldBallReplacedByAModuleLeavesNoStaleHold)
{
    Game().ResetWorld(kBallGlowSeed);
    MatchWatch watch;
    RequestGameState(GameStateIndex::GameplayDemo);
    Game().Step();
    watch.Listen();
    ASSERT_TRUE(Until(Game(), "first round", 900, [] { return EveryoneAtSpawn() && ClockRuns(); }));

    // Player 2 scores once.
    ASSERT_TRUE(ScoreForPlayerTwo(Game()));
    ASSERT_TRUE(Until(Game(), "goal", 120, [&] { return !watch.goals.empty(); }));
    EXPECT_EQ(watch.goals, std::vector<float>{2.0f});
    ASSERT_TRUE(
        Until(Game(), "respawn", 600, [] { return !EveryoneHidden() && EveryoneAtSpawn() && ClockRuns(); }));

    // Player 2 takes the ball again and holds it while the round ends.
    {
        Autopilot two = PilotTwo(Game());
        ASSERT_TRUE(two.WalkTo(-75.0f));
        ASSERT_TRUE(two.JumpOnto(-25.0f, -160.0f));
        two.Face(1);
        two.TapGrab();
    }
    ASSERT_TRUE(Until(Game(), "grab", 20, [] { return StatOf("Player 2", kStatGrabbedObject) != 0.0f; }));
    const float heldId = StatOf("Player 2", kStatGrabbedObject);
    PressShortcut(Game(), '2');
    ASSERT_TRUE(Until(Game(), "round end", 200, [&] { return watch.roundWinners.size() == 1; }));
    EXPECT_EQ(watch.roundWinners.front(), 2u);
    ASSERT_TRUE(Until(Game(), "module", 400, [&] { return watch.modulesLoaded == 1; }));
    ASSERT_EQ(watch.moduleTags.front(), std::vector<std::uint32_t>{kTagBall}) << "the draw was Ball_Glow";
    // The held ball is gone with the module; the hold is forgotten rather than left on a freed id.
    EXPECT_NE(heldId, 0.0f);
    EXPECT_EQ(StatOf("Player 2", kStatGrabbedObject), 0.0f);

    // Grab mashed through the reset and the respawn: nothing may use the freed ball.
    for (int press = 0; press < 40; ++press)
    {
        TapKey(Game(), SDLK_LSHIFT);
        TapKey(Game(), SDLK_RSHIFT);
    }
    ASSERT_TRUE(Until(Game(), "round 2", 600, [] { return EveryoneAtSpawn() && ClockRuns(); }));
    const float held = StatOf("Player 2", kStatGrabbedObject);
    if (held != 0.0f)
    {
        GameObject* ball = gGameObjectFactory->GetObject(static_cast<std::uint32_t>(held));
        ASSERT_NE(ball, nullptr);
        EXPECT_EQ(ball->tag, kTagBall);
    }

    for (std::uint32_t round = 2; round <= 4; ++round)
    {
        SCOPED_TRACE(round);
        PressShortcut(Game(), '2');
        ASSERT_TRUE(Until(Game(), "round end", 200, [&] { return watch.roundWinners.size() == round; }));
        if (round == 4)
            break;
        ASSERT_TRUE(Until(Game(), "module", 400, [&] { return watch.modulesLoaded == int(round); }));
        ASSERT_TRUE(Until(Game(), "respawn", 900, [] { return EveryoneAtSpawn() && ClockRuns(); }));
    }
    EXPECT_EQ(watch.gamesFinished, 1);
    ASSERT_FALSE(watch.game.empty());
    EXPECT_EQ(watch.game.front(), 2u);
    EXPECT_EQ(GetRequestedGameState(), GameStateIndex::WinScreenLevel2);
    Game().Step();
    EXPECT_EQ(GetCurrentGameState(), GameStateIndex::WinScreenLevel2);
}
