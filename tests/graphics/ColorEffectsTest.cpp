#include "DrawingFixture.h"

#include "BackgroundRenderer.h"
#include "Bloom.h"
#include "ColorEffects.h"
#include "DayCycle.h"
#include "Light.h"
#include "Lighting.h"
#include "Shader.h"

#include <glad/gl.h>
#include <gtest/gtest.h>

#include <cmath>

namespace
{
class ColorGrading : public DrawingTest
{
  protected:
    void SetUp() override
    {
        DrawingTest::SetUp();
        if (!ready)
            return;
        BlackBackground();
    }

    // Grey sprites of the given values in a row along y = 0, x from -400 in steps of 60.
    void GreyRow(const std::vector<float>& values)
    {
        for (std::size_t i = 0; i < values.size(); ++i)
            MakeSprite(-400.0f + 60.0f * static_cast<float>(i), 0.0f, 50.0f, 50.0f,
                       Vector4(values[i], values[i], values[i], 1.0f));
    }
};
} // namespace

TEST_F(ColorGrading, TheBalanceScalesEachChannel)
{
    KeepEffects([](PostProcessingEffect* e) { return dynamic_cast<ColorBalancer*>(e) != nullptr; });
    Effect<ColorBalancer>().balance = Vector3(2.0f, 1.0f, 0.5f);
    MakeSprite(0.0f, 0.0f, 100.0f, 100.0f, Vector4(0.4f, 0.4f, 0.4f, 1.0f));
    Settle();
    const auto texel = ImageTexel(ReadCameraImage(), 0.0f, 0.0f);
    EXPECT_NEAR(texel[0], 0.8f, 0.002f);
    EXPECT_NEAR(texel[1], 0.4f, 0.002f);
    EXPECT_NEAR(texel[2], 0.2f, 0.002f);
}

TEST_F(ColorGrading, ToneMappingRaisesGreysStrictlyKeepsHuesAndStaysFinite)
{
    KeepEffects([](PostProcessingEffect* e) { return dynamic_cast<Tonemap*>(e) != nullptr; });
    const std::vector<float> greys = {0.0f, 1e-3f, 0.01f, 0.05f, 0.1f, 0.2f, 0.35f, 0.5f, 0.7f, 0.85f, 1.0f};
    GreyRow(greys);
    MakeSprite(300.0f, 0.0f, 50.0f, 50.0f, Vector4(0.8f, 0.4f, 0.1f, 1.0f));
    MakeSprite(300.0f, 100.0f, 50.0f, 50.0f, Vector4(1e4f, 1e4f, 1e4f, 1.0f));
    for (float exposure : {0.7f, 0.05f, 3.0f, -3.0f})
    {
        Effect<Tonemap>().exposure = exposure;
        Settle(2);
        const auto image = ReadCameraImage();
        float previous = -1.0f;
        for (std::size_t i = 0; i < greys.size(); ++i)
        {
            const auto texel = ImageTexel(image, -400.0f + 60.0f * static_cast<float>(i), 0.0f);
            EXPECT_GT(texel[0], previous) << exposure << " " << greys[i];
            EXPECT_EQ(texel[0], texel[1]) << "greys stay grey";
            EXPECT_EQ(texel[1], texel[2]) << "greys stay grey";
            previous = texel[0];
        }
        EXPECT_EQ(ImageTexel(image, -400.0f, 0.0f)[0], 0.0f) << "black stays black";
        EXPECT_NEAR(previous, 1.0f, 0.002f) << "1 stays 1";
        // A colour whose peak is at most 1 keeps its channel ratios.
        const auto warm = ImageTexel(image, 300.0f, 0.0f);
        EXPECT_NEAR(warm[1] / warm[0], 0.5f, 0.004f) << exposure;
        EXPECT_NEAR(warm[2] / warm[0], 0.125f, 0.002f) << exposure;
        const auto huge = ImageTexel(image, 300.0f, 100.0f);
        ASSERT_TRUE(std::isfinite(huge[0])) << exposure;
        EXPECT_NEAR(huge[0], 1.0f, 0.002f) << exposure;
    }
    // The default curve lifts the mid-tones rather than passing them through.
    Effect<Tonemap>().exposure = 0.7f;
    Settle(1);
    EXPECT_GT(ImageTexel(ReadCameraImage(), -400.0f + 60.0f * 7.0f, 0.0f)[0], 0.55f);
}

