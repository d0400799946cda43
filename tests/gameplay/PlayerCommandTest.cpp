#include "BallCollisionScript.h"
#include "CCSM.h"
#include "CCSMFactory.h"
#include "Event.h"
#include "EventManager.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStats.h"
#include "GameplayPrototypes.h"
#include "MatchBehaviorTables.h"
#include "MetaHooks.h"
#include "PlayerScript.h"
#include "RigidBody.h"
#include "StatNames.h"
#include "Transform.h"
#include "TypeIds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

// Players and balls built by hand and driven command by command, without physics or the frame loop.
namespace
{
class Recorder : public Observer
{
  public:
    explicit Recorder(std::int32_t type) { Subscribe(type); }
    void OnNotify(Event*) override { ++count; }
    int count = 0;
};

class PlayerCommandTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        EventManager::Reset();
        objects.Init();
        behaviors.Init();
        AddMatchBehaviorTables(behaviors);
        RegisterGameplayPrototypes();
    }
    void TearDown() override
    {
        objects.Exit();
        behaviors.Exit();
        MetaHooks::Reset();
        EventManager::Reset();
    }

    GameObject& NewObject(Tag tag, const std::vector<std::pair<const char*, float>>& stats,
                          const std::string& behavior)
    {
        GameObject* object = objects.CreateObject();
        object->tag = tag;
        object->GetComponentAs<Transform>(ComponentTypeId::kTransform)->SetScale({20.0f, 20.0f, 0.0f});
        RigidBody body(5);
        object->AddComponent(body);
        GameStats values;
        for (const auto& [name, value] : stats)
            values.SetStat(name, value);
        object->AddComponent(values);
        CCSM machine;
        object->AddComponent(machine);
        Machine(*object).SetBehavior(behavior);
        return *object;
    }
    static CCSM& Machine(GameObject& object) { return *object.GetComponentAs<CCSM>(ComponentTypeId::kCCSM); }
    static RigidBody& Body(GameObject& object) { return *GetRigidBody(&object); }
    static GameStats& Stats(GameObject& object)
    {
        return *object.GetComponentAs<GameStats>(ComponentTypeId::kGameStats);
    }
    // Hands the command in and runs the machine once: the command's first run.
    static void Run(GameObject& object, CommandId command, float dt)
    {
        Machine(object).HandleCommand(command);
        Machine(object).RunUpdate(dt);
    }

    GameObjectFactory objects;
    CCSMFactory behaviors;
};
} // namespace

// Acceleration works on the magnitude, stops brake by the deceleration, and nothing depends on dt.
TEST_F(PlayerCommandTest, MovesAndStopsChangeTheVelocityByFixedAmountsWhateverTheFrameTime)
{
    for (const float dt : {0.001f, 1.0f / 60.0f, 0.1f})
    {
        SCOPED_TRACE(dt);
        GameObject& runner = NewObject(kTagPlayer,
                                       {{kStatMovementAcceleration, 10.0f},
                                        {kStatMovementDeceleration, 20.0f},
                                        {kStatMovementSpeed, 300.0f}},
                                       "Player Behavior");
        std::vector<float> seen;
        for (int run = 0; run < 31; ++run)
        {
            Run(runner, kCommandMoveRight, dt);
            seen.push_back(Body(runner).GetVelocity().x);
        }
        EXPECT_EQ(seen[0], 10.0f);
        EXPECT_EQ(seen[1], 20.0f);
        EXPECT_EQ(seen[29], 300.0f);
        EXPECT_EQ(seen[30], 300.0f);

        Body(runner).SetVelocity({200.0f, 0.0f, 0.0f});
        Run(runner, kCommandMoveLeft, dt);
        EXPECT_EQ(Body(runner).GetVelocity().x, -210.0f) << "turning keeps the magnitude";

        Body(runner).SetVelocity({15.0f, 0.0f, 0.0f});
        Run(runner, kCommandStopMoving, dt);
        EXPECT_EQ(Body(runner).GetVelocity().x, 0.0f);
        Body(runner).SetVelocity({-50.0f, 0.0f, 0.0f});
        Run(runner, kCommandStopMoving, dt);
        EXPECT_EQ(Body(runner).GetVelocity().x, -30.0f);

        // Without the acceleration stats the speed is set outright; without deceleration a stop is instant.
        GameObject& plain = NewObject(kTagPlayer, {{kStatMovementSpeed, 150.0f}}, "Player Behavior");
        Run(plain, kCommandMoveLeft, dt);
        EXPECT_EQ(Body(plain).GetVelocity().x, -150.0f);
        Run(plain, kCommandMoveRight, dt);
        EXPECT_EQ(Body(plain).GetVelocity().x, 150.0f);
        Run(plain, kCommandStopMoving, dt);
        EXPECT_EQ(Body(plain).GetVelocity().x, 0.0f);

        // A holder runs at the holding speed; NaN counts as holding; without that stat nothing changes.
        Stats(plain).SetStat(kStatGrabbedObject, 7.0f);
        Run(plain, kCommandMoveRight, dt);
        EXPECT_EQ(Body(plain).GetVelocity().x, 150.0f);
        EXPECT_FALSE(Stats(plain).HasStat(kStatSpeedWhenHoldingBall));
        Stats(plain).SetStat(kStatSpeedWhenHoldingBall, 90.0f);
        Stats(plain).SetStat(kStatGrabbedObject, std::numeric_limits<float>::quiet_NaN());
        Run(plain, kCommandMoveRight, dt);
        EXPECT_EQ(Body(plain).GetVelocity().x, 90.0f);
        Stats(plain).SetStat(kStatGrabbedObject, 0.0f);
        Run(plain, kCommandMoveLeft, dt);
        EXPECT_EQ(Body(plain).GetVelocity().x, -150.0f);
    }
}

