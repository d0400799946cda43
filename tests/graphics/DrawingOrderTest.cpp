#include "DrawingFixture.h"

#include "BackgroundRenderer.h"
#include "ParticleComponent.h"
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
    GetRenderer(panel)->material.order = 998;
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
