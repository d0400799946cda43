#include "NarrowPhase.h"
#include "RecordingDebugDraw.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
const std::vector<Vector3> kBoxAxes{{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}};
// Unit box corners in collider order: top right, bottom right, top left, bottom left.
const std::vector<Vector3> kBoxCorners{
    {0.5f, 0.5f, 0.0f}, {0.5f, -0.5f, 0.0f}, {-0.5f, 0.5f, 0.0f}, {-0.5f, -0.5f, 0.0f}};
const std::vector<Vector3> kCircleAxes{{0.0f, 0.0f, 0.0f}};
const std::vector<Vector3> kCirclePoint{{0.5f, 0.0f, 0.0f}};
constexpr Vector4 kCircleAxisColour{1.0f, 0.35f, 0.0f, 1.0f};

// A shape with its own world matrix, kept alive for the PlacedShape that borrows it.
struct Placement
{
    bool circle = false;
    Matrix3 world;
    Vector3 translation;
    float scaleX = 1.0f;

    PlacedShape Shape() const
    {
        return {circle ? kCircleAxes : kBoxAxes,
                circle ? kCirclePoint : kBoxCorners,
                0.5f,
                world,
                translation,
                scaleX};
    }
};

Placement Box(float x, float y, float sx, float sy, float degrees = 0.0f)
{
    Placement p;
    p.world = TranslationMatrix(x, y) * RotationMatrix(degrees) * ScaleMatrix(sx, sy);
    p.translation = Vector3(x, y, 1.0f);
    p.scaleX = sx;
    return p;
}

// A circle of radius 0.5 * scale.
Placement Circle(float x, float y, float scale)
{
    Placement p = Box(x, y, scale, scale);
    p.circle = true;
    return p;
}

bool RunTest(ContactRecord& record, const Placement& a, const Placement& b)
{
    record.first = 1;
    record.second = 2;
    return TestShapes(record, a.Shape(), b.Shape());
}

bool IsFinite(const ContactRecord& r)
{
    return std::isfinite(r.depth) && std::isfinite(r.normal.x) && std::isfinite(r.normal.y) &&
           std::isfinite(r.point.x) && std::isfinite(r.point.y);
}
} // namespace

TEST(NarrowPhase, BoxesSideBySideTieGoesToSecondAndFirstCornerWins)
{
    ContactRecord r;
    ASSERT_TRUE(RunTest(r, Box(0, 0, 10, 10), Box(8, 0, 10, 10)));
    EXPECT_EQ(r.first, 1u);
    EXPECT_EQ(r.second, 2u);
    EXPECT_FLOAT_EQ(r.depth, -2.0f);
    EXPECT_FLOAT_EQ(r.normal.x, -1.0f);
    EXPECT_FLOAT_EQ(r.normal.y, 0.0f);
    // Top right and bottom right tie on the normal: the top right corner comes first.
    EXPECT_FLOAT_EQ(r.point.x, 5.0f);
    EXPECT_FLOAT_EQ(r.point.y, 5.0f);
}

TEST(NarrowPhase, FirstShapesAxisWinningSwapsTheIds)
{
    ContactRecord r;
    ASSERT_TRUE(RunTest(r, Box(0, 0, 10, 10), Box(12, 0, 10, 10, 45.0f)));
    EXPECT_EQ(r.first, 2u);
    EXPECT_EQ(r.second, 1u);
    EXPECT_NEAR(r.depth, 12.0f - 5.0f - 5.0f * std::sqrt(2.0f), 1e-4f);
    EXPECT_NEAR(r.normal.x, 1.0f, 1e-6f);
    EXPECT_NEAR(r.normal.y, 0.0f, 1e-6f);
    // The rotated box's left corner.
    EXPECT_NEAR(r.point.x, 12.0f - 5.0f * std::sqrt(2.0f), 1e-3f);
    EXPECT_NEAR(r.point.y, 0.0f, 1e-3f);
}

TEST(NarrowPhase, BoxesAtFifteenDegreesOverlapOnTheRotatedAxis)
{
    ContactRecord r;
    ASSERT_TRUE(RunTest(r, Box(0, 0, 20, 20, 15.0f), Box(0, 20, 20, 20)));
    EXPECT_LT(r.depth, 0.0f);
    EXPECT_NEAR(std::hypot(r.normal.x, r.normal.y), 1.0f, 1e-5f);
    // Whoever is first, the normal points from the second toward the first.
    const float towardFirst = r.first == 1 ? -1.0f : 1.0f;
    EXPECT_GT(r.normal.y * towardFirst, 0.9f);
    // A rotated square reaches 10 * (cos 15 + sin 15) = 12.25 above its centre; the other's bottom is at 10.
    EXPECT_NEAR(r.depth, 10.0f - 10.0f * (std::cos(0.2618f) + std::sin(0.2618f)), 0.05f);
}

