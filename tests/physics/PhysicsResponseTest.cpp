#include "PhysicsTestSupport.h"

#include <cmath>

namespace
{
using PhysicsResponse = PhysicsTest;

// Runs to step 600 and checks that y stays within 0.5 of the resting height from step 300 on.
void ExpectRestsAt(PhysicsWorld& world, const GameObject* object, float height)
{
    world.Step(300);
    for (int step = 300; step <= 600; ++step)
    {
        ASSERT_NEAR(PhysicsWorld::PositionOf(object).y, height, 0.5f) << "at step " << step;
        world.Step();
    }
}

TEST_F(PhysicsResponse, SuperBallComesToRestOnTheFloor)
{
    world.Floor();
    GameObject* ball = world.Ball(0.0f, 0.0f, 20.0f, 5);
    ExpectRestsAt(world, ball, -190.0f);
}

TEST_F(PhysicsResponse, WoodBoxThatCannotRotateRestsOnTheFloor)
{
    world.Floor();
    GameObject* box = world.Box(0.0f, 0.0f, 25.0f, 45.0f, 1);
    PhysicsWorld::BodyOf(box)->SetCanRotate(false);
    ExpectRestsAt(world, box, -177.5f);
}

TEST_F(PhysicsResponse, BallRestsOnABoxOnTheFloor)
{
    world.Floor();
    GameObject* box = world.Box(0.0f, -177.5f, 25.0f, 45.0f, 1);
    PhysicsWorld::BodyOf(box)->SetCanRotate(false);
    GameObject* ball = world.Ball(0.0f, -100.0f, 20.0f, 5);
    ExpectRestsAt(world, ball, -145.2f);
}

TEST_F(PhysicsResponse, BallReboundsFromAStaticWall)
{
    GameObject* wall = world.Box(100.0f, 0.0f, 20.0f, 200.0f, 7);
    PhysicsWorld::BodyOf(wall)->SetStatic(true);
    GameObject* ball = world.Ball(80.0f, 0.0f, 20.0f, 5);
    RigidBody* body = PhysicsWorld::BodyOf(ball);
    body->SetGravityScale(0.0f);
    body->SetVelocity({300.0f, 0.0f, 0.0f});
    world.Step();
    EXPECT_NEAR(body->GetVelocity().x, -202.5f, 0.01f);
}

TEST_F(PhysicsResponse, EqualBallsMeetingHeadOnNearlyStop)
{
    // Touching once the motion step has moved them.
    GameObject* left = world.Ball(-10.5f, 0.0f, 20.0f, 5);
    GameObject* right = world.Ball(10.5f, 0.0f, 20.0f, 5);
    RigidBody* leftBody = PhysicsWorld::BodyOf(left);
    RigidBody* rightBody = PhysicsWorld::BodyOf(right);
    leftBody->SetGravityScale(0.0f);
    rightBody->SetGravityScale(0.0f);
    leftBody->SetVelocity({100.0f, 0.0f, 0.0f});
    rightBody->SetVelocity({-100.0f, 0.0f, 0.0f});
    world.Step();
    // -95 and +95 would mean the double mass split had been "fixed".
    EXPECT_NEAR(leftBody->GetVelocity().x, 2.5f, 0.01f);
    EXPECT_NEAR(rightBody->GetVelocity().x, -2.5f, 0.01f);
}

TEST_F(PhysicsResponse, OverlappingPairMovingApartIsPulledTogetherThenSeparated)
{
    GameObject* left = world.Ball(-9.0f, 0.0f, 20.0f, 5);
    GameObject* right = world.Ball(9.0f, 0.0f, 20.0f, 5);
    RigidBody* leftBody = PhysicsWorld::BodyOf(left);
    RigidBody* rightBody = PhysicsWorld::BodyOf(right);
    leftBody->SetGravityScale(0.0f);
    rightBody->SetGravityScale(0.0f);
    leftBody->SetVelocity({-6.0f, 0.0f, 0.0f});
    rightBody->SetVelocity({6.0f, 0.0f, 0.0f});
    world.Step();
    // The normal impulse applies whatever the sign of the relative velocity.
    EXPECT_NEAR(leftBody->GetVelocity().x, -0.15f, 0.01f);
    EXPECT_NEAR(rightBody->GetVelocity().x, 0.15f, 0.01f);
    EXPECT_NEAR(PhysicsWorld::PositionOf(right).x - PhysicsWorld::PositionOf(left).x, 20.0f, 1e-3f);
}
// Friction takes the averaged dynamic coefficient times each normal impulse, and the normal impulses
// carry the box's weight, so a sliding box stops after v^2 / (2 mu g), g being the gravity scale per step.
TEST_F(PhysicsResponse, BoxSlidesToRestByFrictionWithinTheDistanceItsSpeedAllows)
{
    GameObject* floor = world.Floor();
    GameObject* box = world.Box(0.0f, -180.0f, 40.0f, 40.0f, 1);
    RigidBody* body = PhysicsWorld::BodyOf(box);
    body->SetCanRotate(false);
    body->SetDynamicFriction(0.6f);
    body->SetStaticFriction(0.5f);
    PhysicsWorld::BodyOf(floor)->SetDynamicFriction(0.4f);
    PhysicsWorld::BodyOf(floor)->SetStaticFriction(0.5f);
    const float speed = 300.0f;
    body->SetVelocity({speed, 0.0f, 0.0f});

    const float g = -RigidBody::kDefaultGravityScale / PhysicsWorld::kStep;
    const float mu = (0.6f + 0.4f) * 0.5f;
    const float expected = speed * speed / (2.0f * mu * g);
    int steps = 0;
    while (body->GetVelocity().x > 0.0f && steps < 600)
    {
        world.Step();
        ++steps;
    }
    // About v / (mu * 10) = 60 steps, until static friction holds the last few units per second.
    EXPECT_NEAR(static_cast<float>(steps), speed / (mu * 10.0f), 3.0f);
    EXPECT_FLOAT_EQ(body->GetVelocity().x, 0.0f);
    EXPECT_NEAR(PhysicsWorld::PositionOf(box).x, expected, 0.05f * expected);
    // It stays where it stopped.
    const float stopped = PhysicsWorld::PositionOf(box).x;
    world.Step(60);
    EXPECT_NEAR(PhysicsWorld::PositionOf(box).x, stopped, 0.01f);
}
} // namespace