TEST_F(ColorGrading, BrightColouredLightsKeepTheirHueThroughTheWholeChain)
{
    Saturation& saturation = Effect<Saturation>();
    saturation.saturation = 1.0f;
    saturation.whitening = 0.0f;
    saturation.multiplier1 = saturation.multiplier2 = 1.0f;
    const Vector4 goalBlue(0.0f, 11.0f / 255.0f, 1.0f, 1.0f);
    const Vector4 orange(1.0f, 0.45f, 0.0f, 1.0f);
    auto addLight = [this](float x, const Vector4& tint) -> Light& {
        GameObject& object = MakeObject(x, 0.0f);
        Light light;
        light.size = Vector2(300.0f, 300.0f);
        light.tint = tint;
        object.AddComponent(light);
        return *GetLight(object);
    };
    // One light at a time: the widest bloom reaches across the whole screen and would mix the two.
    Light& blue = addLight(-200.0f, goalBlue);
    Light& warm = addLight(200.0f, orange);
    for (int intensity = 1; intensity <= 100; ++intensity)
    {
        blue.intensity = static_cast<float>(intensity);
        warm.intensity = 0.0f;
        Settle(1);
        const auto b = ImageTexel(ReadCameraImage(), -200.0f, 0.0f);
        ASSERT_GT(b[2], 0.1f) << intensity;
        EXPECT_LE(b[2], 1.0f) << intensity;
        EXPECT_LE(b[0], b[1]) << intensity;
        EXPECT_NEAR(b[1] / b[2], goalBlue.y, 0.1f * goalBlue.y) << intensity;

        blue.intensity = 0.0f;
        warm.intensity = static_cast<float>(intensity);
        Settle(1);
        const auto o = ImageTexel(ReadCameraImage(), 200.0f, 0.0f);
        EXPECT_LE(o[0], 1.0f) << intensity;
        EXPECT_LE(o[2], o[1]) << intensity;
        EXPECT_NEAR(o[1] / o[0], orange.y, 0.1f * orange.y) << intensity;
    }
}

TEST_F(ColorGrading, SaturationKeepsGreysGreyAndNeverGoesNegative)
{
    KeepEffects([](PostProcessingEffect* e) { return dynamic_cast<Saturation*>(e) != nullptr; });
    GreyRow({0.0f, 0.2f, 0.5f, 0.9f});
    MakeSprite(300.0f, 0.0f, 50.0f, 50.0f, Vector4(0.9f, 0.1f, 0.05f, 1.0f));
    Settle();
    auto image = ReadCameraImage();
    for (int i = 0; i < 4; ++i)
    {
        const auto texel = ImageTexel(image, -400.0f + 60.0f * static_cast<float>(i), 0.0f);
        EXPECT_NEAR(texel[0], texel[1], 1e-3f);
        EXPECT_NEAR(texel[1], texel[2], 1e-3f);
    }
    const auto red = ImageTexel(image, 300.0f, 0.0f);
    EXPECT_GE(red[1], 0.0f);
    EXPECT_GE(red[2], 0.0f);
    EXPECT_GT(red[0], red[1] + 0.5f);

    Saturation& saturation = Effect<Saturation>();
    saturation.saturation = 1.0f;
    saturation.whitening = 0.0f;
    saturation.multiplier1 = saturation.multiplier2 = 1.0f;
    Settle(1);
    image = ReadCameraImage();
    const auto same = ImageTexel(image, 300.0f, 0.0f);
    EXPECT_NEAR(same[0], 0.9f, 0.002f);
    EXPECT_NEAR(same[1], 0.1f, 0.002f);
    EXPECT_NEAR(same[2], 0.05f, 0.002f);
}

