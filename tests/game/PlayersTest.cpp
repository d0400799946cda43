#include "PlayArena.h"
#include "PlayHarness.h"

#include "BehaviorIds.h"
#include "BehaviorInput.h"
#include "CCSM.h"
#include "Event.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStats.h"
#include "Renderer.h"
#include "RigidBody.h"
#include "SoundPlayLog.h"
#include "Transform.h"
#include "StatNames.h"
#include "TypeIds.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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
    // Steps until the player stands: OnGround on top and touching the floor in two steps running (a
    // standing body leaves each contact at about +2.3); false after ten seconds.
    bool Settle(const std::string& player)
    {
        int touching = 0;
        for (int i = 0; i < 600 && touching < 2; ++i)
        {
            Game().Step();
            const std::vector<std::uint32_t> stack = StackOf(player);
            const float vy = VelocityOf(player).y;
            const bool standing = !stack.empty() && stack.back() == kStateOnGround && vy > 2.0f && vy < 2.6f;
            touching = standing ? touching + 1 : 0;
        }
        return touching >= 2;
    }
    // Holds the jump keys for `held` updates from the press, then lets go; the highest point reached
    // above the take-off.
    float JumpPeak(int held, bool withSpace)
    {
        const float takeOff = PositionOf("Player 1").y;
        Game().Press(SDLK_UP);
        if (withSpace)
            Game().Press(SDLK_SPACE);
        float peak = 0.0f;
        for (int update = 1; update <= 60; ++update)
        {
            Game().Step();
            if (update == held)
            {
                Game().Release(SDLK_UP);
                Game().Release(SDLK_SPACE);
            }
            peak = std::max(peak, PositionOf("Player 1").y - takeOff);
        }
        return peak;
    }
    static void Teleport(const std::string& name, float x, float y, const Vector3& velocity)
    {
        GameObject* object = Named(name);
        auto* transform = object->GetComponentAs<Transform>(ComponentTypeId::kTransform);
        transform->SetTranslation({x, y, 1.0f});
        transform->MarkDirty();
        object->SetDirty(true);
        GetRigidBody(object)->SetVelocity(velocity);
        GetRigidBody(object)->SetPreviousPosition({x, y, 1.0f});
    }
    static CCSM& Machine(const std::string& name)
    {
        return *Named(name)->GetComponentAs<CCSM>(ComponentTypeId::kCCSM);
    }
    // Places the ball (made static so it stays put) relative to the first player.
    void PlaceBall(float dx, float dy)
    {
        const Vector3 at = PositionOf("Player 1");
        Teleport("Ball", at.x + dx, at.y + dy, {0.0f, 0.0f, 0.0f});
        GetRigidBody(Named("Ball"))->SetStatic(true);
    }
    // Taps a key: pressed before one update, released before the next.
    void Tap(std::int32_t key, int stepsAfter = 1)
    {
        Game().Press(key);
        Game().Step();
        Game().Release(key);
        Game().Step(stepsAfter);
    }
    // The events seen, collisions left out.
    std::vector<std::uint32_t> GameplayEvents()
    {
        std::vector<std::uint32_t> types;
        for (std::uint32_t type : Game().Events().Types())
            if (type != evCollision)
                types.push_back(type);
        return types;
    }
    static std::uint32_t IdOf(const std::string& name) { return Named(name)->id; }
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

