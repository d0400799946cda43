#include "RayCast.h"
#include "PhysicsTestSupport.h"

#include <cmath>

namespace
{
class RayCastTest : public PhysicsTest
{
  protected:
    // The ray-cast test level's shapes, created in this order.
    void BuildTestLevel()
    {
        alignedBox = Collided(world.Place(200.0f, 200.0f, 30.0f, 45.0f), false);
        rotatedBox = Collided(world.Place(-200.0f, -200.0f, 30.0f, 60.0f, 15.0f), false);
        circle = Collided(world.Place(-200.0f, 200.0f, 40.0f, 40.0f), true);
    }

    static std::uint32_t Collided(GameObject* object, bool round)
    {
        if (round)
        {
            CircleCollider collider(object->id);
            object->AddComponent(collider);
        }
        else
        {
            BoxCollider collider(object->id);
            object->AddComponent(collider);
        }
        return object->id;
    }

    static Ray Toward(float x, float y)
    {
        const float length = std::hypot(x, y);
        return {{0.0f, 0.0f, 1.0f}, {x / length, y / length, 0.0f}, 400.0f};
    }

    std::uint32_t alignedBox = 0;
    std::uint32_t rotatedBox = 0;
    std::uint32_t circle = 0;
};

TEST_F(RayCastTest, RaysTowardEachTestShapeHitIt)
{
    BuildTestLevel();
    RayHit hit;
    hit.distance = -1.0f;
    EXPECT_EQ(RayCast(Toward(200.0f, 200.0f), hit), alignedBox);
    EXPECT_EQ(RayCast(Toward(-200.0f, -200.0f), hit), rotatedBox);
    // A box hit leaves the record alone.
    EXPECT_FLOAT_EQ(hit.distance, -1.0f);
    EXPECT_EQ(RayCast({{0.0f, 200.0f, 1.0f}, {1.0f, 0.0f, 0.0f}, 400.0f}, hit), alignedBox);

    EXPECT_EQ(RayCast(Toward(-200.0f, 200.0f), hit), circle);
    EXPECT_EQ(hit.objectId, circle);
    EXPECT_NEAR(hit.point.x, -185.86f, 0.01f);
    EXPECT_NEAR(hit.point.y, 185.86f, 0.01f);
    EXPECT_NEAR(hit.distance, 262.84f, 0.01f);
}

TEST_F(RayCastTest, FirstIdWinsOverTheNearestObject)
{
    GameObject* far = world.Place(300.0f, 0.0f, 20.0f, 20.0f);
    Collided(far, true);
    GameObject* near = world.Place(100.0f, 0.0f, 20.0f, 20.0f);
    Collided(near, true);
    RayHit hit;
    EXPECT_EQ(RayCast({{0.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 0.0f}, 400.0f}, hit), far->id);
    EXPECT_NEAR(hit.distance, 290.0f, 1e-3f);
}

TEST_F(RayCastTest, CirclesAreHitFromInsideAndBehindWhateverTheFlags)
{
    GameObject* behind = world.Place(-100.0f, 0.0f, 20.0f, 20.0f);
    Collided(behind, true);
    behind->SetFlag(kFlagNoPhysics, true);
    RayHit hit;
    EXPECT_EQ(RayCast({{0.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 0.0f}, 1.0f}, hit), behind->id);
    EXPECT_NEAR(hit.distance, 90.0f, 1e-3f);
    EXPECT_EQ(RayCast({{-100.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 0.0f}, 1.0f}, hit), behind->id);
    EXPECT_NEAR(hit.distance, 10.0f, 1e-4f);
}

TEST_F(RayCastTest, MissLeavesTheRecordUntouched)
{
    BuildTestLevel();
    RayHit hit;
    hit.objectId = 42;
    hit.distance = 7.0f;
    EXPECT_EQ(RayCast({{0.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 0.0f}, 100.0f}, hit), 0u);
    EXPECT_EQ(RayCast({{0.0f, 0.0f, 1.0f}, {0.0f, 0.0f, 0.0f}, 100.0f}, hit), 0u);
    EXPECT_EQ(hit.objectId, 42u);
    EXPECT_FLOAT_EQ(hit.distance, 7.0f);
}

TEST(RayCastWithoutChecker, ReturnsZero)
{
    ASSERT_EQ(gCollisionChecker, nullptr);
    RayHit hit;
    EXPECT_EQ(RayCast({{0.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 0.0f}, 100.0f}, hit), 0u);
}
} // namespace
