#include "BackgroundRenderer.h"
#include "ColorEffects.h"
#include "DrawingFixture.h"
#include "Light.h"
#include "Lighting.h"
#include "RenderStats.h"
#include "Renderer.h"

#include "Shader.h"
#include "TextureManager.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace
{
// The light shader's march as it was before it learnt to stop early: every sample of every pixel is taken.
const char* kEveryStepLight = R"(#version 430 core
in vec2 vUv;
in vec2 vLocal;
flat in vec2 vSourceUv;
out vec4 fragColour;
uniform sampler2D tex;
uniform sampler2D alphaTex;
uniform float aspectRatio;
uniform vec2 lightSource;
uniform vec3 tint;
uniform vec3 minTint;
uniform float intensity;
uniform float innerRadius;
float Visibility(vec2 here)
{
    vec2 toLight = vSourceUv - here;
    float pixels = length(toLight * vec2(aspectRatio, 1.0)) * float(textureSize(alphaTex, 0).y);
    int steps = int(clamp(ceil(pixels), 1.0, 64.0));
    float blocked = 0.0;
    for (int i = 0; i < steps; ++i)
    {
        vec2 at = here + toLight * ((float(i) + 0.5) / float(steps));
        blocked = max(blocked, textureLod(alphaTex, at, 0.0).r);
    }
    return 1.0 - clamp(blocked, 0.0, 1.0);
}
void main()
{
    vec2 here = gl_FragCoord.xy / vec2(textureSize(alphaTex, 0));
    float visibility = length(vLocal - lightSource) <= innerRadius ? 1.0 : Visibility(here);
    float falloff = texture(tex, vUv).a;
    fragColour = vec4(falloff * intensity * mix(minTint, tint, visibility), falloff);
}
)";

// The background's fragment shader as it was when it chose its sampler through a switch over every unit.
const char* kSwitchedBackground = R"(#version 430 core
in vec2 vUv;
in vec4 vTint;
flat in uint vTexture;
in float vTimeOfDay;
out vec4 fragColour;
uniform sampler2D samplers[16];
vec4 SampleUnit(uint unit, vec2 uv)
{
    vec2 dx = dFdx(uv);
    vec2 dy = dFdy(uv);
    switch (unit)
    {
    case 0u: return textureGrad(samplers[0], uv, dx, dy);
    case 1u: return textureGrad(samplers[1], uv, dx, dy);
    case 2u: return textureGrad(samplers[2], uv, dx, dy);
    case 3u: return textureGrad(samplers[3], uv, dx, dy);
    case 4u: return textureGrad(samplers[4], uv, dx, dy);
    case 5u: return textureGrad(samplers[5], uv, dx, dy);
    case 6u: return textureGrad(samplers[6], uv, dx, dy);
    case 7u: return textureGrad(samplers[7], uv, dx, dy);
    case 8u: return textureGrad(samplers[8], uv, dx, dy);
    case 9u: return textureGrad(samplers[9], uv, dx, dy);
    case 10u: return textureGrad(samplers[10], uv, dx, dy);
    case 11u: return textureGrad(samplers[11], uv, dx, dy);
    case 12u: return textureGrad(samplers[12], uv, dx, dy);
    case 13u: return textureGrad(samplers[13], uv, dx, dy);
    case 14u: return textureGrad(samplers[14], uv, dx, dy);
    case 15u: return textureGrad(samplers[15], uv, dx, dy);
    }
    return vec4(0.0);
}
void main()
{
    vec4 colour = SampleUnit(vTexture, vUv) * vTint;
    const vec3 dusk = vec3(0.6, 0.36, 0.26);
    colour.rgb *= mix(vec3(1.0), dusk, clamp(vTimeOfDay, 0.0, 1.0));
    fragColour = colour;
}
)";

} // namespace

// The lighting adds its light straight over the image and the tone mapping takes the saturation into its
// own pass; both only save passes, so the frame must show what the full sequence of passes shows.
class CheaperFrame : public DrawingTest
{
  protected:
    FrameResult Draw(bool addInPlace, bool foldSaturation)
    {
        gLighting->addInPlace = addInPlace;
        Effect<Tonemap>().foldSaturation = foldSaturation;
        return DrawFrames();
    }
};

