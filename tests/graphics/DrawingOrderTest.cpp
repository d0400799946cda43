#include "DrawingFixture.h"

#include "BackgroundRenderer.h"
#include "ColorEffects.h"
#include "Light.h"
#include "Material.h"
#include "ParticleComponent.h"
#include "PostProcessingEffect.h"
#include "RenderLine.h"
#include "Renderer.h"
#include "TextRenderer.h"

#include <gtest/gtest.h>

namespace
{
class DrawingOrder : public DrawingTest
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

bool IsRed(const std::array<int, 4>& p)
{
    return p[0] > 200 && p[1] < 40 && p[2] < 40;
}
bool IsGreen(const std::array<int, 4>& p)
{
    return p[1] > 200 && p[0] < 40 && p[2] < 40;
}
} // namespace

TEST_F(DrawingOrder, TextShowsOverItsPanelAtTheSameDepth)
{
    GameObject& panel =
        MakeSprite(0.0f, 0.0f, 600.0f, 300.0f, Vector4(0.0f, 0.0f, 1.0f, 1.0f), "WhitePixel", 0.1f);
    GetRenderer(panel)->material.SetOrder(998);
    GameObject& label = MakeObject(0.0f, 0.0f);
    TextRenderer text;
    text.SetText("HHHH");
    text.SetSize(128.0f);
    text.SetBottomLeft(Vector2(-250.0f, -100.0f));
    text.SetTopRight(Vector2(250.0f, 100.0f));
    text.SetTint(Vector4(1.0f, 0.0f, 0.0f, 1.0f));
    text.SetDepth(0.1f);
    label.AddComponent(text);
    graphics->drawDebug = false;
    Settle();
    const auto pixels = ReadWindow("drawing_text_over_panel");
    int red = 0;
    for (float x = -250.0f; x < 250.0f; x += 5.0f)
        for (float y = -100.0f; y < 100.0f; y += 5.0f)
            red += IsRed(WindowPixel(pixels, x, y)) ? 1 : 0;
    EXPECT_GT(red, 100);
}

TEST_F(DrawingOrder, InABatchSmallerDepthCoversAndEqualDepthsKeepSubmissionOrder)
{
    MakeSprite(-200.0f, 0.0f, 100.0f, 100.0f, Vector4(1.0f, 0.0f, 0.0f, 1.0f), "WhitePixel", 0.2f);
    MakeSprite(-200.0f, 0.0f, 100.0f, 100.0f, Vector4(0.0f, 1.0f, 0.0f, 1.0f), "WhitePixel", 0.8f);
    MakeSprite(200.0f, 0.0f, 100.0f, 100.0f, Vector4(1.0f, 0.0f, 0.0f, 1.0f), "WhitePixel", 0.5f);
    MakeSprite(200.0f, 0.0f, 100.0f, 100.0f, Vector4(0.0f, 1.0f, 0.0f, 1.0f), "WhitePixel", 0.5f);
    Settle();
    const auto pixels = ReadWindow();
    EXPECT_TRUE(IsRed(WindowPixel(pixels, -200.0f, 0.0f)));
    EXPECT_TRUE(IsGreen(WindowPixel(pixels, 200.0f, 0.0f)));
}