// A tap jumps once to 22.5 and lands by replacing InAir, so the stack grows by one per jump; the air adds
// the fall speed to gravity; a held jump climbs at full speed to three body heights; a release ends it.
TEST_F(Players, JumpsRiseWhileHeldAndLandOnBlocksButNotOnGoalsOrWalls)
{
    ASSERT_TRUE(Settle("Player 1"));
    Game().Press(SDLK_UP);
    Game().Step();
    Game().Release(SDLK_UP);
    EXPECT_EQ(StackOf("Player 1").size(), 1u) << "the jump runs in the next update";
    Game().Step();
    EXPECT_EQ(StackOf("Player 1"), (std::vector<std::uint32_t>{kStateOnGround, kStateInAir}));
    EXPECT_EQ(Game().Events().Count(evPlayerJump), 1);
    EXPECT_EQ(Played("PlayerJump"), 1);
    const float rising = VelocityOf("Player 1").y;
    Game().Press(SDLK_UP); // refused in the air
    Game().Step();
    Game().Release(SDLK_UP);
    EXPECT_FLOAT_EQ(VelocityOf("Player 1").y, rising - 110.0f) << "gravity 10 and fall speed 100 a step";
    EXPECT_EQ(Game().Events().Count(evPlayerJump), 1);
    for (int i = 0; i < 30 && StackOf("Player 1").back() == kStateInAir; ++i)
        Game().Step();
    EXPECT_EQ(StackOf("Player 1"), (std::vector<std::uint32_t>{kStateOnGround, kStateOnGround}));
    const float bounce = VelocityOf("Player 1").y;
    Game().Step();
    if (StackOf("Player 1").back() == kStateOnGround && bounce > 20.0f)
    {
        EXPECT_FLOAT_EQ(VelocityOf("Player 1").y, bounce - 10.0f) << "only gravity on the ground";
    }

    ASSERT_TRUE(Settle("Player 1"));
    const std::size_t depth = StackOf("Player 1").size();
    EXPECT_NEAR(JumpPeak(1, false), 22.5f, 0.5f);
    ASSERT_TRUE(Settle("Player 1"));
    // Landing replaces InAir; the bounce off the floor may fall fast enough to push another.
    EXPECT_GE(StackOf("Player 1").size(), depth + 1);

    // Space is the first player's jump action: holding it keeps the jump velocity. Counted from the
    // update the jump runs in, a release reaching update k + 1 leaves k - 1 full-speed steps.
    for (const int k : {3, 5, 9})
    {
        ASSERT_TRUE(Settle("Player 1"));
        EXPECT_NEAR(JumpPeak(k + 1, true), 8.17f * static_cast<float>(k - 1) + 22.5f, 0.5f) << k;
    }
    ASSERT_TRUE(Settle("Player 1"));
    const float peak = JumpPeak(60, true);
    EXPECT_GT(peak, 135.0f);
    EXPECT_LT(peak, 135.0f + 8.17f + 22.5f);

    // Touching the goal post or a side wall in the air keeps the player in the air; the ledge's side lands.
    const std::pair<float, float> keepInAir[] = {{-168.5f, -120.0f}, {288.5f, 0.0f}};
    for (const auto& [x, y] : keepInAir)
    {
        Machine("Player 1").PushState(kStateInAir);
        Teleport("Player 1", x, y, {0.0f, 0.0f, 0.0f});
        Game().Step();
        EXPECT_EQ(StackOf("Player 1").back(), kStateInAir) << x;
    }
    Teleport("Player 1", 98.5f, -120.0f, {0.0f, 0.0f, 0.0f});
    Game().Step();
    EXPECT_EQ(StackOf("Player 1").back(), kStateOnGround);
}

// Running off the ledge: gravity alone pulls the standing player down, and InAir comes in the update
// after the first one that ends below -100.
TEST_F(Players, WalkingOffTheLedgeFallsOnceTheSpeedPassesTheThreshold)
{
    Teleport("Player 1", 180.0f, -87.0f, {0.0f, 0.0f, 0.0f});
    ASSERT_TRUE(Settle("Player 1"));
    const std::size_t depth = StackOf("Player 1").size();
    Game().Press(SDLK_RIGHT);
    float previous = 0.0f;
    for (int i = 0; i < 80; ++i)
    {
        Game().Step();
        const bool fell = StackOf("Player 1").size() > depth;
        if (fell)
        {
            EXPECT_LT(previous, -100.0f);
            EXPECT_EQ(StackOf("Player 1").back(), kStateInAir);
            break;
        }
        ASSERT_GE(VelocityOf("Player 1").y, -110.0f) << "fell without leaving the ground";
        previous = VelocityOf("Player 1").y;
    }
    Game().Release(SDLK_RIGHT);
    EXPECT_GT(StackOf("Player 1").size(), depth);
}

