#include "DrawingFixture.h"

#include "Bloom.h"
#include "ColorEffects.h"
#include "Light.h"
#include "Lighting.h"
#include "Renderer.h"
#include "Texture.h"
#include "TextureManager.h"
#include "Transform.h"
#include "WindowProvider.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
class LightingEffect : public DrawingTest
{
  protected:
    void SetUp() override
    {
        DrawingTest::SetUp();
        if (!ready)
            return;
        BlackBackground();
        // Only the lighting itself, so the float image shows exactly what it added.
        KeepEffects([](PostProcessingEffect* effect) { return dynamic_cast<Lighting*>(effect) != nullptr; });
    }

    GameObject& MakeLight(float x, float y, float size, const Vector4& tint = Vector4(1.0f, 1.0f, 1.0f, 1.0f))
    {
        GameObject& object = MakeObject(x, y);
        Light light;
        light.size = Vector2(size, size);
        light.tint = tint;
        object.AddComponent(light);
        return object;
    }

    float Brightness(const std::vector<float>& image, float x, float y)
    {
        const auto texel = ImageTexel(image, x, y);
        return texel[0] + texel[1] + texel[2];
    }
};
} // namespace

TEST_F(LightingEffect, WithoutLightsTheImagePassesThroughAndTheOcclusionIsDropped)
{
    MakeSprite(-100.0f, 50.0f, 120.0f, 80.0f, Vector4(0.25f, 0.5f, 0.75f, 1.0f));
    Settle();
    const auto lit = ReadCameraImage();
    EXPECT_EQ(gLighting->GetOcclusionCount(), 0u);
    const auto texel = ImageTexel(lit, -100.0f, 50.0f);
    EXPECT_NEAR(texel[0], 0.25f, 0.002f);
    EXPECT_NEAR(texel[1], 0.5f, 0.002f);
    EXPECT_NEAR(texel[2], 0.75f, 0.002f);

    graphics->GetEffects().clear();
    Settle(2);
    const auto unlit = ReadCameraImage();
    ASSERT_EQ(unlit.size(), lit.size());
    // The copy samples texel centres; only rounding in the sampler may differ.
    float largest = 0.0f;
    for (std::size_t i = 0; i < lit.size(); ++i)
        largest = std::max(largest, std::abs(lit[i] - unlit[i]));
    EXPECT_LT(largest, 1e-4f);
}

TEST_F(LightingEffect, ALightIsBrightestAtItsCentreAndOnlyLightingHidesTheScene)
{
    MakeLight(0.0f, 0.0f, 400.0f);
    MakeSprite(-300.0f, 250.0f, 60.0f, 60.0f, Vector4(0.5f, 0.5f, 0.5f, 1.0f));
    Settle();
    auto image = ReadCameraImage();
    EXPECT_GT(Brightness(image, 0.0f, 0.0f), 2.0f);
    EXPECT_GT(Brightness(image, 0.0f, 0.0f), Brightness(image, 100.0f, 0.0f));
    EXPECT_GT(Brightness(image, 100.0f, 0.0f), Brightness(image, 0.0f, 180.0f));
    EXPECT_NEAR(Brightness(image, 400.0f, -300.0f), 0.0f, 1e-3f);
    EXPECT_NEAR(Brightness(image, -300.0f, 250.0f), 1.5f, 0.01f);

    gLighting->onlyLighting = true;
    Settle(1);
    image = ReadCameraImage();
    EXPECT_NEAR(Brightness(image, -300.0f, 250.0f), 0.0f, 1e-3f);
    EXPECT_GT(Brightness(image, 0.0f, 0.0f), 2.0f);
}

TEST_F(LightingEffect, AnOpaqueSpriteCastsAShadowAwayFromTheLight)
{
    MakeLight(0.0f, 0.0f, 900.0f);
    MakeSprite(100.0f, 0.0f, 30.0f, 300.0f, Vector4(0.0f, 0.0f, 0.0f, 1.0f));
    Settle();
    const auto image = ReadCameraImage();
    ReadWindow("drawing_light_shadow");
    const float open = Brightness(image, -200.0f, 0.0f);
    const float shadowed = Brightness(image, 200.0f, 0.0f);
    EXPECT_GT(open, 0.3f);
    EXPECT_LT(shadowed, 0.3f * open);
    // Between the light and the sprite nothing is hidden.
    EXPECT_GT(Brightness(image, 50.0f, 0.0f), 0.8f * Brightness(image, -50.0f, 0.0f));
}