TEST_F(DrawingOrder, ParticlesAddOverSpritesAndTheBackgroundStaysBehind)
{
    graphics->GetBackground()->GetMaterial().data.SetVector4("tint", Vector4(0.0f, 0.5f, 0.0f, 1.0f));
    MakeSprite(0.0f, 0.0f, 300.0f, 300.0f, Vector4(0.3f, 0.0f, 0.0f, 1.0f));
    GameObject& emitterObject = MakeObject(0.0f, 0.0f);
    ParticleComponent emitter;
    ParticleSettings& settings = emitter.GetEmitter().EditSettings();
    settings.minVelocity = settings.maxVelocity = settings.minAcceleration = settings.maxAcceleration =
        Vector3(0.0f, 0.0f, 0.0f);
    settings.dimensions = Vector2(0.0f, 0.0f);
    settings.initScale = settings.finalScale = Vector2(200.0f, 200.0f);
    settings.initialTint = settings.finalTint = Vector4(0.0f, 0.0f, 1.0f, 1.0f);
    settings.tintVariation = Vector4(0.0f, 0.0f, 0.0f, 0.0f);
    settings.minLife = settings.maxLife = 100.0f;
    emitter.SetEmissionRate(0.0f);
    emitterObject.AddComponent(emitter);
    GetParticleComponent(emitterObject)->QueueParticles(1);
    Settle();
    const auto pixels = ReadWindow("drawing_particle_over_sprite");
    const auto centre = WindowPixel(pixels, 0.0f, 0.0f);
    EXPECT_GT(centre[2], 200) << "the particle adds its blue";
    EXPECT_GT(centre[0], 60) << "over the sprite's red";
    const auto edge = WindowPixel(pixels, 140.0f, 0.0f);
    EXPECT_GT(edge[0], 60);
    EXPECT_LT(edge[2], 20) << "the falloff fades out before the sprite's edge";
    const auto outside = WindowPixel(pixels, 400.0f, 300.0f);
    EXPECT_EQ(outside[0], 0);
    EXPECT_GT(outside[1], 120) << "the background";
}

TEST_F(DrawingOrder, AWholeSceneDrawsThroughTheWholeChain)
{
    // The match's grade, a tinted background, an arena, a shadow-casting light, an emitter and a label.
    graphics->GetBackground()->GetMaterial().data.SetVector4("tint", Vector4(0.25f, 0.3f, 0.45f, 1.0f));
    graphics->GetBackground()->SetUseTime(true);
    MakeSprite(0.0f, -250.0f, 860.0f, 40.0f, Vector4(0.45f, 0.45f, 0.5f, 1.0f));
    MakeSprite(-250.0f, -50.0f, 200.0f, 30.0f, Vector4(0.6f, 0.3f, 0.2f, 1.0f));
    MakeSprite(120.0f, -120.0f, 40.0f, 220.0f, Vector4(0.2f, 0.5f, 0.3f, 1.0f));
    GameObject& lamp = MakeObject(-20.0f, -100.0f);
    Light light;
    light.size = Vector2(700.0f, 700.0f);
    light.tint = Vector4(1.0f, 0.85f, 0.6f, 1.0f);
    light.intensity = 0.6f;
    lamp.AddComponent(light);
    GameObject& fountain = MakeObject(300.0f, -220.0f);
    ParticleComponent emitter;
    emitter.GetEmitter().EditSettings().minVelocity = Vector3(-30.0f, 60.0f, 0.0f);
    emitter.GetEmitter().EditSettings().maxVelocity = Vector3(30.0f, 160.0f, 0.0f);
    emitter.GetEmitter().EditSettings().minLife = 0.8f;
    emitter.GetEmitter().EditSettings().maxLife = 1.2f;
    fountain.AddComponent(emitter);
    MakeSprite(0.0f, 230.0f, 420.0f, 110.0f, Vector4(0.1f, 0.1f, 0.25f, 1.0f), "WhitePixel", 0.1f);
    GameObject& label = MakeObject(0.0f, 0.0f);
    TextRenderer text;
    text.SetText("Round 1");
    text.SetSize(80.0f);
    text.SetBottomLeft(Vector2(-170.0f, 180.0f));
    text.SetTopRight(Vector2(200.0f, 270.0f));
    text.SetDepth(0.1f);
    label.AddComponent(text);
    graphics->drawDebug = false;
    // Put the match grade back over the neutral one of this fixture.
    for (auto& effect : graphics->GetEffects())
    {
        if (auto* saturation = dynamic_cast<Saturation*>(effect.get()))
        {
            saturation->saturation = 2.0f;
            saturation->whitening = 1.0f;
            saturation->multiplier1 = 2.0f;
            saturation->multiplier2 = 2.0f;
            saturation->power = 8.0f;
        }
        if (auto* tonemap = dynamic_cast<Tonemap*>(effect.get()))
        {
            tonemap->gamma = 1.0f;
            tonemap->exposure = 0.7f;
        }
    }
    for (int frame = 0; frame < 40; ++frame)
        Frame();
    const auto pixels = ReadWindow("drawing_full_chain");
    const auto Sum = [](const std::array<int, 4>& p) { return p[0] + p[1] + p[2]; };
    EXPECT_GT(Sum(WindowPixel(pixels, -20.0f, -100.0f)), Sum(WindowPixel(pixels, -420.0f, 300.0f)))
        << "the light brightens its surroundings";
    EXPECT_GT(Sum(WindowPixel(pixels, -200.0f, -100.0f)), Sum(WindowPixel(pixels, 250.0f, -140.0f)) + 20)
        << "the green post shadows what lies behind it";
    int textPixels = 0;
    for (float x = -170.0f; x < 200.0f; x += 4.0f)
        for (float y = 190.0f; y < 270.0f; y += 4.0f)
            textPixels += Sum(WindowPixel(pixels, x, y)) > 600 ? 1 : 0;
    EXPECT_GT(textPixels, 40) << "white text on the dark panel";
}