// Standing turns into falling only below -100 exactly; a command for a vanished owner waits in the queue.
TEST_F(PlayerCommandTest, FallingStartsStrictlyBelowTheThresholdAndOrphanedMovesWait)
{
    GameObject& player = NewObject(kTagPlayer, {{kStatMovementSpeed, 150.0f}}, "Player Behavior");
    Body(player).SetVelocity({0.0f, -100.0f, 0.0f});
    Machine(player).RunUpdate(0.1f);
    EXPECT_EQ(Machine(player).GetStateStack(), (std::vector<StateId>{kStateOnGround}));
    Body(player).SetVelocity({0.0f, -100.01f, 0.0f});
    Machine(player).RunUpdate(0.1f);
    EXPECT_EQ(Machine(player).GetStateStack(), (std::vector<StateId>{kStateOnGround, kStateInAir}));

    // A machine whose owner id names nothing keeps its move and stop queued; a jump just finishes.
    CCSM loose;
    loose.SetBehavior("Player Behavior");
    loose.SetOwner(4000);
    loose.HandleCommand(kCommandMoveLeft);
    loose.HandleCommand(kCommandJump);
    loose.RunUpdate(0.1f);
    loose.RunUpdate(0.1f);
    EXPECT_EQ(loose.GetCommand(kCommandMoveLeft)->GetStatus(), csExecute);
    EXPECT_EQ(loose.GetCommand(kCommandJump)->GetStatus(), csFinished);
}

// A thrown ball hitting a player: knock-back of 25 x mass x velocity for |impulse| / 10^7 seconds, and the
// ball stops; a surface contact at exactly speed 20 raises nothing yet ends the knock-back power.
TEST_F(PlayerCommandTest, ABallHitKnocksBackByMomentumAndSlowContactsOnlyDisarm)
{
    GameObject& ball = NewObject(kTagBall, {{kStatGivesKnockback, 1.0f}}, "Ball Behavior");
    GameObject& player = NewObject(kTagPlayer, {}, "Player Behavior");
    GameObject& wall = NewObject(kTagSideWall, {}, "");
    {
        // Attached copies only: the local instances go, as they do in the level builders.
        PlayerScript script;
        player.AddScript(script);
        BallCollisionScript collisions;
        ball.AddScript(collisions);
    }
    Body(ball).SetDensity(0.3f, 0.95f); // mass 20 x 0.3 x 20 = 120
    Body(ball).SetVelocity({500.0f, 0.0f, 0.0f});
    Body(player).ClearForces();

    CollisionEvent hit(ball.id, player.id);
    EventManager::Dispatch(&hit);
    const Vector3 force = Body(player).GetForce();
    EXPECT_FLOAT_EQ(force.x, 1.5e6f);
    EXPECT_EQ(force.y, 0.0f);
    EXPECT_FLOAT_EQ(player.GetScriptAs<PlayerScript>(ScriptTypeId::kPlayerScript)->GetKnockbackTime(), 0.15f);
    EXPECT_EQ(Body(ball).GetVelocity().x, 0.0f);
    EXPECT_EQ(Stats(ball).GetStat(kStatGivesKnockback), 1.0f) << "the power stays after a hit";

    Recorder bounces(evBallBounce);
    Body(ball).SetPreviousPosition({0.0f, 50.0f, 1.0f});
    Body(ball).SetVelocity({0.0f, 20.0f, 0.0f});
    CollisionEvent slow(wall.id, ball.id);
    EventManager::Dispatch(&slow);
    EXPECT_EQ(bounces.count, 0);
    EXPECT_EQ(Stats(ball).GetStat(kStatGivesKnockback), 0.0f);
    Body(ball).SetVelocity({0.0f, 20.01f, 0.0f});
    EventManager::Dispatch(&slow);
    EXPECT_EQ(bounces.count, 1);
}