TEST(NarrowPhase, CircleOnABoxFaceTouchesAtItsRim)
{
    ContactRecord r;
    ASSERT_TRUE(RunTest(r, Box(0, 0, 20, 20), Circle(0, 13, 10)));
    EXPECT_EQ(r.first, 2u);
    EXPECT_FLOAT_EQ(r.depth, -2.0f);
    EXPECT_FLOAT_EQ(r.normal.y, 1.0f);
    EXPECT_FLOAT_EQ(r.point.x, 0.0f);
    EXPECT_FLOAT_EQ(r.point.y, 8.0f);
}

TEST(NarrowPhase, CircleNearABoxCornerUsesTheCornerAxis)
{
    ContactRecord r;
    ASSERT_TRUE(RunTest(r, Box(0, 0, 20, 20), Circle(13, 13, 10)));
    EXPECT_EQ(r.first, 1u);
    EXPECT_NEAR(r.depth, 3.0f * std::sqrt(2.0f) - 5.0f, 1e-4f);
    EXPECT_NEAR(r.normal.x, -std::sqrt(0.5f), 1e-5f);
    EXPECT_NEAR(r.normal.y, -std::sqrt(0.5f), 1e-5f);
    EXPECT_FLOAT_EQ(r.point.x, 10.0f);
    EXPECT_FLOAT_EQ(r.point.y, 10.0f);
}

TEST(NarrowPhase, CirclesTouchOnTheFirstRim)
{
    RecordingDebugDraw recorder;
    ContactRecord r;
    ASSERT_TRUE(RunTest(r, Circle(0, 0, 10), Circle(8, 0, 10)));
    EXPECT_EQ(r.first, 1u);
    EXPECT_FLOAT_EQ(r.depth, -2.0f);
    EXPECT_FLOAT_EQ(r.normal.x, -1.0f);
    EXPECT_FLOAT_EQ(r.point.x, 5.0f);
    EXPECT_FLOAT_EQ(r.point.y, 0.0f);

    // Each circle's axis is drawn from its centre, 30 long.
    const auto axes = recorder.LinesOf(kCircleAxisColour);
    ASSERT_EQ(axes.size(), 2u);
    EXPECT_FLOAT_EQ(axes[0].to.x - axes[0].from.x, 30.0f);
    EXPECT_FLOAT_EQ(axes[1].from.x, 8.0f);
    EXPECT_FLOAT_EQ(axes[1].to.x, -22.0f);
}

TEST(NarrowPhase, CircleAxisIsDrawnEvenWithoutContact)
{
    RecordingDebugDraw recorder;
    ContactRecord r;
    EXPECT_FALSE(RunTest(r, Box(0, 0, 10, 10), Circle(100, 0, 10)));
    EXPECT_EQ(recorder.LinesOf(kCircleAxisColour).size(), 1u);
}

TEST(NarrowPhase, ExactTouchingIsNoContact)
{
    ContactRecord r;
    EXPECT_FALSE(RunTest(r, Box(0, 0, 10, 10), Box(10, 0, 10, 10)));
    EXPECT_FALSE(RunTest(r, Circle(0, 0, 10), Circle(10, 0, 10)));
    EXPECT_TRUE(RunTest(r, Box(0, 0, 10, 10), Box(9.99f, 0, 10, 10)));
}

TEST(NarrowPhase, CoincidentCirclesAndZeroScaleBoxesGiveNoNaN)
{
    ContactRecord r;
    // Balls parked at the same place below the arena.
    ASSERT_TRUE(RunTest(r, Circle(0, -3000, 10), Circle(0, -3000, 10)));
    EXPECT_TRUE(IsFinite(r));
    EXPECT_FLOAT_EQ(r.normal.y, 1.0f);

    ContactRecord flat;
    EXPECT_FALSE(RunTest(flat, Box(0, 0, 0, 0), Circle(0, 0, 10)));
    EXPECT_FALSE(RunTest(flat, Box(0, 0, 10, 10), Box(0, 0, 0, 0)));
    EXPECT_FALSE(RunTest(flat, Box(0, 0, NAN, 10), Box(0, 0, 10, 10)));
}

TEST(NarrowPhase, NegativeRadiusScaleActsLikeItsMagnitude)
{
    ContactRecord r;
    ASSERT_TRUE(RunTest(r, Circle(0, 0, -10), Circle(8, 0, 10)));
    EXPECT_FLOAT_EQ(r.depth, -2.0f);
}