TEST_F(CheaperFrame, ALitAndGradedFrameShowsTheSamePixelsWithFewerPasses)
{
    if (!ready)
        return;
    Settle();
    // Occluders of several alphas between two coloured lights, one with a shadow tint, and a sprite bright
    // enough to bloom; the background gives the grade a spread of colours.
    MakeSprite(-120, 0, 30, 260, Vector4(0.2f, 0.2f, 0.2f, 1.0f));
    MakeSprite(140, 60, 160, 20, Vector4(0.8f, 0.4f, 0.1f, 0.6f));
    MakeSprite(0, -150, 400, 25, Vector4(0.1f, 0.6f, 0.3f, 1.0f));
    MakeSprite(260, -60, 60, 60, Vector4(3.0f, 2.5f, 1.5f, 1.0f));
    Light warm;
    warm.size = Vector2(700.0f, 700.0f);
    warm.tint = Vector4(1.0f, 0.8f, 0.6f, 1.0f);
    warm.intensity = 2.0f;
    MakeObject(-250, 80).AddComponent(warm);
    Light cold;
    cold.size = Vector2(500.0f, 400.0f);
    cold.tint = Vector4(0.5f, 0.7f, 1.0f, 1.0f);
    cold.shadowTint = Vector4(0.1f, 0.1f, 0.2f, 1.0f);
    cold.intensity = 1.5f;
    MakeObject(200, -50).AddComponent(cold);

    struct Case
    {
        const char* name;
        bool addInPlace;
        bool foldSaturation;
        bool onlyLighting;
        // gamma, exposure, saturation, whitening, multiplier1, multiplier2, power
        float grade[7];
        std::uint64_t fewestDrawsSaved;
    };
    const Case cases[] = {
        // The lighting's copy of the scene is saved; the grade stays near the identity so that the light
        // itself is compared.
        {"the light added in place", true, false, false, {1.0f, 1e-4f, 1.0f, 0.0f, 1.0f, 1.0f, 8.0f}, 1},
        // The saturation's pass is saved, under the match grade and a harsher one.
        {"the match grade in one pass", false, true, false, {1.0f, 0.7f, 2.0f, 1.0f, 1.5f, 2.0f, 8.0f}, 1},
        {"another grade in one pass", false, true, false, {2.2f, 3.0f, 0.5f, 2.0f, 0.8f, 3.0f, 3.0f}, 1},
        // Only the light is shown: the lighting replaces the image, so only the saturation pass is saved.
        {"only lighting", true, true, true, {1.0f, 0.7f, 2.0f, 1.0f, 1.5f, 2.0f, 8.0f}, 1},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        gLighting->onlyLighting = c.onlyLighting;
        Tonemap& tonemap = Effect<Tonemap>();
        tonemap.gamma = c.grade[0];
        tonemap.exposure = c.grade[1];
        Saturation& saturation = Effect<Saturation>();
        saturation.saturation = c.grade[2];
        saturation.whitening = c.grade[3];
        saturation.multiplier1 = c.grade[4];
        saturation.multiplier2 = c.grade[5];
        saturation.power = c.grade[6];

        const FrameResult full = Draw(false, false);
        const FrameResult fewer = Draw(c.addInPlace, c.foldSaturation);

        const float difference = LargestDifference(full.image, fewer.image);
        EXPECT_LE(difference, 1.0f / 1024.0f);
        RecordProperty(c.name, std::to_string(difference));
        EXPECT_GE(full.drawCalls, fewer.drawCalls + c.fewestDrawsSaved);
        // The comparison saw a graded, lit frame, not a black one.
        EXPECT_GT(*std::max_element(fewer.image.begin(), fewer.image.end()), 0.5f);
    }
}

