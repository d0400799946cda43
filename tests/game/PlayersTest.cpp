#include "PlayArena.h"
#include "PlayHarness.h"

#include "BehaviorIds.h"
#include "Event.h"
#include "GameObject.h"
#include "Renderer.h"
#include "SoundPlayLog.h"
#include "StatNames.h"
#include "TypeIds.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace
{
class Players : public PlayTest
{
  protected:
    void SetUp() override
    {
        PlayTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        SetSoundPlayLogging(true);
        arena = BuildArena();
        // Let everything settle on the floor.
        Game().Step(30);
        Game().Events().Clear();
        ClearSoundPlayLog();
    }
    static int Played(const std::string& name)
    {
        return static_cast<int>(std::count(SoundPlayLog().begin(), SoundPlayLog().end(), name));
    }

    Arena arena;
};
} // namespace

// A held arrow moves only from the update after the press, by 150/60 a step, facing the player's way;
// releasing stops from the next update; both arrows stop without turning; the other player's keys only
// move the other player.
TEST_F(Players, RunningFollowsTheKeysOneUpdateLateAndOnlyForItsOwnPlayer)
{
    const float start = PositionOf("Player 1").x;
    const float other = PositionOf("Player 2").x;
    Game().Press(SDLK_RIGHT);
    Game().Step();
    EXPECT_FLOAT_EQ(PositionOf("Player 1").x, start) << "the command runs in the next update";
    EXPECT_EQ(StatOf("Player 1", kStatOrientation), 1.0f);
    Game().Step(4);
    EXPECT_NEAR(PositionOf("Player 1").x - start, 4 * 2.5f, 0.01f);
    EXPECT_FALSE(GetRenderer(*Named("Player 1"))->flip);

    Game().Release(SDLK_RIGHT);
    Game().Step();
    const float stopped = PositionOf("Player 1").x;
    Game().Step(3);
    EXPECT_FLOAT_EQ(PositionOf("Player 1").x, stopped) << "a release stops from the next update";

    Game().Press(SDLK_LEFT);
    Game().Step(3);
    EXPECT_EQ(StatOf("Player 1", kStatOrientation), 0.0f);
    EXPECT_TRUE(GetRenderer(*Named("Player 1"))->flip);
    Game().Press(SDLK_RIGHT);
    Game().Step(3);
    EXPECT_EQ(VelocityOf("Player 1").x, 0.0f);
    EXPECT_EQ(StatOf("Player 1", kStatOrientation), 0.0f) << "both keys keep the facing";
    Game().Release(SDLK_LEFT);
    Game().Release(SDLK_RIGHT);
    Game().Step();

    const float before = PositionOf("Player 1").x;
    for (const std::int32_t key : {SDLK_w, SDLK_a, SDLK_d, SDLK_LSHIFT})
        Game().Press(key);
    Game().Step(5);
    EXPECT_FLOAT_EQ(PositionOf("Player 1").x, before);
    EXPECT_EQ(StackOf("Player 1"), (std::vector<std::uint32_t>{kStateOnGround}));
    // A and D together stop the second player; W jumps it.
    EXPECT_FLOAT_EQ(PositionOf("Player 2").x, other);
    EXPECT_EQ(StackOf("Player 2"), (std::vector<std::uint32_t>{kStateOnGround, kStateInAir}));
}