TEST_F(ColorGrading, ValuesOutsideTheEditorRangesReachTheShaders)
{
    Saturation& saturation = Effect<Saturation>();
    saturation.saturation = 9.0f;
    saturation.power = -7.0f;
    Tonemap& tonemap = Effect<Tonemap>();
    tonemap.gamma = 12.0f;
    Settle(1);
    float value = 0.0f;
    Shader* saturationShader = graphics->GetShader("saturation");
    glGetUniformfv(saturationShader->GetProgram(),
                   glGetUniformLocation(saturationShader->GetProgram(), "saturation"), &value);
    EXPECT_EQ(value, 9.0f);
    glGetUniformfv(saturationShader->GetProgram(),
                   glGetUniformLocation(saturationShader->GetProgram(), "power"), &value);
    EXPECT_EQ(value, -7.0f);
    Shader* tonemapShader = graphics->GetShader("tonemap");
    glGetUniformfv(tonemapShader->GetProgram(), glGetUniformLocation(tonemapShader->GetProgram(), "gamma"),
                   &value);
    EXPECT_EQ(value, 12.0f);
}

TEST_F(ColorGrading, BothGradesOfTheCreditsAndTheMatchLookSane)
{
    const std::vector<float> greys = {0.05f, 0.25f, 0.5f, 0.75f};
    GreyRow(greys);
    MakeSprite(300.0f, 0.0f, 50.0f, 50.0f, Vector4(0.8f, 0.1f, 0.1f, 1.0f));
    MakeSprite(300.0f, 100.0f, 50.0f, 50.0f, Vector4(0.1f, 0.2f, 0.7f, 1.0f));
    struct Grade
    {
        Vector3 balance;
        float saturation, whitening, m1, m2, power, gamma, exposure;
    };
    for (const Grade& grade : {Grade{{1.5f, 1.76f, 1.75f}, 1.11f, 1.0f, 1.85f, 1.99f, 8.0f, 1.1f, 0.7f},
                               Grade{{1.0f, 1.0f, 1.0f}, 2.0f, 1.0f, 2.0f, 2.0f, 8.0f, 1.0f, 0.7f}})
    {
        Effect<ColorBalancer>().balance = grade.balance;
        Saturation& s = Effect<Saturation>();
        s.saturation = grade.saturation;
        s.whitening = grade.whitening;
        s.multiplier1 = grade.m1;
        s.multiplier2 = grade.m2;
        s.power = grade.power;
        Effect<Tonemap>().gamma = grade.gamma;
        Effect<Tonemap>().exposure = grade.exposure;
        Settle(2);
        const auto pixels =
            ReadWindow(grade.saturation > 1.5f ? "drawing_grade_match" : "drawing_grade_credits");
        int previous = -1;
        for (std::size_t i = 0; i < 3; ++i)
        {
            const auto p = WindowPixel(pixels, -400.0f + 60.0f * static_cast<float>(i), 0.0f);
            EXPECT_GT(p[0] + p[1] + p[2], previous) << "the grey ramp stays a ramp";
            previous = p[0] + p[1] + p[2];
        }
        const auto darkGrey = WindowPixel(pixels, -400.0f, 0.0f);
        EXPECT_LT(darkGrey[0] + darkGrey[1] + darkGrey[2], 3 * 90) << "darks stay dark";
        const auto lowGrey = WindowPixel(pixels, -340.0f, 0.0f);
        EXPECT_LT(lowGrey[1], 235) << "mid-tones are not blown out";
        const auto red = WindowPixel(pixels, 300.0f, 0.0f);
        EXPECT_GT(red[0], red[1] + 60);
        EXPECT_GT(red[0], red[2] + 60);
        const auto blue = WindowPixel(pixels, 300.0f, 100.0f);
        EXPECT_GT(blue[2], blue[0] + 60);
    }
}

