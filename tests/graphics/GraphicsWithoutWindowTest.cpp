#include "DayCycle.h"
#include "Graphics.h"
#include "RenderLine.h"
#include "Shader.h"
#include "WindowAccess.h"

#include <gtest/gtest.h>

// Without a window there is no GL context: the renderer must stay idle rather than call into GL.
TEST(GraphicsWithoutWindowTest, SubmissionsAreEmptiedEveryFrameWithoutAnyGlCall)
{
    ResetWindowAccess();
    Graphics graphics;
    graphics.Init();
    Shader* shader = graphics.GetShader("basic");
    EXPECT_FALSE(shader->IsUsable());
    Material material("basic", shader, 1000, MaterialRenderState());
    material.Submit();
    material.Submit();
    ASSERT_NE(material.batch, nullptr);
    EXPECT_EQ(material.batch->GetInstanceCount(), 2u);
    graphics.Update(1.0f / 60.0f);
    EXPECT_EQ(material.batch->GetInstanceCount(), 0u);
    graphics.DrawDebugLine(Vector2(0.0f, 0.0f), Vector2(1.0f, 1.0f), Vector4(1.0f, 1.0f, 1.0f, 1.0f));
    graphics.Update(1.0f / 60.0f);
    EXPECT_TRUE(material.batch->IsDropped());
    graphics.Exit();
}

TEST(GraphicsWithoutWindowTest, TheBackgroundClockWrapsAfterTwentySeconds)
{
    ResetWindowAccess();
    // The clock is process-wide; earlier tests advanced it.
    ResetDayCycle();
    Graphics graphics;
    graphics.Init();
    for (int step = 0; step < 19; ++step)
        graphics.Update(1.0f);
    EXPECT_NEAR(graphics.GetBackgroundClock(), 0.95f, 1e-4f);
    graphics.Update(1.5f);
    EXPECT_NEAR(graphics.GetBackgroundClock(), 0.025f, 1e-4f);
    graphics.Exit();
}
