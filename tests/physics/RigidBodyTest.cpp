#include "PhysicsTestSupport.h"
#include "Substance.h"

#include <stdexcept>

namespace
{
using RigidBodyTest = PhysicsTest;

TEST_F(RigidBodyTest, MassFollowsTheOwnersScale)
{
    GameObject* box = world.Box(0.0f, 0.0f, 10.0f, 20.0f, 0);
    RigidBody* body = PhysicsWorld::BodyOf(box);
    EXPECT_FLOAT_EQ(body->ComputeMass(), 10.0f * 0.6f * 20.0f);
    PhysicsWorld::TransformOf(box)->SetScale({5.0f, 20.0f, 0.0f});
    EXPECT_FLOAT_EQ(body->ComputeMass(), 5.0f * 0.6f * 20.0f);
    EXPECT_FLOAT_EQ(body->ComputeInverseMass(), 1.0f / 60.0f);
    PhysicsWorld::TransformOf(box)->SetScale({0.0f, 20.0f, 0.0f});
    EXPECT_FLOAT_EQ(body->ComputeInverseMass(), 0.0f);
}

TEST_F(RigidBodyTest, ConstructorWithOwnerFillsTheCaches)
{
    GameObject* box = world.Place(0.0f, 0.0f, 10.0f, 20.0f);
    RigidBody body(box->id, 2);
    EXPECT_FLOAT_EQ(body.GetMass(), 240.0f);
    EXPECT_FLOAT_EQ(body.GetInverseMass(), 1.0f / 240.0f);
    EXPECT_FLOAT_EQ(body.GetInertia(), 500.0f * 240.0f / 12.0f);
    EXPECT_FLOAT_EQ(body.GetInverseInertia(), 1.0f / 10000.0f);
    RigidBody ownerless(3);
    EXPECT_FLOAT_EQ(ownerless.GetMass(), 0.0f);
    EXPECT_FLOAT_EQ(ownerless.GetDensity(), 0.6f);
    EXPECT_THROW(RigidBody(10), std::out_of_range);
    EXPECT_THROW(RigidBody(box->id, -1), std::out_of_range);
}

TEST_F(RigidBodyTest, InertiaOfABodyThatCannotRotateKeepsItsLastValue)
{
    GameObject* box = world.Box(0.0f, 0.0f, 10.0f, 20.0f, 0);
    RigidBody* body = PhysicsWorld::BodyOf(box);
    const float inertia = body->GetInertia();
    body->SetCanRotate(false);
    EXPECT_FLOAT_EQ(body->ComputeInertia(), 0.0f);
    EXPECT_FLOAT_EQ(body->GetInertia(), inertia);
}

TEST_F(RigidBodyTest, SetDensityMakesTheBodyModularAndRecomputesOnlyTheMass)
{
    GameObject* box = world.Box(0.0f, 0.0f, 10.0f, 10.0f, 1);
    RigidBody* body = PhysicsWorld::BodyOf(box);
    const float inverseMass = body->GetInverseMass();
    body->SetDensity(2.0f, body->GetRestitution());
    EXPECT_EQ(body->GetSubstance(), kModularSubstance);
    EXPECT_FLOAT_EQ(body->GetMass(), 200.0f);
    EXPECT_FLOAT_EQ(body->GetInverseMass(), inverseMass);
    EXPECT_FLOAT_EQ(body->GetRestitution(), 0.2f);
}

TEST_F(RigidBodyTest, PickingASubstanceClearsBothFrictions)
{
    GameObject* box = world.Box(0.0f, 0.0f, 10.0f, 10.0f, 1);
    RigidBody* body = PhysicsWorld::BodyOf(box);
    body->SetStaticFriction(0.8f);
    body->SetDynamicFriction(0.5f);
    body->ChangeSubstance(kStaticSubstance);
    EXPECT_FLOAT_EQ(body->GetStaticFriction(), 0.0f);
    EXPECT_FLOAT_EQ(body->GetDynamicFriction(), 0.0f);
    EXPECT_FLOAT_EQ(body->GetMass(), 0.0f);
    EXPECT_FLOAT_EQ(body->GetRestitution(), 0.4f);
    // The Static substance is not the static flag.
    EXPECT_FALSE(body->GetStatic());
}

TEST_F(RigidBodyTest, ImpulseOnABodyThatCannotRotateHasNoAngularPart)
{
    GameObject* box = world.Box(0.0f, 0.0f, 10.0f, 10.0f, 0);
    RigidBody* body = PhysicsWorld::BodyOf(box);
    body->ApplyImpulse({0.0f, 60.0f, 0.0f}, {5.0f, 0.0f, 0.0f});
    EXPECT_FLOAT_EQ(body->GetVelocity().y, 1.0f);
    EXPECT_NEAR(body->GetAngularVelocity(), 300.0f / 1000.0f * 180.0f / 3.141592f, 1e-3f);

    body->SetCanRotate(false);
    const float spin = body->GetAngularVelocity();
    body->ApplyImpulse({0.0f, 60.0f, 0.0f}, {5.0f, 0.0f, 0.0f});
    body->SetAngularVelocity(100.0f);
    EXPECT_FLOAT_EQ(body->GetAngularVelocity(), spin);
    EXPECT_FLOAT_EQ(body->GetVelocity().y, 2.0f);
}

TEST_F(RigidBodyTest, CloneCopiesEverythingButTheOwner)
{
    GameObject* box = world.Box(0.0f, 0.0f, 10.0f, 10.0f, 4);
    RigidBody* body = PhysicsWorld::BodyOf(box);
    body->SetVelocity({1.0f, 2.0f, 3.0f});
    body->SetPreviousPosition({4.0f, 5.0f, 6.0f});
    std::unique_ptr<Component> clone = body->Clone();
    auto* copy = dynamic_cast<RigidBody*>(clone.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetVelocity(), Vector3(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(copy->GetPreviousPosition(), Vector3(4.0f, 5.0f, 6.0f));
    EXPECT_EQ(copy->GetSubstance(), 4);
    EXPECT_EQ(copy->GetName(), "RigidBody");
    EXPECT_EQ(copy->GetOwner(), 0u);
    // Attaching gives the copy its owner again.
    EXPECT_EQ(body->GetOwner(), box->id);
}

using ColliderTest = PhysicsTest;

TEST_F(ColliderTest, BoxCornersKeepTheirOrderAndFollowSizeAndOffset)
{
    BoxCollider box;
    box.SetSize({2.0f, 4.0f});
    box.SetOffset({1.0f, 0.0f});
    const std::vector<Vector3> expected{
        {2.0f, 2.0f, 0.0f}, {2.0f, -2.0f, 0.0f}, {0.0f, 2.0f, 0.0f}, {0.0f, -2.0f, 0.0f}};
    EXPECT_EQ(box.GetLocalPoints(), expected);
    EXPECT_FALSE(box.IsCircle());
    EXPECT_EQ(box.GetLayer(), 15u);
    EXPECT_TRUE(box.GetResolution());
}

TEST_F(ColliderTest, RotatedBoxBoundsFollowTheCorners)
{
    BoxCollider box;
    const Bounds bounds =
        box.ComputeBounds(TranslationMatrix(10.0f, 0.0f) * RotationMatrix(45.0f) * ScaleMatrix(10.0f, 10.0f));
    const float half = 5.0f * std::sqrt(2.0f);
    EXPECT_NEAR(bounds.minX, 10.0f - half, 1e-4f);
    EXPECT_NEAR(bounds.maxX, 10.0f + half, 1e-4f);
    EXPECT_NEAR(bounds.minY, -half, 1e-4f);
    EXPECT_NEAR(bounds.maxY, half, 1e-4f);
    EXPECT_EQ(box.GetWorldPoints().size(), 4u);
}

TEST_F(ColliderTest, CircleBoundsGrowWithScaleXOnly)
{
    CircleCollider circle;
    const Bounds wide = circle.ComputeBounds(TranslationMatrix(3.0f, 4.0f) * ScaleMatrix(20.0f, 2.0f));
    EXPECT_FLOAT_EQ(wide.minX, -7.0f);
    EXPECT_FLOAT_EQ(wide.maxY, 14.0f);
    const Bounds tall = circle.ComputeBounds(ScaleMatrix(2.0f, 20.0f));
    EXPECT_FLOAT_EQ(tall.maxX, 1.0f);
    EXPECT_FLOAT_EQ(tall.maxY, 1.0f);
    circle.SetRadius(2.0f);
    EXPECT_FLOAT_EQ(circle.GetLocalPoints().front().x, 2.0f);
    EXPECT_TRUE(circle.IsCircle());
}

TEST_F(ColliderTest, CloneHasNoWorldPoints)
{
    BoxCollider box;
    box.SetLayer(3);
    box.SetResolution(false);
    box.ComputeBounds(Matrix3());
    std::unique_ptr<Component> clone = box.Clone();
    auto* copy = dynamic_cast<BoxCollider*>(clone.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(copy->GetWorldPoints().empty());
    EXPECT_EQ(copy->GetLocalPoints(), box.GetLocalPoints());
    EXPECT_EQ(copy->GetLayer(), 3u);
    EXPECT_FALSE(copy->GetResolution());
    EXPECT_EQ(copy->GetName(), "Collider");
    EXPECT_EQ(copy->GetTypeId(), ComponentTypeId::kCollider);
}

TEST_F(ColliderTest, RegistrationStoresPrototypesAndInstallsTheSystemsOnce)
{
    EXPECT_NE(FindComponentPrototype("RigidBody"), nullptr);
    EXPECT_NE(dynamic_cast<BoxCollider*>(FindComponentPrototype("BoxCollider")), nullptr);
    EXPECT_NE(dynamic_cast<CircleCollider*>(FindComponentPrototype("CircleCollider")), nullptr);
    System* checker = SystemManager::GetSystem(kCollisionCheckerSlot);
    EXPECT_EQ(checker, gCollisionChecker);
    EXPECT_EQ(SystemManager::GetSystem(kMotionSystemSlot), gMotionSystem);
    RegisterPhysics();
    EXPECT_EQ(SystemManager::GetSystem(kCollisionCheckerSlot), checker);
    EXPECT_EQ(gCollisionChecker, checker);
}
} // namespace