// The light pass leaves out the march where the light's texture gives nothing or where a pixel's way to
// the light passes no occlusion, and stops it once a way is fully blocked; the lit image must be the one
// a march over every sample gives.
TEST_F(CheaperFrame, TheLightPassShowsWhatMarchingEverySampleShows)
{
    if (!ready)
        return;
    KeepEffects([](PostProcessingEffect* effect) { return dynamic_cast<Lighting*>(effect) != nullptr; });
    Settle();
    // Opaque and half-transparent occluders, a light whose quad reaches past the screen and one whose source
    // is off its centre, with a shadow tint.
    MakeSprite(-120, 0, 30, 260, Vector4(0.2f, 0.2f, 0.2f, 1.0f));
    MakeSprite(150, 40, 200, 20, Vector4(0.8f, 0.4f, 0.1f, 0.5f));
    MakeSprite(0, -180, 500, 30, Vector4(0.1f, 0.6f, 0.3f, 1.0f));
    Light wide;
    wide.size = Vector2(1400.0f, 900.0f);
    wide.intensity = 1.5f;
    MakeObject(-200, 60).AddComponent(wide);
    Light offCentre;
    offCentre.size = Vector2(500.0f, 500.0f);
    offCentre.lightSource = Vector2(0.3f, -0.2f);
    offCentre.tint = Vector4(0.5f, 0.7f, 1.0f, 1.0f);
    offCentre.shadowTint = Vector4(0.1f, 0.1f, 0.3f, 1.0f);
    MakeObject(220, -40).AddComponent(offCentre);
    // A light beyond the left edge shining past a sprite at the edge: its ways leave the mask, where
    // samples read the edge texels.
    MakeSprite(-440, -100, 40, 120, Vector4(0.3f, 0.3f, 0.3f, 1.0f));
    Light beyond;
    beyond.size = Vector2(900.0f, 900.0f);
    beyond.tint = Vector4(1.0f, 0.4f, 0.4f, 1.0f);
    MakeObject(-600, -60).AddComponent(beyond);
    for (int frame = 0; frame < 3; ++frame)
        Frame();
    const auto lit = ReadCameraImage();

    WriteShader("lightEveryStep", "light", kEveryStepLight);
    Shader* everyStep = graphics->GetShader("lightEveryStep");
    ASSERT_TRUE(everyStep->IsUsable());
    for (auto& effect : graphics->GetEffects())
        effect = std::make_unique<Lighting>(1, graphics->GetShader("textured"),
                                            graphics->GetShader("directionalBlur"), everyStep,
                                            graphics->GetShader("renderAlpha"));
    for (int frame = 0; frame < 3; ++frame)
        Frame();
    const auto marched = ReadCameraImage();

    EXPECT_EQ(LargestDifference(lit, marched), 0.0f);
    // Light, shadow and the dark beyond the light's circle all took part.
    EXPECT_GT(*std::max_element(lit.begin(), lit.end()), 1.0f);
}

// The background samples the one texture its unit names instead of choosing among all sixteen through a
// switch; the picture must be the same, with its mipmaps and the day cycle's dusk.
TEST_F(CheaperFrame, TheBackgroundShowsWhatChoosingAmongEverySamplerShows)
{
    if (!ready)
        return;
    graphics->GetEffects().clear();
    BackgroundRenderer& background = *graphics->GetBackground();
    background.SetTexture(&TextureManager::GetTexture("BG1"));
    background.GetMaterial().data.SetVector4("tint", Vector4(0.9f, 1.0f, 0.8f, 1.0f));
    background.SetUseTime(true);
    Settle();
    // Frames that take no time keep the day cycle's clock where it is.
    Frame(0.0f);
    const auto direct = ReadCameraImage();

    WriteShader("backgroundSwitched", "background", kSwitchedBackground);
    Shader* switched = graphics->GetShader("backgroundSwitched");
    ASSERT_TRUE(switched->IsUsable());
    Material material(BackgroundRenderer::kMaterialName, switched, BackgroundRenderer::kOrder,
                      background.GetMaterial().GetRenderState());
    material.data = background.GetMaterial().data;
    background.SetMaterial(material);
    Frame(0.0f);
    const auto chosen = ReadCameraImage();

    EXPECT_EQ(LargestDifference(direct, chosen), 0.0f);
    EXPECT_GT(*std::max_element(direct.begin(), direct.end()), 0.1f);
}
