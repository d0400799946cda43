#include "Bloom.h"
#include "Camera.h"
#include "ColorEffects.h"
#include "DrawingFixture.h"
#include "Framebuffer.h"
#include "Graphics.h"
#include "Light.h"
#include "Mesh.h"
#include "RenderStats.h"
#include "Renderer.h"
#include "Shader.h"

#include <glad/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace
{
class BloomLevels : public DrawingTest
{
  protected:
    // The glow every scene of these tests starts from: a warm square and a cool bar above the threshold, under
    // a wide light at (lightX, lightY).
    void GlowingSpritesUnderALight(float lightX, float lightY)
    {
        MakeSprite(-250.0f, 100.0f, 30.0f, 30.0f, Vector4(3.0f, 2.0f, 1.0f, 1.0f));
        MakeSprite(180.0f, -120.0f, 120.0f, 8.0f, Vector4(1.5f, 2.5f, 3.5f, 1.0f));
        Light light;
        light.size = Vector2(500.0f, 500.0f);
        light.intensity = 2.0f;
        MakeObject(lightX, lightY).AddComponent(light);
    }

    // The two blurs drawn the plain way, five additive draws each reading its level of detail straight from
    // the mipmaps, from the threshold image the frame left in the bloom's threshold target; then as many
    // smoothing steps, each two plain draws per direction.
    std::vector<float> ReferenceBlur(const Bloom& bloom, int smoothingPasses = 0)
    {
        const Framebuffer& threshold = *bloom.GetThresholdTarget(MainCamera().windowContext);
        const std::uint32_t w = threshold.GetWidth();
        const std::uint32_t h = threshold.GetHeight();
        Framebuffer horizontal(w, h, true, false);
        Framebuffer vertical(w, h, true, false);
        Shader* blur = graphics->GetShader("directionalBlur");
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
        glBindVertexArray(Mesh::GetQuad().CurrentVertexArray());
        const float lod = bloom.lodOffset;
        const std::uint32_t deepest = lod + 8.0f <= 0.0f ? 0u : static_cast<std::uint32_t>(lod + 8.0f) + 1u;
        const float intensities[5] = {bloom.innerIntensity, bloom.midIntensity, bloom.outerIntensity,
                                      bloom.outermostIntensity, bloom.outermostIntensity * 0.5f};
        const struct
        {
            Framebuffer& target;
            const Framebuffer* mipmapped;
            Vector2 direction;
            float radius;
            float size;
        } passes[2] = {
            {horizontal, &threshold, Vector2(1.0f, 0.0f), bloom.horizontalRadius, static_cast<float>(w)},
            {vertical, &horizontal, Vector2(0.0f, 1.0f), bloom.verticalRadius, static_cast<float>(h)}};
        for (const auto& pass : passes)
        {
            pass.target.BindAndClear();
            glDepthMask(GL_FALSE);
            pass.mipmapped->BindMipmapped(deepest);
            blur->Use();
            blur->SetInt("tex", 0);
            blur->SetVector2("direction", pass.direction);
            blur->SetFloat("textureSize", pass.size);
            for (int draw = 0; draw < 5; ++draw)
            {
                blur->SetFloat("intensity", intensities[draw]);
                blur->SetFloat("radius",
                               pass.radius * std::pow(4.0f, static_cast<float>(draw)) * 0.5f * 1.5f);
                blur->SetFloat("lod", lod + 2.0f * static_cast<float>(draw));
                DrawIndexed(GL_TRIANGLES, 6);
            }
        }
        blur->SetFloat("intensity", 0.5f);
        for (int pass = 0; pass < smoothingPasses; ++pass)
        {
            const struct
            {
                Framebuffer& target;
                const Framebuffer& source;
                Vector2 direction;
                float radius;
                float size;
            } steps[2] = {
                {horizontal, vertical, Vector2(1.0f, 0.0f), bloom.horizontalRadius, static_cast<float>(w)},
                {vertical, horizontal, Vector2(0.0f, 1.0f), bloom.verticalRadius, static_cast<float>(h)}};
            for (const auto& step : steps)
            {
                step.target.BindAndClear();
                glDepthMask(GL_FALSE);
                step.source.BindMipmapped(2);
                blur->SetVector2("direction", step.direction);
                blur->SetFloat("textureSize", step.size);
                blur->SetFloat("radius", step.radius * 0.5f * 1.5f);
                blur->SetFloat("lod", 0.5f);
                DrawIndexed(GL_TRIANGLES, 6);
                blur->SetFloat("radius", step.radius * 2.0f * 1.5f);
                blur->SetFloat("lod", 1.5f);
                DrawIndexed(GL_TRIANGLES, 6);
            }
        }
        glBindVertexArray(0);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        return ReadTexture(vertical.GetColourTexture(), static_cast<int>(w), static_cast<int>(h));
    }
};

// The largest difference, relative to the larger of 1 and the reference texel: above 1 a half float's last
// bit is worth 1/1024 or more, and the two ways may round a sum to neighbouring halves.
float LargestRelativeDifference(const std::vector<float>& image, const std::vector<float>& reference)
{
    float largest = 0.0f;
    for (std::size_t i = 0; i < std::min(image.size(), reference.size()); ++i)
        largest =
            std::max(largest, std::fabs(image[i] - reference[i]) / std::max(1.0f, std::fabs(reference[i])));
    return largest;
}
} // namespace

