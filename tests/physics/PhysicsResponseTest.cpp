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
} // namespace