TEST_F(DrawingOrder, AMaterialsNewLayerAndBlendTakeEffectFromItsNextFrame)
{
    KeepEffects([](PostProcessingEffect*) { return false; });
    GameObject& mover = MakeSprite(0.0f, 0.0f, 100.0f, 100.0f, Vector4(1.0f, 0.0f, 0.0f, 1.0f));
    GameObject& middle = MakeSprite(0.0f, 0.0f, 100.0f, 100.0f, Vector4(0.0f, 1.0f, 0.0f, 1.0f));
    GetRenderer(middle)->material.SetOrder(3000);
    Material& material = GetRenderer(mover)->material;
    Settle();
    EXPECT_TRUE(IsGreen(WindowPixel(ReadWindow(), 0.0f, 0.0f))) << "order 1000 draws under 3000";
    const std::shared_ptr<RenderLine> old = material.batch;

    material.SetOrder(5000);
    Frame();
    EXPECT_TRUE(IsRed(WindowPixel(ReadWindow(), 0.0f, 0.0f))) << "order 5000 draws over 3000";
    EXPECT_EQ(material.batch->GetOrder(), 5000);
    EXPECT_EQ(graphics->GetLayers().count(1000), 0u) << "the left layer emptied and went";
    EXPECT_EQ(old.use_count(), 1) << "only this test still holds the old batch";

    // Half-transparent red over the green: blended, then added where the target's alpha reads 1.
    GetRenderer(mover)->tint = Vector4(1.0f, 0.0f, 0.0f, 0.5f);
    Frame();
    auto texel = ImageTexel(ReadCameraImage(), 0.0f, 0.0f);
    EXPECT_NEAR(texel[0], 0.5f, 0.01f);
    EXPECT_NEAR(texel[1], 0.5f, 0.01f);
    material.SetBlendMode(bmAdditive);
    Frame();
    texel = ImageTexel(ReadCameraImage(), 0.0f, 0.0f);
    EXPECT_NEAR(texel[0], 0.5f, 0.01f);
    EXPECT_NEAR(texel[1], 1.0f, 0.01f);
}

TEST_F(DrawingOrder, AMaterialMovedAfterSubmittingLeavesNothingInItsOldBatch)
{
    GameObject& mover = MakeSprite(0.0f, 0.0f, 100.0f, 100.0f, Vector4(1.0f, 0.0f, 0.0f, 1.0f));
    Material& material = GetRenderer(mover)->material;
    material.Submit();
    const std::shared_ptr<RenderLine> old = material.batch;
    ASSERT_EQ(old->GetInstanceCount(), 1u);
    material.SetWriteDepth(false);
    material.Submit();
    EXPECT_NE(material.batch.get(), old.get());
    EXPECT_EQ(old->GetInstanceCount(), 0u);
    for (const ShaderData* item : old->GetItems())
        EXPECT_NE(item, &material.data);
    EXPECT_EQ(material.batch->GetInstanceCount(), 1u);
    Frame();
}
