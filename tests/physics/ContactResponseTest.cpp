#include "ContactResponse.h"
#include "RecordingDebugDraw.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
// A SuperBall circle of scale 20: mass 20 * 0.3 * 20.
ContactBody SuperBall(float x, float vx)
{
    ContactBody body;
    body.translation = Vector3(x, 0.0f, 1.0f);
    body.velocity = Vector3(vx, 0.0f, 0.0f);
    body.mass = 120.0f;
    body.inverseMass = 1.0f / 120.0f;
    body.inverseInertia = 1.0f / ((400.0f + 400.0f) * 120.0f / 12.0f);
    body.restitution = 0.95f;
    return body;
}
} // namespace

TEST(ContactResponse, EqualBallsHeadOnNearlyStop)
{
    // The second is first in the record: the normal points from the left ball toward the right one.
    ContactBody left = SuperBall(-9.5f, 100.0f);
    ContactBody right = SuperBall(9.5f, -100.0f);
    ContactRecord record{2, 1, -1.0f, {1.0f, 0.0f, 0.0f}, {-0.5f, 0.0f, 1.0f}};
    ASSERT_TRUE(ResolveContactBodies(record, right, left));
    // Split by mass and then scaled by the inverse mass again: +-2.5, not the textbook -95 and +95.
    EXPECT_NEAR(left.velocity.x, 2.5f, 1e-3f);
    EXPECT_NEAR(right.velocity.x, -2.5f, 1e-3f);
    EXPECT_FLOAT_EQ(left.angularVelocity, 0.0f);
    // The overlap is shared by inverse mass and removed entirely.
    EXPECT_NEAR(right.translation.x - left.translation.x, 20.0f, 1e-4f);
}

TEST(ContactResponse, SeparatingPairIsPulledTogetherThenCorrected)
{
    ContactBody left = SuperBall(-9.5f, -10.0f);
    ContactBody right = SuperBall(9.5f, 10.0f);
    ContactRecord record{2, 1, -1.0f, {1.0f, 0.0f, 0.0f}, {-0.5f, 0.0f, 1.0f}};
    ASSERT_TRUE(ResolveContactBodies(record, right, left));
    EXPECT_GT(left.velocity.x, -10.0f);
    EXPECT_LT(right.velocity.x, 10.0f);
    EXPECT_NEAR(right.translation.x - left.translation.x, 20.0f, 1e-4f);
}

TEST(ContactResponse, StaticWallReflectsWithAveragedRestitution)
{
    ContactBody wall;
    wall.translation = Vector3(30.0f, 0.0f, 1.0f);
    wall.restitution = 0.4f; // the Static substance: mass 0, inverse mass 0
    ContactBody ball = SuperBall(10.5f, 300.0f);
    // The ball is first: the normal points from the wall toward it.
    ContactRecord record{1, 2, -0.5f, {-1.0f, 0.0f, 0.0f}, {20.5f, 0.0f, 1.0f}};
    ASSERT_TRUE(ResolveContactBodies(record, ball, wall));
    EXPECT_NEAR(ball.velocity.x, -202.5f, 1e-2f);
    EXPECT_FLOAT_EQ(wall.velocity.x, 0.0f);
    EXPECT_FLOAT_EQ(wall.translation.x, 30.0f);
    EXPECT_NEAR(ball.translation.x, 10.0f, 1e-4f);
}

TEST(ContactResponse, TwoImmovableBodiesAreLeftAlone)
{
    ContactBody a;
    ContactBody b;
    b.velocity = Vector3(5.0f, 0.0f, 0.0f);
    ContactRecord record{1, 2, -1.0f, {1.0f, 0.0f, 0.0f}, {}};
    EXPECT_FALSE(ResolveContactBodies(record, a, b));
    EXPECT_FLOAT_EQ(b.velocity.x, 5.0f);
}

TEST(ContactResponse, NonFiniteImpulsesAreSkipped)
{
    ContactBody a = SuperBall(0.0f, 0.0f);
    ContactBody b = SuperBall(1.0f, 0.0f);
    a.mass = -120.0f; // masses summing to 0 make the split infinite
    ContactRecord record{1, 2, -1.0f, {1.0f, 0.0f, 0.0f}, {0.5f, 0.0f, 1.0f}};
    b.velocity = Vector3(-1.0f, 0.0f, 0.0f);
    ResolveContactBodies(record, a, b);
    EXPECT_TRUE(std::isfinite(a.velocity.x));
    EXPECT_TRUE(std::isfinite(b.velocity.x));
}

TEST(ContactResponse, OffCentreImpulseSpinsOnlyARotatingBody)
{
    ContactBody body = SuperBall(0.0f, 0.0f);
    ApplyImpulseTo(body, {0.0f, 120.0f, 0.0f}, {10.0f, 0.0f, 0.0f});
    EXPECT_FLOAT_EQ(body.velocity.y, 1.0f);
    EXPECT_NEAR(body.angularVelocity, body.inverseInertia * 1200.0f * 180.0f / 3.141592f, 1e-4f);

    ContactBody fixedAngle = SuperBall(0.0f, 0.0f);
    fixedAngle.canRotate = false;
    fixedAngle.angularVelocity = 7.0f;
    ApplyImpulseTo(fixedAngle, {0.0f, 120.0f, 0.0f}, {10.0f, 0.0f, 0.0f});
    EXPECT_FLOAT_EQ(fixedAngle.angularVelocity, 7.0f);
}

TEST(ContactResponse, TangentLineIsDrawnFromTheContactPoint)
{
    RecordingDebugDraw recorder;
    ContactBody a = SuperBall(0.0f, 0.0f);
    ContactBody b = SuperBall(9.0f, 0.0f);
    b.velocity = Vector3(0.0f, 10.0f, 0.0f);
    ContactRecord record{1, 2, -1.0f, {-1.0f, 0.0f, 0.0f}, {10.0f, 0.0f, 1.0f}};
    ResolveContactBodies(record, a, b);
    const auto tangents = recorder.LinesOf({0.0f, 1.0f, 0.0f, 1.0f});
    ASSERT_EQ(tangents.size(), 1u);
    EXPECT_FLOAT_EQ(tangents[0].from.x, 10.0f);
    EXPECT_NEAR(tangents[0].to.y - tangents[0].from.y, 50.0f, 1e-3f);
}
