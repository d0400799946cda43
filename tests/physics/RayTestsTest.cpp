#include "RayTests.h"
#include "ShapeBounds.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
const std::vector<Vector3> kBoxCorners{
    {0.5f, 0.5f, 0.0f}, {0.5f, -0.5f, 0.0f}, {-0.5f, 0.5f, 0.0f}, {-0.5f, -0.5f, 0.0f}};

std::vector<Vector3> BoxCorners(float x, float y, float sx, float sy, float degrees = 0.0f)
{
    std::vector<Vector3> world;
    PolygonBounds(kBoxCorners, TranslationMatrix(x, y) * RotationMatrix(degrees) * ScaleMatrix(sx, sy),
                  world);
    return world;
}

Ray Toward(float x, float y, float length = 400.0f)
{
    const float l = std::hypot(x, y);
    return {{0.0f, 0.0f, 1.0f}, {x / l, y / l, 0.0f}, length};
}
} // namespace

TEST(RayTests, RaysHitTheTestLevelBoxes)
{
    EXPECT_TRUE(RayHitsBox(Toward(200, 200), BoxCorners(200, 200, 30, 45)));
    EXPECT_TRUE(RayHitsBox(Toward(-200, -200), BoxCorners(-200, -200, 30, 60, 15.0f)));
    EXPECT_FALSE(RayHitsBox(Toward(-200, 200), BoxCorners(200, 200, 30, 45)));
    // Too short to reach.
    EXPECT_FALSE(RayHitsBox(Toward(200, 200, 100.0f), BoxCorners(200, 200, 30, 45)));
}

TEST(RayTests, RayParallelToEdgesThroughABoxHits)
{
    const Ray alongX{{0.0f, 200.0f, 1.0f}, {1.0f, 0.0f, 0.0f}, 400.0f};
    EXPECT_TRUE(RayHitsBox(alongX, BoxCorners(200, 200, 30, 45)));
    const Ray above{{0.0f, 300.0f, 1.0f}, {1.0f, 0.0f, 0.0f}, 400.0f};
    EXPECT_FALSE(RayHitsBox(above, BoxCorners(200, 200, 30, 45)));
}

TEST(RayTests, MirroredBoxIsStillHit)
{
    EXPECT_TRUE(RayHitsBox(Toward(200, 200), BoxCorners(200, 200, -30, 45)));
    EXPECT_TRUE(RayHitsBox(Toward(200, 200), BoxCorners(200, 200, 30, -45)));
}

TEST(RayTests, CircleHitIsTheNearerRimPoint)
{
    RayHit hit;
    ASSERT_TRUE(RayHitsCircle(Toward(-200, 200), {-200.0f, 200.0f, 1.0f}, 20.0f, hit));
    EXPECT_NEAR(hit.point.x, -185.86f, 0.01f);
    EXPECT_NEAR(hit.point.y, 185.86f, 0.01f);
    EXPECT_NEAR(hit.distance, 262.84f, 0.01f);
    EXPECT_NEAR(hit.normal.x, std::sqrt(0.5f), 1e-4f);
    EXPECT_NEAR(hit.normal.y, -std::sqrt(0.5f), 1e-4f);
}

TEST(RayTests, CirclesAreHitFromInsideAndFromBehind)
{
    RayHit inside;
    ASSERT_TRUE(
        RayHitsCircle({{0.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 0.0f}, 1.0f}, {2.0f, 0.0f, 1.0f}, 5.0f, inside));
    EXPECT_NEAR(inside.distance, 3.0f, 1e-5f);
    EXPECT_NEAR(inside.point.x, -3.0f, 1e-5f);

    RayHit behind;
    ASSERT_TRUE(
        RayHitsCircle({{0.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 0.0f}, 1.0f}, {-50.0f, 0.0f, 1.0f}, 5.0f, behind));
    EXPECT_NEAR(behind.distance, 45.0f, 1e-4f);
}

TEST(RayTests, DegenerateRaysAndCirclesMissAndLeaveTheHitAlone)
{
    RayHit hit;
    hit.objectId = 77;
    hit.distance = 1.5f;
    EXPECT_FALSE(RayHitsCircle({{}, {0.0f, 0.0f, 0.0f}, 1.0f}, {0.0f, 0.0f, 1.0f}, 5.0f, hit));
    EXPECT_FALSE(RayHitsCircle({{}, {1.0f, 0.0f, 0.0f}, 1.0f}, {0.0f, 0.0f, 1.0f}, 0.0f, hit));
    EXPECT_FALSE(RayHitsCircle({{}, {1.0f, 0.0f, 0.0f}, 1.0f}, {0.0f, 50.0f, 1.0f}, 5.0f, hit));
    EXPECT_EQ(hit.objectId, 77u);
    EXPECT_FLOAT_EQ(hit.distance, 1.5f);
    EXPECT_FALSE(RayHitsBox({{}, {0.0f, 0.0f, 0.0f}, 1.0f}, BoxCorners(200, 200, 30, 45)));
}