// The blurs sum each level's rows once into strips instead of sampling every level for every pixel; for
// every level of detail (magnified, between levels, on a level, past the last level), radius and size,
// the blurred bloom equals the five plain draws within 1/1024; the scene and the bloom over it are drawn in
// one pass that gives the sum of the two.
TEST_F(BloomLevels, TheBlurredBloomEqualsTheFivePlainDrawsAtEveryLevelOfDetail)
{
    if (!ready)
        return;
    Settle();
    GlowingSpritesUnderALight(0.0f, 0.0f);
    MakeSprite(300.0f, 200.0f, 6.0f, 6.0f, Vector4(4.0f, 4.0f, 4.0f, 1.0f));
    MakeSprite(-310.0f, -230.0f, 40.0f, 40.0f, Vector4(2.0f, 0.5f, 3.0f, 1.0f));

    struct Case
    {
        const char* name;
        float lodOffset;
        float horizontalRadius;
        float verticalRadius;
    };
    const Case cases[] = {
        {"the match's blur", 0.5f, 1.0f, 1.0f},
        {"whole levels, as the credits draw it", 1.0f, 1.2f, 1.0f},
        {"magnified first draws", -2.75f, 2.0f, 0.5f},
        {"between levels with wide radii", 2.25f, 10.0f, 7.5f},
        {"past the last level", 9.5f, 1.0f, 3.0f},
        {"no radius", 0.5f, 0.0f, 0.0f},
    };
    Bloom& bloom = Effect<Bloom>();
    bloom.smoothingPasses = 0; // the vertical target then holds the two blurs' result
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        bloom.lodOffset = c.lodOffset;
        bloom.horizontalRadius = c.horizontalRadius;
        bloom.verticalRadius = c.verticalRadius;
        for (int frame = 0; frame < 2; ++frame)
            Frame();
        const Framebuffer& vertical = *bloom.GetVerticalTarget(MainCamera().windowContext);
        const std::vector<float> blurred =
            ReadTexture(vertical.GetColourTexture(), static_cast<int>(vertical.GetWidth()),
                        static_cast<int>(vertical.GetHeight()));
        const std::vector<float> reference = ReferenceBlur(bloom);
        EXPECT_LE(LargestRelativeDifference(blurred, reference), 1.0f / 1024.0f);
        // Real glow was compared, not two black targets.
        EXPECT_GT(*std::max_element(reference.begin(), reference.end()), 0.05f);
        EXPECT_EQ(DrawingGlErrors(), 0);
    }

    // With the bloom last in the chain, the image it wrote is the scene it read plus the stretched bloom,
    // as copying the scene and adding the bloom over it gives.
    KeepEffects([](PostProcessingEffect* effect) {
        return dynamic_cast<Tonemap*>(effect) == nullptr && dynamic_cast<Saturation*>(effect) == nullptr;
    });
    bloom.smoothingPasses = 2;
    bloom.lodOffset = 0.5f;
    bloom.addInPlace = false; // the composing pass is compared here; adding in place has its own test
    Frame();
    Camera& camera = MainCamera();
    const Framebuffer& scene = camera.GetCurrentTarget();
    const Framebuffer& result = camera.GetPreviousTarget();
    const auto w = static_cast<int>(result.GetWidth());
    const auto h = static_cast<int>(result.GetHeight());
    Framebuffer reference(result.GetWidth(), result.GetHeight(), false, false);
    reference.BindAndClear();
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glBindVertexArray(Mesh::GetQuad().CurrentVertexArray());
    Shader* copy = graphics->GetShader("textured");
    copy->Use();
    copy->SetInt("tex", 0);
    glBindTexture(GL_TEXTURE_2D, scene.GetColourTexture());
    DrawIndexed(GL_TRIANGLES, 6);
    glBindTexture(GL_TEXTURE_2D, bloom.GetVerticalTarget(camera.windowContext)->GetColourTexture());
    DrawIndexed(GL_TRIANGLES, 6);
    glBindVertexArray(0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    const std::vector<float> expected = ReadTexture(reference.GetColourTexture(), w, h);
    const std::vector<float> drawn = ReadTexture(result.GetColourTexture(), w, h);
    EXPECT_LE(LargestRelativeDifference(drawn, expected), 1.0f / 1024.0f);
    const std::vector<float> input = ReadTexture(scene.GetColourTexture(), w, h);
    EXPECT_GT(LargestRelativeDifference(drawn, input), 0.05f) << "the bloom added glow";
    EXPECT_EQ(DrawingGlErrors(), 0);
}

