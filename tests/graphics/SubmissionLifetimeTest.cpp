#include "DrawingFixture.h"

#include "Graphics.h"
#include "LevelFile.h"
#include "Registries.h"
#include "RenderLine.h"
#include "Renderer.h"

#include <gtest/gtest.h>

#include <sstream>

// Sprites submitted during the object update and destroyed before the renderer draws them (a script that
// removes a component, destroys an object or loads a level after the renderers ran): the draw skips them
// and never reads the freed data; what survives still draws.
namespace
{
// Within two steps of 8-bit rounding.
::testing::AssertionResult Near(const std::array<int, 4>& pixel, int r, int g, int b)
{
    if (std::abs(pixel[0] - r) <= 2 && std::abs(pixel[1] - g) <= 2 && std::abs(pixel[2] - b) <= 2)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel is (" << pixel[0] << ", " << pixel[1] << ", " << pixel[2]
                                         << "), expected (" << r << ", " << g << ", " << b << ")";
}

std::uint32_t SpriteInstances(Graphics& graphics)
{
    std::uint32_t count = 0;
    auto layer = graphics.GetLayers().find(1000);
    if (layer != graphics.GetLayers().end())
        for (const auto& batch : layer->second)
            count += batch->GetInstanceCount();
    return count;
}

class SubmissionLifetime : public DrawingTest
{
  protected:
    void SetUp() override
    {
        DrawingTest::SetUp();
        if (!ready)
            return;
        UseNeutralGrade();
        BlackBackground();
    }

    // A red sprite on the left and a green one on the right, drawn for a few frames, then submitted
    // once more by the object update without being drawn yet.
    void SubmitRedAndGreen()
    {
        red = MakeSprite(-200.0f, 0.0f, 200.0f, 200.0f, Vector4(1.0f, 0.0f, 0.0f, 1.0f)).id;
        green = MakeSprite(200.0f, 0.0f, 200.0f, 200.0f, Vector4(0.0f, 1.0f, 0.0f, 1.0f)).id;
        Settle();
        const auto pixels = ReadWindow();
        ASSERT_TRUE(Near(WindowPixel(pixels, -200.0f, 0.0f), 255, 0, 0));
        ASSERT_TRUE(Near(WindowPixel(pixels, 200.0f, 0.0f), 0, 255, 0));
        RunDrawingSystems();
        ASSERT_GE(SpriteInstances(*graphics), 2u);
    }

    std::uint32_t red = 0;
    std::uint32_t green = 0;
};
} // namespace

TEST_F(SubmissionLifetime, ARendererRemovedAfterSubmittingIsNotDrawnAndTheOtherIs)
{
    SubmitRedAndGreen();
    ASSERT_EQ(SpriteInstances(*graphics), 2u);
    RemoveComponent(red, Renderer::kTypeId);
    EXPECT_EQ(SpriteInstances(*graphics), 1u);

    graphics->Update(1.0f / 60.0f);
    const auto pixels = ReadWindow("submission_removed_renderer");
    EXPECT_TRUE(Near(WindowPixel(pixels, -200.0f, 0.0f), 0, 0, 0)) << "the removed sprite";
    EXPECT_TRUE(Near(WindowPixel(pixels, 200.0f, 0.0f), 0, 255, 0)) << "the kept sprite";
    EXPECT_EQ(DrawingGlErrors(), 0);

    // The next frames go on as usual with the sprite that is left.
    Frame();
    EXPECT_TRUE(Near(WindowPixel(ReadWindow(), 200.0f, 0.0f), 0, 255, 0));
}

TEST_F(SubmissionLifetime, EverySubmittedRendererDestroyedLeavesAnEmptyFrame)
{
    SubmitRedAndGreen();
    factory->DestroyObjectKeepingId(red);
    RemoveObjectComponents(green);
    EXPECT_EQ(SpriteInstances(*graphics), 0u);

    graphics->Update(1.0f / 60.0f);
    const auto pixels = ReadWindow();
    EXPECT_TRUE(Near(WindowPixel(pixels, -200.0f, 0.0f), 0, 0, 0));
    EXPECT_TRUE(Near(WindowPixel(pixels, 200.0f, 0.0f), 0, 0, 0));
    EXPECT_EQ(DrawingGlErrors(), 0);
    Frame();
}

TEST_F(SubmissionLifetime, ALevelLoadedAfterSubmittingDrawsNothingOfTheOldWorld)
{
    // The level holds one blue sprite in the middle.
    MakeSprite(0.0f, 200.0f, 100.0f, 100.0f, Vector4(0.0f, 0.0f, 1.0f, 1.0f));
    std::ostringstream out;
    SaveLevelTo(out);

    SubmitRedAndGreen();
    std::unique_ptr<StagedLevel> level = StageLevel(out.str(), true, "memory.xml");
    CommitLevel(*level);
    EXPECT_EQ(SpriteInstances(*graphics), 0u) << "every submitted sprite went with the old world";

    graphics->Update(1.0f / 60.0f);
    auto pixels = ReadWindow("submission_level_loaded");
    EXPECT_TRUE(Near(WindowPixel(pixels, -200.0f, 0.0f), 0, 0, 0));
    EXPECT_TRUE(Near(WindowPixel(pixels, 200.0f, 0.0f), 0, 0, 0));
    EXPECT_TRUE(Near(WindowPixel(pixels, 0.0f, 200.0f), 0, 0, 0)) << "the new world has not submitted yet";
    EXPECT_EQ(DrawingGlErrors(), 0);

    Frame();
    pixels = ReadWindow();
    EXPECT_TRUE(Near(WindowPixel(pixels, 0.0f, 200.0f), 0, 0, 255)) << "the loaded sprite draws";
    EXPECT_TRUE(Near(WindowPixel(pixels, -200.0f, 0.0f), 0, 0, 0));
}