// Reach is strict on both axes (range 2 x 25 = 50); the last ball in id order wins; tag-3 objects without
// a machine that can hold them are ignored; a grab makes the ball static and carries it beside the holder.
TEST_F(Players, GrabsAreStrictPickTheHighestIdAndCarryTheBall)
{
    ASSERT_TRUE(Settle("Player 1"));
    const std::pair<float, float> outOfReach[] = {{50.0f, 0.0f}, {-50.0f, 0.0f}, {0.0f, 50.0f}};
    for (const auto& [dx, dy] : outOfReach)
    {
        PlaceBall(dx, dy);
        Tap(SDLK_RSHIFT);
        EXPECT_EQ(StatOf("Player 1", kStatGrabbedObject), 0.0f) << dx << ", " << dy;
    }
    EXPECT_EQ(Game().Events().Count(evBallGrab), 0);

    // Objects tagged as balls that cannot be held: no machine, or a machine without the Grabbed state.
    for (const char* behavior : {"", "Player Behavior"})
    {
        GameObject* fake = gGameObjectFactory->CreateObject();
        fake->tag = kTagBall;
        fake->GetComponentAs<Transform>(ComponentTypeId::kTransform)->SetTranslation(PositionOf("Player 1"));
        if (*behavior != 0)
        {
            CCSM machine;
            fake->AddComponent(machine);
            fake->GetComponentAs<CCSM>(ComponentTypeId::kCCSM)->SetBehavior(behavior);
        }
    }
    PlaceBall(49.99f, 0.0f);
    Tap(SDLK_RSHIFT);
    const std::uint32_t ball = IdOf("Ball");
    EXPECT_EQ(StatOf("Player 1", kStatGrabbedObject), static_cast<float>(ball));
    EXPECT_EQ(Game().Events().Count(evBallGrab), 1);
    EXPECT_EQ(Played("GetBall"), 1);
    EXPECT_EQ(StackOf("Ball"), (std::vector<std::uint32_t>{kStateUnGrabbed, kStateGrabbed}));
    EXPECT_TRUE(GetRigidBody(Named("Ball"))->GetStatic());
    Game().Step();
    const Vector3 holder = PositionOf("Player 1");
    const Vector3 held = PositionOf("Ball");
    EXPECT_FLOAT_EQ(held.x, holder.x + 30.0f);
    EXPECT_FLOAT_EQ(held.y, holder.y);
    EXPECT_EQ(held.z, 1.0f);

    // Running left turns the ball to the other side and it follows within one update.
    Game().Press(SDLK_LEFT);
    for (int i = 0; i < 20; ++i)
    {
        Game().Step();
        if (i > 1)
        {
            EXPECT_NEAR(PositionOf("Ball").x, PositionOf("Player 1").x - 30.0f, 2.6f) << i;
        }
    }
    Game().Release(SDLK_LEFT);
}