// After a frame with glow the bloom runs without waiting for this frame's threshold pass, which is never
// wrong (a bloom of nothing adds nothing); once a finished pass has seen the glow gone, the bloom waits
// for its threshold pass again and is skipped. Every frame shows what the chain without skipping shows.
TEST_F(BloomLevels, AfterAGlowingFrameTheBloomRunsWithoutWaitingAndIsSkippedOnceTheGlowHasGone)
{
    if (!ready)
        return;
    Settle();
    const Vector4 bright(3.0f, 2.5f, 2.0f, 1.0f);
    const Vector4 dim(0.4f, 0.3f, 0.2f, 1.0f);
    Renderer& lamp = *GetRenderer(MakeSprite(100.0f, 50.0f, 60.0f, 60.0f, bright));
    MakeSprite(-200.0f, -100.0f, 150.0f, 90.0f, Vector4(0.3f, 0.6f, 0.4f, 1.0f));
    // The light lifts the bright lamp above the bloom's threshold; the dim one stays below it.
    Light light;
    light.size = Vector2(300.0f, 300.0f);
    light.intensity = 1.0f;
    MakeObject(100.0f, 50.0f).AddComponent(light);

    // What every frame must show: the chain drawn without skipping anything.
    graphics->skipPassThroughEffects = false;
    Settle(2);
    const std::vector<float> glowing = ReadCameraImage();
    lamp.tint = dim;
    Settle(2);
    const std::vector<float> plain = ReadCameraImage();
    ASSERT_GT(LargestRelativeDifference(glowing, plain), 0.05f);

    graphics->skipPassThroughEffects = true;
    struct Step
    {
        const char* name;
        bool glow;
        bool bloomRuns;
    };
    const Step steps[] = {
        {"glow appears: the pass is waited for", true, true},
        {"glow goes on: no waiting", true, true},
        {"glow gone: the last frame glowed, so the bloom runs", false, true},
        {"glow seen gone: the bloom is skipped", false, false},
        {"still none", false, false},
        {"glow again: waited for and drawn at once", true, true},
    };
    for (const Step& step : steps)
    {
        SCOPED_TRACE(step.name);
        lamp.tint = step.glow ? bright : dim;
        const std::uint64_t before = GetRenderStats().drawCalls;
        Frame();
        const std::uint64_t draws = GetRenderStats().drawCalls - before;
        // Reading the image also lets the frame's threshold pass finish before the next frame.
        const std::vector<float> image = ReadCameraImage();
        EXPECT_LE(LargestRelativeDifference(image, step.glow ? glowing : plain), 1.0f / 1024.0f);
        // A running bloom draws its blurs and composite; a skipped one only its threshold pass.
        if (step.bloomRuns)
            EXPECT_GT(draws, 25u);
        else
            EXPECT_LT(draws, 15u);
    }
    EXPECT_EQ(DrawingGlErrors(), 0);
}

