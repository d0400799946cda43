#include "DayCycle.h"
#include "LightRecord.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(DayCycle, RisesOverTwentySecondsAndWrapsOnce)
{
    ResetDayCycle();
    EXPECT_NEAR(AdvanceDayCycle(10.0f), 0.70710677f, 1e-6f); // sin(pi / 4)
    EXPECT_FLOAT_EQ(DayCycleClock(), 0.5f);
    EXPECT_NEAR(AdvanceDayCycle(9.9f), 0.99997f, 1e-5f);
    // Passing 1 drops the time of day back near 0 in one frame.
    EXPECT_NEAR(AdvanceDayCycle(0.2f), std::sin(0.005f * 3.1415927f * 0.5f), 1e-5f);
    EXPECT_NEAR(DayCycleClock(), 0.005f, 1e-6f);
    // A paused game freezes it.
    AdvanceDayCycle(0.0f);
    EXPECT_NEAR(DayCycleClock(), 0.005f, 1e-6f);
    ResetDayCycle();
    EXPECT_EQ(DayCycleClock(), 0.0f);
}

TEST(LightRecord, TheLightQuadIgnoresTheObjectScale)
{
    const Matrix3 model = LightModelMatrix({100.0f, 0.0f}, 90.0f, {10.0f, 0.0f}, {250.0f, 50.0f});
    const Vector2 centre = model.TransformPoint({0.0f, 0.0f});
    EXPECT_NEAR(centre.x, 100.0f, 1e-4f);
    EXPECT_NEAR(centre.y, 10.0f, 1e-4f);
    const Vector2 corner = model.TransformPoint({0.5f, 0.5f});
    EXPECT_NEAR(corner.x, 100.0f - 25.0f, 1e-3f);
    EXPECT_NEAR(corner.y, 10.0f + 125.0f, 1e-3f);
}
