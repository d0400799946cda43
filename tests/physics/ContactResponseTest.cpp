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

// A 20 x 20 box of mass 100 that can rotate, centred on the origin, touching a static floor with its
// right-hand bottom corner; the normal points up at it, both restitutions are 0 (so e = 1).
struct CornerLanding
{
    ContactBody box;
    ContactBody floor;
    ContactRecord record{1, 2, -0.01f, {0.0f, 1.0f, 0.0f}, {10.0f, -10.0f, 1.0f}};

    CornerLanding(float vx, float vy, float degreesPerSecond, float staticFriction)
    {
        box.translation = Vector3(0.0f, 0.0f, 1.0f);
        box.velocity = Vector3(vx, vy, 0.0f);
        box.angularVelocity = degreesPerSecond;
        box.mass = 100.0f;
        box.inverseMass = 0.01f;
        box.inverseInertia = 12.0f / ((400.0f + 400.0f) * 100.0f);
        box.staticFriction = staticFriction;
        floor.translation = Vector3(0.0f, -20.0f, 1.0f);
        floor.staticFriction = staticFriction;
    }
};

// The textbook impulses at the corner (arm r = (10, -10)): along each direction d, j = -(u.d) / (1/m +
// (r x d)^2 / I), u being the corner's velocity; the box then turns by (r x J) / I. Frictionless, only the
// normal impulse acts; with static friction holding, the sliding corner is stopped too.
TEST(ContactResponse, LandingOnACornerSpinsTheBoxByTheImpulsesAtThatCorner)
{
    const float inverseInertia = 12.0f / 80000.0f;
    // (r x n)^2 and (r x t)^2 are both 100 at this corner.
    const float effectiveMass = 0.01f + 100.0f * inverseInertia;
    struct Landing
    {
        const char* name;
        float vx;
        float vy;
        float spin; // degrees per second
        float staticFriction;
    };
    const Landing landings[] = {
        {"falling flat", 0.0f, -60.0f, 0.0f, 0.0f},
        {"spinning clockwise in place", 0.0f, 0.0f, -200.0f, 0.0f},
        {"sliding right as it falls, held by static friction", 6.0f, -60.0f, 0.0f, 0.5f},
    };
    for (const Landing& landing : landings)
    {
        SCOPED_TRACE(landing.name);
        CornerLanding scene(landing.vx, landing.vy, landing.spin, landing.staticFriction);
        ASSERT_TRUE(ResolveContactBodies(scene.record, scene.box, scene.floor));

        // The corner's velocity: w x r = (-w r.y, w r.x) with w in radians per second.
        const float w = landing.spin / 180.0f * 3.141593f;
        const float cornerVx = landing.vx + 10.0f * w;
        const float cornerVy = landing.vy + 10.0f * w;
        const float up = -cornerVy / effectiveMass;
        const float along = landing.staticFriction > 0.0f ? -cornerVx / effectiveMass : 0.0f;
        const float turn = (10.0f * up + 10.0f * along) * inverseInertia * 180.0f / 3.141592f;
        EXPECT_NEAR(scene.box.velocity.x, landing.vx + along * 0.01f, 1e-3f);
        EXPECT_NEAR(scene.box.velocity.y, landing.vy + up * 0.01f, 1e-3f);
        EXPECT_NEAR(scene.box.angularVelocity, landing.spin + turn, 0.05f);
    }
    // Pushed up at its right-hand corner, a box that was not turning turns anticlockwise.
    CornerLanding flat(0.0f, -60.0f, 0.0f, 0.0f);
    ResolveContactBodies(flat.record, flat.box, flat.floor);
    EXPECT_NEAR(flat.box.angularVelocity, 206.3f, 0.1f);
}