// The occlusion fed during a frame reads back as fed at any time before the frame ends, pooled items take
// each frame's values, and every piece fed, before or after a read, hides the light.
TEST_F(LightingEffect, TheOcclusionFedReadsBackAsFedAndAllOfItCastsShadows)
{
    MakeLight(0.0f, 0.0f, 900.0f);
    GameObject& wall = MakeSprite(100.0f, 0.0f, 30.0f, 300.0f, Vector4(0.0f, 0.0f, 0.0f, 1.0f));
    Settle();

    RunDrawingSystems();
    ASSERT_EQ(gLighting->GetOcclusionCount(), 1u);
    const ShaderData& fed = gLighting->GetOcclusionItems().at(0);
    const auto fedQuad = fed.GetMatrix3("modelWorld");
    ASSERT_TRUE(fedQuad.has_value());
    const Matrix3& wallQuad = wall.GetComponentAs<Transform>(Transform::kTypeId)->GetWorldMatrix();
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(fedQuad->m[i], wallQuad.m[i]) << "entry " << i;
    EXPECT_EQ(fed.GetUInt("texture"), &TextureManager::GetTexture(TextureManager::kWhitePixelName));
    EXPECT_EQ(fed.GetFloat("obfuscation"), 1.0f);

    // A second wall on the left, fed after the read and without a texture: it hides as a white square.
    gLighting->AddOcclusion(TranslationMatrix(-100.0f, 0.0f) * ScaleMatrix(30.0f, 300.0f), nullptr, 1.0f);
    ASSERT_EQ(gLighting->GetOcclusionCount(), 2u);
    EXPECT_EQ(gLighting->GetOcclusionItems().at(1).GetUInt("texture"),
              &TextureManager::GetTexture(TextureManager::kWhitePixelName));
    graphics->Update(1.0f / 60.0f);
    const auto image = ReadCameraImage();
    const float open = Brightness(image, 0.0f, 200.0f);
    EXPECT_GT(open, 0.3f);
    EXPECT_LT(Brightness(image, 200.0f, 0.0f), 0.3f * open) << "behind the sprite";
    EXPECT_LT(Brightness(image, -200.0f, 0.0f), 0.3f * open) << "behind the wall fed after the read";
    EXPECT_EQ(gLighting->GetOcclusionCount(), 0u);

    // The next frame's occlusion follows the sprite's alpha in the same pooled item.
    GetRenderer(wall)->tint.w = 0.25f;
    RunDrawingSystems();
    ASSERT_EQ(gLighting->GetOcclusionCount(), 1u);
    EXPECT_EQ(gLighting->GetOcclusionItems().at(0).GetFloat("obfuscation"), 0.25f);
    graphics->Update(1.0f / 60.0f);
}

TEST_F(LightingEffect, AShadowTintEqualToTheTintCastsNoShadow)
{
    GameObject& object = MakeLight(0.0f, 0.0f, 700.0f);
    GetLight(object)->shadowTint = GetLight(object)->tint;
    MakeSprite(100.0f, 0.0f, 30.0f, 300.0f, Vector4(0.0f, 0.0f, 0.0f, 1.0f));
    Settle();
    const auto image = ReadCameraImage();
    EXPECT_NEAR(Brightness(image, 200.0f, 0.0f), Brightness(image, -200.0f, 0.0f), 0.05f);
}

TEST_F(LightingEffect, RecordsAndOcclusionDoNotPileUpWhileTheWindowIsHidden)
{
    MakeLight(0.0f, 0.0f, 300.0f);
    MakeSprite(50.0f, 0.0f, 20.0f, 20.0f, Vector4(1.0f, 1.0f, 1.0f, 1.0f));
    MakeSprite(-50.0f, 0.0f, 20.0f, 20.0f, Vector4(1.0f, 1.0f, 1.0f, 1.0f));
    Settle(2);
    WindowProvider::SetWindowVisible(0, false);
    for (int frame = 0; frame < 100; ++frame)
    {
        Frame();
        ASSERT_TRUE(gLighting->GetLightRecords().empty());
        ASSERT_EQ(gLighting->GetOcclusionCount(), 0u);
    }
    EXPECT_LE(gLighting->GetOcclusionItems().size(), 2u);
    WindowProvider::SetWindowVisible(0, true);
    Settle(1);
}

TEST_F(LightingEffect, LightsKeepTheirOwnSizeWhateverTheObjectScale)
{
    GameObject& object = MakeObject(30.0f, -20.0f, 3.0f, 5.0f, 90.0f);
    Light light;
    light.center = Vector2(10.0f, 0.0f);
    light.size = Vector2(100.0f, 50.0f);
    object.AddComponent(light);
    RunDrawingSystems();
    ASSERT_EQ(gLighting->GetLightRecords().size(), 1u);
    const LightRecord& record = gLighting->GetLightRecords()[0];
    EXPECT_EQ(record.modelWorld, LightModelMatrix({30.0f, -20.0f}, 90.0f, {10.0f, 0.0f}, {100.0f, 50.0f}));
    EXPECT_EQ(record.texture, GetLight(object)->GetTexture());
    EXPECT_EQ(record.texture->name, "FalloffCircleLight");
    Frame();
}