TEST_F(ColorGrading, TheBackgroundDarkensThroughTheDayAndTintZeroIsBlack)
{
    KeepEffects([](PostProcessingEffect*) { return false; });
    BackgroundRenderer& background = *graphics->GetBackground();
    background.GetMaterial().data.SetVector4("tint", Vector4(1.0f, 1.0f, 1.0f, 1.0f));
    Settle(1);
    const auto noon = ImageTexel(ReadCameraImage(), 0.0f, 0.0f);
    EXPECT_NEAR(noon[0], 1.0f, 0.002f);

    background.SetUseTime(true);
    EXPECT_EQ(background.GetMaterial().data.GetFloat("timeOfDay"), 0.0f);
    Frame(19.0f);
    const float timeOfDay = background.GetMaterial().data.GetFloat("timeOfDay");
    EXPECT_NEAR(timeOfDay, std::sin(DayCycleClock() * 3.1415927f * 0.5f), 1e-6f);
    EXPECT_GT(timeOfDay, 0.9f);
    Frame(0.0f);
    const auto dusk = ImageTexel(ReadCameraImage(), 0.0f, 0.0f);
    EXPECT_LT(dusk[0], 0.8f * noon[0]) << "darker";
    EXPECT_GT(dusk[0], dusk[1]) << "warmer";
    EXPECT_GT(dusk[1], dusk[2]);

    background.SetUseTime(false);
    EXPECT_EQ(background.GetMaterial().data.GetFloat("timeOfDay"), 0.0f);
}

TEST_F(ColorGrading, ABackgroundTintOfZeroIsBlackThroughTheWholeChain)
{
    graphics->GetBackground()->GetMaterial().data.SetVector4("tint", Vector4(0.0f, 0.0f, 0.0f, 0.0f));
    graphics->GetBackground()->SetUseTime(true);
    Settle(2);
    const auto pixels = ReadWindow();
    for (float x : {-400.0f, 0.0f, 400.0f})
    {
        const auto p = WindowPixel(pixels, x, 100.0f);
        EXPECT_EQ(p[0] + p[1] + p[2], 0);
    }
}

TEST_F(ColorGrading, ADarkArenaUnderABlueAndAnOrangeLightShowsBlueAndOrange)
{
    // A dark sky, floor and walls under the match's grade, lit by the two goals' colours. Sprites hide
    // the light behind them, so the lights hang in front of the walls.
    graphics->GetBackground()->GetMaterial().data.SetVector4("tint", Vector4(0.06f, 0.06f, 0.08f, 1.0f));
    MakeSprite(0.0f, -250.0f, 800.0f, 40.0f, Vector4(0.25f, 0.25f, 0.3f, 1.0f));
    MakeSprite(-380.0f, 0.0f, 40.0f, 500.0f, Vector4(0.25f, 0.25f, 0.3f, 1.0f));
    MakeSprite(380.0f, 0.0f, 40.0f, 500.0f, Vector4(0.25f, 0.25f, 0.3f, 1.0f));
    auto addLight = [this](float x, const Vector4& tint) {
        Light light;
        light.size = Vector2(350.0f, 350.0f);
        light.tint = tint;
        light.intensity = 6.0f;
        MakeObject(x, -60.0f).AddComponent(light);
    };
    addLight(-220.0f, Vector4(0.0f, 11.0f / 255.0f, 1.0f, 1.0f));
    addLight(220.0f, Vector4(1.0f, 0.5f, 0.1f, 1.0f));
    graphics->drawDebug = false;
    for (float bloomIntensity : {0.6f, 12.0f})
    {
        Effect<Bloom>().intensity = bloomIntensity;
        Settle(2);
        const auto pixels = ReadWindow(bloomIntensity < 1.0f ? "arena_lights" : "arena_lights_bloom12");
        for (float x : {-220.0f, -160.0f})
        {
            const auto blue = WindowPixel(pixels, x, -60.0f);
            EXPECT_GT(blue[2], 2 * blue[1]) << "blue, not cyan, at " << x << " bloom " << bloomIntensity;
            EXPECT_GT(blue[2], blue[0] + 100) << x << " bloom " << bloomIntensity;
        }
        for (float x : {220.0f, 280.0f})
        {
            const auto orange = WindowPixel(pixels, x, -60.0f);
            EXPECT_GT(orange[0], orange[1] + 40)
                << "orange, not yellow, at " << x << " bloom " << bloomIntensity;
            EXPECT_GT(orange[1], orange[2]) << x << " bloom " << bloomIntensity;
        }
    }
}
