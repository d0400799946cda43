#include "PhysicsTestSupport.h"
#include "Registries.h"
#include "TimeManipulator.h"

#include <cmath>

namespace
{
using MotionSystemTest = PhysicsTest;

TEST_F(MotionSystemTest, GravityChangesVelocityPerStepWhateverDt)
{
    GameObject* box = world.Box(0.0f, 0.0f, 10.0f, 10.0f, 0);
    PhysicsUpdate(0.0f);
    EXPECT_FLOAT_EQ(PhysicsWorld::BodyOf(box)->GetVelocity().y, -10.0f);
    EXPECT_FLOAT_EQ(PhysicsWorld::PositionOf(box).y, 0.0f);
    world.Step();
    EXPECT_FLOAT_EQ(PhysicsWorld::BodyOf(box)->GetVelocity().y, -20.0f);
    EXPECT_NEAR(PhysicsWorld::PositionOf(box).y, -20.0f / 60.0f, 1e-5f);
}

TEST_F(MotionSystemTest, ZeroMassBodiesIgnoreForcesAndGravityButKeepMoving)
{
    GameObject* flat = world.Box(0.0f, 0.0f, 0.0f, 10.0f, 0);
    RigidBody* body = PhysicsWorld::BodyOf(flat);
    body->SetVelocity({60.0f, 0.0f, 0.0f});
    body->AddForce({1000.0f, 1000.0f, 0.0f});
    world.Step();
    EXPECT_FLOAT_EQ(body->GetVelocity().x, 60.0f);
    EXPECT_FLOAT_EQ(body->GetVelocity().y, 0.0f);
    EXPECT_NEAR(PhysicsWorld::PositionOf(flat).x, 1.0f, 1e-5f);
}

TEST_F(MotionSystemTest, AngularDampingOvershootsZero)
{
    GameObject* box = world.Box(0.0f, 0.0f, 10.0f, 10.0f, 0);
    RigidBody* body = PhysicsWorld::BodyOf(box);
    body->SetGravityScale(0.0f);
    body->SetAngularVelocity(3.0f);
    world.Step();
    EXPECT_FLOAT_EQ(body->GetAngularVelocity(), -5.0f);
    world.Step();
    EXPECT_FLOAT_EQ(body->GetAngularVelocity(), 3.0f);
}

TEST_F(MotionSystemTest, BodyThatCannotRotateStillTurns)
{
    GameObject* box = world.Box(0.0f, 0.0f, 10.0f, 10.0f, 0);
    RigidBody* body = PhysicsWorld::BodyOf(box);
    body->SetGravityScale(0.0f);
    body->SetAngularVelocity(68.0f);
    body->SetCanRotate(false);
    world.Step();
    EXPECT_FLOAT_EQ(body->GetAngularVelocity(), 68.0f);
    EXPECT_NEAR(PhysicsWorld::TransformOf(box)->GetRotation(), 1.0f, 1e-5f);
}

TEST_F(MotionSystemTest, StaticBodyClearsItsForceAndStoresItsPosition)
{
    GameObject* platform = world.Box(5.0f, 7.0f, 10.0f, 10.0f, 0);
    RigidBody* body = PhysicsWorld::BodyOf(platform);
    body->SetStatic(true);
    body->AddForce({100.0f, 0.0f, 0.0f});
    body->AddTorque(3.0f);
    world.Step();
    EXPECT_EQ(body->GetForce(), Vector3());
    EXPECT_FLOAT_EQ(body->GetTorque(), 0.0f);
    EXPECT_EQ(body->GetVelocity(), Vector3());
    EXPECT_FLOAT_EQ(body->GetPreviousPosition().x, 5.0f);
    EXPECT_FLOAT_EQ(body->GetPreviousPosition().y, 7.0f);
}

TEST_F(MotionSystemTest, TimeManipulatorScalesTheStep)
{
    GameObject* box = world.Box(0.0f, 0.0f, 10.0f, 10.0f, 0);
    RigidBody* body = PhysicsWorld::BodyOf(box);
    body->SetGravityScale(0.0f);
    body->SetVelocity({60.0f, 0.0f, 0.0f});
    TimeManipulator slow;
    slow.SetSpeed(0.5f);
    slow.SetPersistent(true);
    box->AddComponent(slow);
    world.Step();
    EXPECT_NEAR(PhysicsWorld::PositionOf(box).x, 0.5f, 1e-5f);
}

TEST_F(MotionSystemTest, PausedGameMovesNothingAndKeepsForces)
{
    GameObject* box = world.Box(0.0f, 0.0f, 10.0f, 10.0f, 0);
    RigidBody* body = PhysicsWorld::BodyOf(box);
    body->SetVelocity({60.0f, 0.0f, 0.0f});
    body->AddForce({5.0f, 0.0f, 0.0f});
    FrameRateManager::TogglePause();
    world.Step();
    EXPECT_EQ(PhysicsWorld::PositionOf(box), Vector3(0.0f, 0.0f, 1.0f));
    EXPECT_FLOAT_EQ(body->GetVelocity().y, 0.0f);
    EXPECT_FLOAT_EQ(body->GetForce().x, 5.0f);
}

TEST_F(MotionSystemTest, SkipFlagsKeepObjectsOutOfTheStep)
{
    for (std::uint32_t flag : {kFlagQueuedForDestruction, kFlagHidden, kFlagNoPhysics})
    {
        GameObject* box = world.Box(0.0f, 0.0f, 10.0f, 10.0f, 0);
        box->SetFlag(flag, true);
        world.Step();
        EXPECT_FLOAT_EQ(PhysicsWorld::BodyOf(box)->GetVelocity().y, 0.0f);
    }
    GameObject* dirtyOnly = world.Box(500.0f, 0.0f, 10.0f, 10.0f, 0);
    dirtyOnly->SetFlag(kFlagDirty, true);
    world.Step();
    EXPECT_FLOAT_EQ(PhysicsWorld::BodyOf(dirtyOnly)->GetVelocity().y, -10.0f);
}

TEST_F(MotionSystemTest, NonFiniteMotionIsZeroed)
{
    GameObject* box = world.Box(0.0f, 0.0f, 10.0f, 10.0f, 0);
    RigidBody* body = PhysicsWorld::BodyOf(box);
    body->SetVelocity({NAN, INFINITY, 0.0f});
    body->SetAngularVelocity(NAN);
    world.Step();
    const Vector3 position = PhysicsWorld::PositionOf(box);
    EXPECT_TRUE(std::isfinite(position.x));
    EXPECT_TRUE(std::isfinite(position.y));
    EXPECT_TRUE(std::isfinite(body->GetVelocity().x));
    EXPECT_TRUE(std::isfinite(body->GetVelocity().y));
    EXPECT_TRUE(std::isfinite(body->GetAngularVelocity()));
    EXPECT_TRUE(std::isfinite(PhysicsWorld::TransformOf(box)->GetRotation()));
}

TEST_F(MotionSystemTest, RemovedTransformIsSkipped)
{
    GameObject* box = world.Box(0.0f, 0.0f, 10.0f, 10.0f, 0);
    RemoveComponent(box->id, ComponentTypeId::kTransform);
    EXPECT_NO_THROW(world.Step());
    RigidBody* body = PhysicsWorld::BodyOf(box);
    EXPECT_FLOAT_EQ(body->GetVelocity().y, 0.0f);
    // Without a Transform the body counts as scale 0.
    EXPECT_FLOAT_EQ(body->ComputeMass(), 0.0f);
}
} // namespace