// Adding the glow straight over the image spares copying the image into the other target; for several
// settings the frame shows what composing it shows, within 1/1024, and really holds glow. With "Only_Bloom"
// the image is replaced, so the glow is not added in place.
TEST_F(BloomLevels, TheGlowAddedInPlaceShowsWhatComposingItShows)
{
    if (!ready)
        return;
    Settle();
    GlowingSpritesUnderALight(-100.0f, 50.0f);
    MakeSprite(0.0f, 0.0f, 300.0f, 200.0f, Vector4(0.3f, 0.5f, 0.4f, 1.0f));

    Bloom& bloom = Effect<Bloom>();
    const auto draw = [&](bool inPlace) {
        bloom.addInPlace = inPlace;
        Settle(3);
        return ReadCameraImage();
    };
    bloom.intensity = 0.0f;
    const std::vector<float> plain = draw(true);

    struct Case
    {
        const char* name;
        float intensity;
        float lodOffset;
        float radius;
        std::int32_t smoothingPasses;
        bool onlyBloom;
    };
    const Case cases[] = {
        {"the match's bloom", 0.6f, 0.5f, 1.0f, 2, false},
        {"strong and wide", 3.0f, 2.25f, 6.0f, 3, false},
        {"no smoothing", 1.5f, 0.5f, 1.0f, 0, false},
        {"only the glow", 0.6f, 0.5f, 1.0f, 2, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        bloom.intensity = c.intensity;
        bloom.lodOffset = c.lodOffset;
        bloom.horizontalRadius = c.radius;
        bloom.verticalRadius = c.radius;
        bloom.smoothingPasses = c.smoothingPasses;
        bloom.onlyBloom = c.onlyBloom;
        const std::vector<float> composed = draw(false);
        const std::vector<float> added = draw(true);
        EXPECT_LE(LargestRelativeDifference(added, composed), 1.0f / 1024.0f);
        EXPECT_GT(LargestRelativeDifference(added, plain), 0.05f) << "the frame holds glow";
        EXPECT_EQ(DrawingGlErrors(), 0);
        // Asked directly after the frame: only an image that is added to is processed in place.
        EXPECT_EQ(bloom.ApplyInPlace(MainCamera()), !c.onlyBloom);
        bloom.addInPlace = false;
        EXPECT_FALSE(bloom.ApplyInPlace(MainCamera()));
    }
    bloom.onlyBloom = false;
    EXPECT_EQ(DrawingGlErrors(), 0);
}

// The blurs' strips read each texel their taps cover once, with weights summed per phase of the pixel in
// its texel (or per pixel for short levels), from levels the bloom halves itself when the sides are powers
// of two; for radii, levels of detail and smoothing counts, on the first frame's sizes (not powers of two:
// generated mipmaps, plain taps where weights do not fit) and later ones, the smoothed glow equals the
// plain draws within 1/1024, and "Only_Bloom" shows it stretched.
TEST_F(BloomLevels, TheSmoothedGlowEqualsThePlainDrawsForEveryRadiusSizeAndSmoothingCount)
{
    if (!ready)
        return;
    Settle();
    GlowingSpritesUnderALight(0.0f, 0.0f);
    MakeSprite(300.0f, 200.0f, 6.0f, 6.0f, Vector4(4.0f, 4.0f, 4.0f, 1.0f));
    MakeSprite(-440.0f, -330.0f, 20.0f, 20.0f, Vector4(6.0f, 1.0f, 2.0f, 1.0f)); // at the image's corner
    ASSERT_TRUE(graphics->GetShader("blurTexels")->IsUsable());

    struct Case
    {
        const char* name;
        float lodOffset;
        float horizontalRadius;
        float verticalRadius;
        std::int32_t smoothingPasses;
        bool firstFrame;
    };
    const Case cases[] = {
        {"the match's glow", 0.5f, 1.0f, 1.0f, 2, false},
        {"the match's glow on a first frame", 0.5f, 1.0f, 1.0f, 2, true},
        {"whole levels, one smoothing step", 1.0f, 1.2f, 1.0f, 1, false},
        {"wide radii, three steps", 2.25f, 10.0f, 7.5f, 3, false},
        {"odd radii on a first frame", -2.75f, 2.3f, 0.45f, 3, true},
        {"no radius", 0.5f, 0.0f, 0.0f, 1, false},
    };
    auto& effects = graphics->GetEffects();
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        if (c.firstFrame)
        {
            // A bloom that has not drawn yet makes its targets a quarter of the camera: 160 x 120.
            for (auto& effect : effects)
                if (dynamic_cast<Bloom*>(effect.get()) != nullptr)
                    effect = std::make_unique<Bloom>(1, graphics->GetShader("textured"),
                                                     graphics->GetShader("directionalBlur"),
                                                     graphics->GetShader("threshold"));
        }
        Bloom& bloom = Effect<Bloom>();
        bloom.lodOffset = c.lodOffset;
        bloom.horizontalRadius = c.horizontalRadius;
        bloom.verticalRadius = c.verticalRadius;
        bloom.smoothingPasses = c.smoothingPasses;
        for (int frame = c.firstFrame ? 1 : 0; frame < 2; ++frame)
            Frame();
        const Framebuffer& vertical = *bloom.GetVerticalTarget(MainCamera().windowContext);
        if (c.firstFrame)
        {
            ASSERT_EQ(vertical.GetWidth() * 1000 + vertical.GetHeight(), 160120u);
        }
        const std::vector<float> glow = ReadTexture(vertical.GetColourTexture(), static_cast<int>(vertical.GetWidth()),
                                                    static_cast<int>(vertical.GetHeight()));
        const std::vector<float> reference = ReferenceBlur(bloom, c.smoothingPasses);
        EXPECT_LE(LargestRelativeDifference(glow, reference), 1.0f / 1024.0f);
        EXPECT_GT(*std::max_element(reference.begin(), reference.end()), 0.05f);
        EXPECT_EQ(DrawingGlErrors(), 0);
    }

    // Only the glow, stretched over the image, as the copy shader draws the plain glow.
    KeepEffects([](PostProcessingEffect* effect) { return dynamic_cast<Bloom*>(effect) != nullptr; });
    Bloom& bloom = Effect<Bloom>();
    bloom.onlyBloom = true;
    bloom.lodOffset = 0.5f;
    bloom.horizontalRadius = 1.5f;
    bloom.verticalRadius = 1.0f;
    bloom.smoothingPasses = 2;
    Frame();
    const std::vector<float> shown = ReadCameraImage();
    const Framebuffer& threshold = *bloom.GetThresholdTarget(MainCamera().windowContext);
    Framebuffer plainGlow(threshold.GetWidth(), threshold.GetHeight(), false, false);
    const std::vector<float> reference = ReferenceBlur(bloom, 2);
    plainGlow.BindAndClear();
    glBindTexture(GL_TEXTURE_2D, plainGlow.GetColourTexture());
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, static_cast<GLsizei>(threshold.GetWidth()),
                    static_cast<GLsizei>(threshold.GetHeight()), GL_RGBA, GL_FLOAT, reference.data());
    const Framebuffer& image = MainCamera().GetPreviousTarget();
    Framebuffer stretched(image.GetWidth(), image.GetHeight(), false, false);
    stretched.BindAndClear();
    glDepthMask(GL_FALSE);
    glDisable(GL_BLEND);
    glBindVertexArray(Mesh::GetQuad().CurrentVertexArray());
    Shader* copy = graphics->GetShader("textured");
    copy->Use();
    copy->SetInt("tex", 0);
    glBindTexture(GL_TEXTURE_2D, plainGlow.GetColourTexture());
    DrawIndexed(GL_TRIANGLES, 6);
    glBindVertexArray(0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    const std::vector<float> expected = ReadTexture(stretched.GetColourTexture(), static_cast<int>(image.GetWidth()),
                                                    static_cast<int>(image.GetHeight()));
    EXPECT_LE(LargestRelativeDifference(shown, expected), 1.0f / 1024.0f);
    EXPECT_GT(*std::max_element(expected.begin(), expected.end()), 0.05f);
    bloom.onlyBloom = false;
    EXPECT_EQ(DrawingGlErrors(), 0);
}