// A steal knocks the holder away from the thief and freezes its keys for 0.5 s; a thief without a facing
// steals without knock-back; two grabs in one update leave the ball with the higher id.
TEST_F(Players, StealsKnockTheHolderBackAndTheLaterMachineHoldsLast)
{
    ASSERT_TRUE(Settle("Player 1"));
    PlaceBall(20.0f, 0.0f);
    Tap(SDLK_RSHIFT);
    ASSERT_EQ(StatOf("Player 1", kStatGrabbedObject), static_cast<float>(IdOf("Ball")));
    const Vector3 p1 = PositionOf("Player 1");
    Teleport("Player 2", p1.x + 70.0f, p1.y, {0.0f, 0.0f, 0.0f}); // faces left (Orientation 0)
    Game().Step();
    Game().Events().Clear();
    const Vector3 before = VelocityOf("Player 1");
    Game().Press(SDLK_LSHIFT);
    Game().Step();
    Game().Step();
    Game().Release(SDLK_LSHIFT);
    EXPECT_EQ(GameplayEvents(), (std::vector<std::uint32_t>{evBallStolen, evBallGrab}));
    EXPECT_EQ(StatOf("Player 1", kStatGrabbedObject), 0.0f);
    EXPECT_EQ(StatOf("Player 2", kStatGrabbedObject), static_cast<float>(IdOf("Ball")));
    const Vector3 after = VelocityOf("Player 1");
    EXPECT_NEAR(after.x - before.x, -246.9f, 1.0f);
    EXPECT_NEAR(after.y - before.y, 246.9f - 10.0f, 1.0f) << "less one step of gravity";

    // The victim ignores its keys for exactly 30 updates after the one that knocked it back.
    Game().Press(SDLK_RIGHT);
    int frozen = 0;
    while (frozen < 40 && StatOf("Player 1", kStatOrientation) == 1.0f && VelocityOf("Player 1").x < 100.0f)
    {
        Game().Step();
        ++frozen;
        if (VelocityOf("Player 1").x > 0.0f && StackOf("Player 1").size() > 0 && frozen > 30)
            break;
    }
    Game().Release(SDLK_RIGHT);
    EXPECT_EQ(frozen, 31) << "30 frozen updates, then the move runs in the next";

    // A thief with no facing: the steal happens without knock-back.
    GameObject* thief = gGameObjectFactory->CreateObject();
    thief->tag = kTagPlayer;
    {
        auto* transform = thief->GetComponentAs<Transform>(ComponentTypeId::kTransform);
        transform->SetTranslation(PositionOf("Ball"));
        transform->SetScale({25.0f, 45.0f, 0.0f});
        GameStats stats;
        stats.SetStat(kStatGrabRange, 2.0f);
        stats.SetStat(kStatGrabbedObject, 0.0f);
        thief->AddComponent(stats);
        CCSM machine;
        thief->AddComponent(machine);
        thief->GetComponentAs<CCSM>(ComponentTypeId::kCCSM)->SetBehavior("Player Behavior");
    }
    const Vector3 p2Before = VelocityOf("Player 2");
    thief->GetComponentAs<CCSM>(ComponentTypeId::kCCSM)->HandleCommand(kCommandGrab);
    Game().Step();
    EXPECT_EQ(StatOf("Player 2", kStatGrabbedObject), 0.0f);
    EXPECT_NEAR(VelocityOf("Player 2").y, p2Before.y, 12.0f) << "no knock-back";
}

TEST_F(Players, SimultaneousGrabsLeaveTheBallWithTheHigherId)
{
    ASSERT_TRUE(Settle("Player 1"));
    const Vector3 p1 = PositionOf("Player 1");
    Teleport("Player 2", p1.x + 40.0f, p1.y, {0.0f, 0.0f, 0.0f});
    PlaceBall(20.0f, 0.0f);
    Game().Press(SDLK_RSHIFT);
    Game().Press(SDLK_LSHIFT);
    Game().Step(2);
    Game().Release(SDLK_RSHIFT);
    Game().Release(SDLK_LSHIFT);
    const std::string winner = IdOf("Player 1") > IdOf("Player 2") ? "Player 1" : "Player 2";
    const std::string loser = winner == "Player 1" ? "Player 2" : "Player 1";
    EXPECT_EQ(StatOf(winner, kStatGrabbedObject), static_cast<float>(IdOf("Ball")));
    EXPECT_EQ(StatOf(loser, kStatGrabbedObject), 0.0f);
    EXPECT_EQ(Game().Events().Count(evBallStolen), 1);
}
