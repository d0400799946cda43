#include "PlayArena.h"
#include "PlayHarness.h"

#include "BallSpeedScript.h"
#include "BehaviorIds.h"
#include "BehaviorInput.h"
#include "CCSM.h"
#include "Event.h"
#include "EventManager.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStats.h"
#include "InputSystem.h"
#include "LevelFile.h"
#include "Light.h"
#include "MenuHooks.h"
#include "ParticleComponent.h"
#include "PlayerScript.h"
#include "Prototypes.h"
#include "Renderer.h"
#include "RigidBody.h"
#include "SoundPlayLog.h"
#include "SoundSystem.h"
#include "StatNames.h"
#include "TimeManipulator.h"
#include "Transform.h"
#include "TypeIds.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>

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
    // A bare ball: tag 3, a machine of the ball set, a body and stats, near the first player.
    static std::uint32_t MakeLooseBall(float dx)
    {
        GameObject* ball = gGameObjectFactory->CreateObject();
        ball->tag = kTagBall;
        auto* transform = ball->GetComponentAs<Transform>(ComponentTypeId::kTransform);
        const Vector3 at = PositionOf("Player 1");
        transform->SetTranslation({at.x + dx, at.y, 1.0f});
        transform->SetScale({20.0f, 20.0f, 0.0f});
        RigidBody body(5);
        body.SetStatic(true);
        ball->AddComponent(body);
        GameStats stats;
        ball->AddComponent(stats);
        CCSM machine;
        ball->AddComponent(machine);
        ball->GetComponentAs<CCSM>(ComponentTypeId::kCCSM)->SetBehavior("Ball Behavior");
        return ball->id;
    }
    static PlayerScript& ScriptOf(const std::string& name)
    {
        return *Named(name)->GetScriptAs<PlayerScript>(ScriptTypeId::kPlayerScript);
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
    // Pressed and released within one update: still one grab.
    PlaceBall(49.99f, 0.0f);
    Game().Press(SDLK_RSHIFT);
    Game().Release(SDLK_RSHIFT);
    Game().Step(2);
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

// The right stick aims (stick y grows downward) and the ball sits at the aim, level on the ground; at rest
// or unplugged it sits on the facing side and the angle is 30. A rest throw goes up at 30 degrees on the
// facing side; a stick throw goes where the stick points.
TEST_F(Players, TheRightStickAimsAndThrowsMirrorOnlyAtRest)
{
    Game().PlugController();
    Game().PlugController();
    Game().Step();
    ASSERT_TRUE(gInputSystem->controllers[0].connected && gInputSystem->controllers[1].connected);
    ASSERT_TRUE(Settle("Player 1"));
    // The controller's A button grabs like the key.
    PlaceBall(20.0f, 0.0f);
    Game().SetButton(0, SDL_CONTROLLER_BUTTON_A, true);
    Game().Step();
    Game().SetButton(0, SDL_CONTROLLER_BUTTON_A, false);
    Game().Step();
    ASSERT_EQ(StatOf("Player 1", kStatGrabbedObject), static_cast<float>(IdOf("Ball")));

    struct Aim
    {
        std::int16_t x, y;
        float angle;
    };
    const Aim aims[] = {{32767, 0, 0.0f},         {20000, -20000, 30.0f}, {10000, -30000, 60.0f},
                        {-20000, -20000, 150.0f}, {0, -32767, 60.0f},     {-32768, 0, 180.0f},
                        {7999, 0, 30.0f},         {20000, 20000, -30.0f}};
    for (const Aim& aim : aims)
    {
        Game().SetRightStick(0, aim.x, aim.y);
        Game().Step();
        EXPECT_EQ(StatOf("Player 1", kStatThrowAngle), aim.angle) << aim.x << ", " << aim.y;
    }
    Game().Step();
    EXPECT_NEAR(PositionOf("Ball").y, PositionOf("Player 1").y, 0.5f) << "held level on the ground";
    EXPECT_NEAR(PositionOf("Ball").x, PositionOf("Player 1").x + 30.0f, 0.5f);
    Machine("Player 1").PushState(kStateInAir);
    Game().Step();
    EXPECT_LT(PositionOf("Ball").y, PositionOf("Player 1").y - 10.0f) << "held below in the air";

    Game().SetRightStick(0, 32767, 0);
    Game().Step();
    Game().UnplugControllers();
    ASSERT_TRUE(Settle("Player 1"));
    EXPECT_EQ(StatOf("Player 1", kStatThrowAngle), 30.0f);
    EXPECT_NEAR(PositionOf("Ball").x, PositionOf("Player 1").x + 30.0f, 0.5f);

    Game().Events().Clear();
    Tap(SDLK_RSHIFT);
    EXPECT_NEAR(VelocityOf("Ball").x, 721.8f, 0.5f);
    EXPECT_NEAR(VelocityOf("Ball").y, 406.5f, 0.5f);
    EXPECT_EQ(GameplayEvents(), (std::vector<std::uint32_t>{evBallDrop}));
    EXPECT_EQ(StatOf("Ball", kStatGivesKnockback), 1.0f);
    EXPECT_EQ(StatOf("Player 1", kStatGrabbedObject), 0.0f);
    EXPECT_EQ(StackOf("Ball"), (std::vector<std::uint32_t>{kStateUnGrabbed, kStateGrabbed, kStateUnGrabbed}));

    // The second player faces left: at rest it throws mirrored, with the stick it throws as aimed.
    for (const bool aimed : {false, true})
    {
        ASSERT_TRUE(Settle("Player 2"));
        const Vector3 p2 = PositionOf("Player 2");
        Teleport("Ball", p2.x - 20.0f, p2.y, {0.0f, 0.0f, 0.0f});
        Tap(SDLK_LSHIFT);
        ASSERT_EQ(StatOf("Player 2", kStatGrabbedObject), static_cast<float>(IdOf("Ball")));
        if (aimed)
        {
            Game().PlugController();
            Game().PlugController();
            Game().Step();
            Game().SetRightStick(1, 20000, -20000);
            Game().Step();
        }
        Tap(SDLK_LSHIFT);
        EXPECT_NEAR(VelocityOf("Ball").x, aimed ? 721.8f : -721.8f, 0.5f);
        EXPECT_NEAR(VelocityOf("Ball").y, 406.5f, 0.5f);
        Game().UnplugControllers();
        Game().Step();
    }
}

// Bounces: at most one event per impact, none at rest, each played; the speed climbs 0.05 a bounce to
// exactly 3. A thrown ball stops on the first player it hits and freezes it briefly; "BallSteal" is not
// restarted while it sounds; a ball that touched a block passes players harmlessly.
TEST_F(Players, BallContactsBounceSpeedUpAndKnockBackOnlyWhileThrown)
{
    // A flat throw at the second player.
    ASSERT_TRUE(Settle("Player 1"));
    const Vector3 p1 = PositionOf("Player 1");
    Teleport("Player 2", p1.x + 150.0f, p1.y, {0.0f, 0.0f, 0.0f});
    PlaceBall(20.0f, 0.0f);
    Tap(SDLK_RSHIFT);
    Game().PlugController();
    Game().Step();
    Game().SetRightStick(0, 32767, 0);
    Game().Step();
    Tap(SDLK_RSHIFT, 0);
    float frozenFor = 0.0f;
    for (int i = 0; i < 30 && frozenFor == 0.0f; ++i)
    {
        Game().Step();
        frozenFor = ScriptOf("Player 2").GetKnockbackTime();
    }
    Game().UnplugControllers();
    EXPECT_NEAR(frozenFor, 0.17f, 0.05f);
    EXPECT_LT(std::fabs(VelocityOf("Ball").x), 20.0f) << "the ball stops dead";
    EXPECT_EQ(Played("BallSteal"), 1);

    // A second hit 0.1 s later, while the steal still sounds, plays nothing new.
    Game().Step(6);
    Named("Ball")->GetComponentAs<GameStats>(ComponentTypeId::kGameStats)->SetStat(kStatGivesKnockback, 1.0f);
    CollisionEvent again(IdOf("Ball"), IdOf("Player 2"));
    EventManager::Dispatch(&again);
    EXPECT_EQ(Played("BallSteal"), 1);

    // Touching the floor disarms the ball.
    ScriptOf("Player 2").Knockback({0.0f, 0.0f, 0.0f}, 0.0f);
    CollisionEvent floor(IdOf("Ball"), arena.floor);
    EventManager::Dispatch(&floor);
    GetRigidBody(Named("Ball"))->SetVelocity({500.0f, 0.0f, 0.0f});
    EventManager::Dispatch(&again);
    EXPECT_EQ(ScriptOf("Player 2").GetKnockbackTime(), 0.0f);
    EXPECT_EQ(VelocityOf("Ball").x, 500.0f);

    // Dropped from high up.
    Teleport("Ball", 0.0f, 60.0f, {0.0f, 0.0f, 0.0f});
    int bounces = 0;
    for (int i = 0; i < 600; ++i)
    {
        const int before = Game().Events().Count(evBallBounce);
        Game().Step();
        const int raised = Game().Events().Count(evBallBounce) - before;
        EXPECT_LE(raised, 1) << i;
        if (i >= 540)
        {
            EXPECT_EQ(raised, 0) << "a ball at rest raises nothing";
        }
        bounces += raised;
    }
    ASSERT_GE(bounces, 1);
    EXPECT_EQ(Played("BallBounce"), bounces);
    const auto* timeScale = Named("Ball")->GetComponentAs<TimeManipulator>(ComponentTypeId::kTimeManipulator);
    ASSERT_NE(timeScale, nullptr) << "the first bounce attaches one";
    EXPECT_TRUE(timeScale->IsPersistent());
    const int total = Game().Events().Count(evBallBounce);
    EXPECT_FLOAT_EQ(timeScale->GetSpeed(), 1.0f + 0.05f * static_cast<float>(total));
    for (int i = total; i < 45; ++i)
    {
        BallBounceEvent bounce({0.0f, 0.0f, 0.0f});
        EventManager::Dispatch(&bounce);
    }
    EXPECT_EQ(timeScale->GetSpeed(), 3.0f);
}

// The bounds zone puts players and balls back at their spawn points, stopped; other objects stay. An
// open menu freezes the players, knock-back included.
TEST_F(Players, BoundsRespawnAndOpenMenusFreezeThePlayers)
{
    Teleport("Player 1", 0.0f, -560.0f, {30.0f, -40.0f, 0.0f});
    Teleport("Ball", 100.0f, -560.0f, {0.0f, -40.0f, 0.0f});
    GetRigidBody(Named("Ball"))->SetAngularVelocity(90.0f);
    GameObject* crate = gGameObjectFactory->CreateObject();
    crate->tag = kTagPlatform;
    crate->GetComponentAs<Transform>(ComponentTypeId::kTransform)->SetTranslation({-100.0f, -560.0f, 1.0f});
    {
        RigidBody body(7);
        crate->AddComponent(body);
        GameStats stats;
        crate->AddComponent(stats);
    }
    Game().Step();
    const Vector3 p1 = PositionOf("Player 1");
    EXPECT_EQ(p1.x, 60.0f);
    EXPECT_EQ(p1.y, -177.5f);
    EXPECT_EQ(p1.z, 1.0f);
    const Vector3 ball = PositionOf("Ball");
    EXPECT_EQ(ball.x, 0.0f);
    EXPECT_EQ(ball.y, -100.0f);
    EXPECT_EQ(VelocityOf("Ball").x, 0.0f);
    EXPECT_EQ(GetRigidBody(Named("Ball"))->GetAngularVelocity(), 0.0f);
    EXPECT_EQ(crate->GetComponentAs<Transform>(ComponentTypeId::kTransform)->GetTranslation().x, -100.0f);

    ASSERT_TRUE(Settle("Player 1"));
    MenuHooks::PushMenu("CDA");
    ASSERT_TRUE(MenuHooks::AnyOpen());
    ScriptOf("Player 1").Knockback({0.0f, 0.0f, 0.0f}, 0.5f);
    Game().Press(SDLK_RIGHT);
    const float x = PositionOf("Player 1").x;
    Game().Step(60);
    EXPECT_FLOAT_EQ(PositionOf("Player 1").x, x);
    EXPECT_EQ(ScriptOf("Player 1").GetKnockbackTime(), 0.5f);
    MenuHooks::CloseAllMenus();
    Game().Step(30);
    EXPECT_LE(ScriptOf("Player 1").GetKnockbackTime(), 0.0f);
    Game().Step(3);
    EXPECT_GT(PositionOf("Player 1").x, x);
}

// Links are ids looked up at each use: a ball destroyed while held, its id reused, a destroyed holder and
// half-built objects leave nothing dangling (run under AddressSanitizer).
TEST_F(Players, StaleLinksAreLookedUpAfreshAndSkipped)
{
    ASSERT_TRUE(Settle("Player 1"));
    PlaceBall(20.0f, 0.0f);
    Tap(SDLK_RSHIFT);
    const std::uint32_t oldBall = IdOf("Ball");
    ASSERT_EQ(StatOf("Player 1", kStatGrabbedObject), static_cast<float>(oldBall));
    gGameObjectFactory->QueueDestroy(oldBall);
    Game().Step();
    const std::uint32_t reused = MakeLooseBall(200.0f);
    EXPECT_EQ(reused, oldBall) << "the freed id comes back first";
    Game().Events().Clear();
    Tap(SDLK_RSHIFT);
    EXPECT_EQ(StatOf("Player 1", kStatGrabbedObject), 0.0f);
    EXPECT_TRUE(GameplayEvents().empty()) << "a stale throw sends nothing";
    EXPECT_EQ(StackOf("Player 1").empty(), false);
    const std::uint32_t fresh = MakeLooseBall(20.0f);
    Tap(SDLK_RSHIFT);
    EXPECT_EQ(StatOf("Player 1", kStatGrabbedObject), static_cast<float>(fresh));

    // The holder goes: the ball's Grabbed state idles, and a grab takes it without a knock-back.
    const Vector3 heldAt = gGameObjectFactory->GetObject(fresh)
                               ->GetComponentAs<Transform>(ComponentTypeId::kTransform)
                               ->GetTranslation();
    const Vector3 p1 = PositionOf("Player 1");
    gGameObjectFactory->QueueDestroy(IdOf("Player 1"));
    Game().Step(5);
    EXPECT_EQ(gGameObjectFactory->GetObject(fresh)
                  ->GetComponentAs<Transform>(ComponentTypeId::kTransform)
                  ->GetTranslation()
                  .x,
              heldAt.x);
    Teleport("Player 2", p1.x, p1.y, {0.0f, 0.0f, 0.0f});
    Game().Events().Clear();
    Tap(SDLK_LSHIFT);
    EXPECT_EQ(GameplayEvents(), (std::vector<std::uint32_t>{evBallStolen, evBallGrab}));
    EXPECT_EQ(StatOf("Player 2", kStatGrabbedObject), static_cast<float>(fresh));

    // Half-built objects: a player script with nothing else, a player without a body, a bare ball tag.
    GameObject* bare = gGameObjectFactory->CreateObject();
    bare->tag = kTagPlayer;
    {
        PlayerScript script;
        bare->AddScript(script);
    }
    GameObject* bodiless = gGameObjectFactory->CreateObject();
    bodiless->tag = kTagPlayer;
    bodiless->SetName("Bodiless");
    {
        GameStats stats;
        stats.SetStat(kStatGrabbedObject, std::numeric_limits<float>::quiet_NaN());
        bodiless->AddComponent(stats);
        CCSM machine;
        bodiless->AddComponent(machine);
        bodiless->GetComponentAs<CCSM>(ComponentTypeId::kCCSM)->SetBehavior("Player Behavior");
        BehaviorInput input;
        input.SetKey(0, SDLK_UP);
        input.SetKey(2, SDLK_LEFT);
        input.SetKey(5, SDLK_RSHIFT);
        bodiless->AddComponent(input);
        PlayerScript script;
        bodiless->AddScript(script);
        bodiless->GetScriptAs<PlayerScript>(ScriptTypeId::kPlayerScript)->Knockback({1.0f, 1.0f, 0.0f}, 0.0f);
    }
    GameObject* fakeBall = gGameObjectFactory->CreateObject();
    fakeBall->tag = kTagBall;
    for (const std::int32_t key : {SDLK_UP, SDLK_LEFT, SDLK_RSHIFT, SDLK_LSHIFT})
        Game().Press(key);
    Game().Step(10);
    EXPECT_EQ(StatOf("Player 2", kStatGrabbedObject), 0.0f) << "the second player threw";
}

// A saved and reloaded arena starts its scripts afresh (no knock-back, normal ball speed) and each ball
// script hears a bounce once; prototypes hear nothing.
TEST_F(Players, ReloadedScriptsStartAfreshAndHearEachBounceOnce)
{
    ScriptOf("Player 1").Knockback({0.0f, 0.0f, 0.0f}, 2.0f);
    BallBounceEvent bounce({0.0f, 100.0f, 0.0f});
    EventManager::Dispatch(&bounce);
    std::filesystem::create_directories("Levels");
    ASSERT_TRUE(SaveLevel("PlayersArena"));
    LoadLevel("PlayersArena", true);
    Game().Events().Listen();
    Game().Step();
    EXPECT_EQ(ScriptOf("Player 1").GetKnockbackTime(), 0.0f);
    auto* speed = Named("Ball")->GetScriptAs<BallSpeedScript>(ScriptTypeId::kBallSpeedScript);
    ASSERT_NE(speed, nullptr);
    EXPECT_EQ(speed->GetSpeed(), 1.0f);
    EventManager::Dispatch(&bounce);
    EXPECT_FLOAT_EQ(speed->GetSpeed(), 1.05f);
    const auto* prototype = dynamic_cast<BallSpeedScript*>(FindScriptPrototype("BallSpeedScript"));
    ASSERT_NE(prototype, nullptr);
    EXPECT_EQ(prototype->GetSpeed(), 1.0f);
}

// With the shipped banks: the bounce script picks the plain, balloon or light bounce sound for the first
// object of a ball module, and a bounce queues min(|v| / 500, 0.9)^2 x 4 x rate particles.
TEST_F(Players, BounceSoundFollowsTheBallModuleAndBouncesQueueParticles)
{
    ASSERT_NE(SoundSystem::GetSoundInstance("BallBounce"), nullptr) << "the banks lack BallBounce";
    EXPECT_EQ(CurrentBounceSound, SoundSystem::GetSoundInstance("BallBounce"));

    GameObject* balloon = gGameObjectFactory->CreateObject();
    {
        RigidBody body(5);
        body.SetGravityScale(5.0f);
        balloon->AddComponent(body);
    }
    GameObject* glowing = gGameObjectFactory->CreateObject();
    {
        Light light;
        glowing->AddComponent(light);
    }
    GameObject* plain = gGameObjectFactory->CreateObject();
    const auto load = [](std::vector<std::uint32_t> tags, std::vector<std::uint32_t> ids) {
        ModuleLoadedEvent loaded;
        loaded.tags = std::move(tags);
        loaded.newIds = std::move(ids);
        EventManager::Dispatch(&loaded);
        return CurrentBounceSound;
    };
    EXPECT_EQ(load({1, 3}, {balloon->id, plain->id}), SoundSystem::GetSoundInstance("BalloonBallBounce"));
    EXPECT_EQ(load({1}, {plain->id}), SoundSystem::GetSoundInstance("BalloonBallBounce")) << "no ball module";
    EXPECT_EQ(load({3}, {}), SoundSystem::GetSoundInstance("BalloonBallBounce")) << "nothing added";
    EXPECT_EQ(load({3}, {glowing->id}), SoundSystem::GetSoundInstance("LightBallBounce"));
    EXPECT_EQ(load({3}, {plain->id, balloon->id}), SoundSystem::GetSoundInstance("BallBounce"));

    const auto& pending = Named("Ball")
                              ->GetComponentAs<ParticleComponent>(ComponentTypeId::kParticleComponent)
                              ->GetEmitter()
                              .PendingSpawns();
    const std::pair<Vector3, std::size_t> bounces[] = {{{300.0f, -400.0f, 0.0f}, 32},
                                                       {{40.0f, 0.0f, 0.0f}, 0},
                                                       {{NAN, 0.0f, 0.0f}, 0},
                                                       {{-1e30f, 0.0f, 0.0f}, 32}};
    for (const auto& [velocity, count] : bounces)
    {
        const std::size_t before = pending.size();
        BallBounceEvent bounce(velocity);
        EventManager::Dispatch(&bounce);
        EXPECT_EQ(pending.size() - before, count) << velocity.x;
    }
}

// The arena with both players and a held ball, drawn for a look.
TEST_F(Players, ShotOfTheArena)
{
    ASSERT_TRUE(Settle("Player 1"));
    PlaceBall(20.0f, 0.0f);
    Tap(SDLK_RSHIFT);
    Game().Press(SDLK_d);
    Game().Step(10);
    Game().Release(SDLK_d);
    Game().Step();
    const std::vector<std::uint8_t> pixels = Game().Shot("players_arena");
    // Somewhere on the picture the first player's blue and the second player's red show.
    int blue = 0;
    int red = 0;
    for (int y = 0; y < PlayHarness::kHeight; y += 2)
        for (int x = 0; x < PlayHarness::kWidth; x += 2)
        {
            const std::uint8_t* p = PixelAt(pixels, x, y);
            blue += (p[2] > 150 && p[0] < 120) ? 1 : 0;
            red += (p[0] > 150 && p[2] < 120 && p[1] < 120) ? 1 : 0;
        }
    EXPECT_GT(blue, 20);
    EXPECT_GT(red, 20);
}
