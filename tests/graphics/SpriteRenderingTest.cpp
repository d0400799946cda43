#include "DrawingFixture.h"

#include "Graphics.h"
#include "Light.h"
#include "Lighting.h"
#include "ParticleComponent.h"
#include "Registries.h"
#include "RenderLine.h"
#include "Renderer.h"
#include "TextRenderer.h"
#include "Transform.h"

#include <gtest/gtest.h>

namespace
{
constexpr std::uint32_t kRed = 0xFF0000FF;
constexpr std::uint32_t kBlue = 0x0000FFFF;

// Within two steps of 8-bit rounding.
::testing::AssertionResult Near(const std::array<int, 4>& pixel, int r, int g, int b)
{
    if (std::abs(pixel[0] - r) <= 2 && std::abs(pixel[1] - g) <= 2 && std::abs(pixel[2] - b) <= 2)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel is (" << pixel[0] << ", " << pixel[1] << ", " << pixel[2]
                                         << "), expected (" << r << ", " << g << ", " << b << ")";
}

std::uint32_t InstancesOfOrder(Graphics& graphics, std::int32_t order)
{
    std::uint32_t count = 0;
    auto layer = graphics.GetLayers().find(order);
    if (layer != graphics.GetLayers().end())
        for (const auto& batch : layer->second)
            count += batch->GetInstanceCount();
    return count;
}

class SpriteRendering : public DrawingTest
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
};
} // namespace

TEST_F(SpriteRendering, TexturesStandUprightFlipMirrorsAndTintIsExact)
{
    MakeTexture("TopRed", 1, 2, {kRed, kBlue});
    MakeTexture("LeftRed", 2, 1, {kRed, kBlue});
    MakeSprite(-200.0f, 0.0f, 200.0f, 200.0f, Vector4(1.0f, 1.0f, 1.0f, 1.0f), "TopRed");
    GameObject& flipped =
        MakeSprite(100.0f, 0.0f, 200.0f, 200.0f, Vector4(1.0f, 1.0f, 1.0f, 1.0f), "LeftRed");
    GetRenderer(flipped)->flip = true;
    MakeSprite(300.0f, 200.0f, 60.0f, 60.0f, Vector4(0.2f, 0.4f, 0.6f, 1.0f));
    Settle();
    const auto pixels = ReadWindow("drawing_sprite_orientation");

    EXPECT_TRUE(Near(WindowPixel(pixels, -200.0f, 80.0f), 255, 0, 0)) << "top";
    EXPECT_TRUE(Near(WindowPixel(pixels, -200.0f, -80.0f), 0, 0, 255)) << "bottom";
    EXPECT_TRUE(Near(WindowPixel(pixels, 20.0f, 0.0f), 0, 0, 255)) << "flipped left";
    EXPECT_TRUE(Near(WindowPixel(pixels, 180.0f, 0.0f), 255, 0, 0)) << "flipped right";
    EXPECT_TRUE(Near(WindowPixel(pixels, 300.0f, 200.0f), 51, 102, 153)) << "tint";
    EXPECT_TRUE(Near(WindowPixel(pixels, 0.0f, 250.0f), 0, 0, 0)) << "background";
}

TEST_F(SpriteRendering, SkippedObjectsSubmitNothingAndFeedNoLight)
{
    GameObject& queued = MakeSprite(0.0f, 0.0f, 10.0f, 10.0f, Vector4(1.0f, 1.0f, 1.0f, 1.0f));
    GameObject& hidden = MakeSprite(0.0f, 0.0f, 10.0f, 10.0f, Vector4(1.0f, 1.0f, 1.0f, 1.0f));
    GameObject& bare = MakeSprite(0.0f, 0.0f, 10.0f, 10.0f, Vector4(1.0f, 1.0f, 1.0f, 1.0f));
    Light light;
    queued.AddComponent(light);
    hidden.AddComponent(light);
    bare.AddComponent(light);
    queued.SetFlag(kFlagQueuedForDestruction, true);
    hidden.SetFlag(kFlagHidden, true);
    RemoveComponent(bare.id, Transform::kTypeId);

    RunDrawingSystems();
    EXPECT_EQ(InstancesOfOrder(*graphics, 1000), 0u);
    EXPECT_EQ(gLighting->GetOcclusionCount(), 0u);
    EXPECT_TRUE(gLighting->GetLightRecords().empty());

    hidden.SetFlag(kFlagHidden, false);
    RunDrawingSystems();
    EXPECT_EQ(InstancesOfOrder(*graphics, 1000), 1u);
    EXPECT_EQ(gLighting->GetOcclusionCount(), 1u);
    EXPECT_EQ(gLighting->GetLightRecords().size(), 1u);
    Frame();
}
