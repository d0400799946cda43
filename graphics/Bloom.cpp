#include "Bloom.h"

#include "Camera.h"
#include "FullScreenPass.h"
#include "Mesh.h"
#include "PassTimer.h"
#include "RenderStats.h"
#include "Shader.h"

#include <glad/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace
{
struct BlurDraw
{
    float radiusFactor;
    float lodStep;
};

// Each draw reaches four times further than the one before and reads a coarser mipmap level.
constexpr BlurDraw kBlurDraws[5] = {{0.5f, 0.0f}, {2.0f, 2.0f}, {8.0f, 4.0f}, {32.0f, 6.0f}, {128.0f, 8.0f}};
constexpr float kRadiusScale = 1.5f;
// The two draws of every smoothing step read these levels of detail.
constexpr float kSmoothingLods[2] = {0.5f, 1.5f};

const Framebuffer* Find(const std::map<void*, std::unique_ptr<Framebuffer>>& targets, void* key)
{
    auto found = targets.find(key);
    return found == targets.end() ? nullptr : found->second.get();
}

bool Usable(const Shader* shader)
{
    return shader != nullptr && shader->IsUsable();
}

// The deepest mipmap level a blur draw at this level of detail reads (linear filtering between levels).
std::uint32_t DeepestLevelRead(float lod)
{
    return lod <= 0.0f ? 0u : static_cast<std::uint32_t>(std::floor(lod)) + 1u;
}

// True when every texel of the target's level 0 is zero (either sign).
bool IsBlack(const Framebuffer& target, std::vector<std::uint16_t>& texels)
{
    texels.resize(static_cast<std::size_t>(target.GetWidth()) * target.GetHeight() * 3);
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 2);
    glBindTexture(GL_TEXTURE_2D, target.GetColourTexture());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_HALF_FLOAT, texels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    return std::all_of(texels.begin(), texels.end(), [](std::uint16_t half) { return (half & 0x7FFFu) == 0; });
}
} // namespace

Bloom::Bloom(std::uint32_t dataVersion, Shader* copy, Shader* blur, Shader* thresholdPass)
    : PostProcessingEffect(dataVersion), thresholdShader(thresholdPass), blurShader(blur), copyShader(copy)
{
}

Bloom::~Bloom() = default;

const Framebuffer* Bloom::GetThresholdTarget(void* windowContext) const
{
    return Find(thresholdTargets, windowContext);
}

const Framebuffer* Bloom::GetHorizontalTarget(void* windowContext) const
{
    return Find(horizontalTargets, windowContext);
}

const Framebuffer* Bloom::GetVerticalTarget(void* windowContext) const
{
    return Find(verticalTargets, windowContext);
}

void Bloom::PrepareTargets(const Camera& camera)
{
    void* key = camera.windowContext;
    const auto w = static_cast<std::uint32_t>(std::max(camera.width / 4, 1));
    const auto h = static_cast<std::uint32_t>(std::max(camera.height / 4, 1));
    if (thresholdTargets.find(key) == thresholdTargets.end())
    {
        thresholdTargets[key] = std::make_unique<Framebuffer>(w, h, true, false);
        horizontalTargets[key] = std::make_unique<Framebuffer>(w, h, true, false);
        verticalTargets[key] = std::make_unique<Framebuffer>(w, h, true, false);
        return;
    }
    thresholdTargets[key]->Resize(w, h, true);
    horizontalTargets[key]->Resize(w, h, true);
    verticalTargets[key]->Resize(w, h, true);
}

void Bloom::DrawQuad() const
{
    DrawIndexed(GL_TRIANGLES, 6);
}

void Bloom::BlurPasses(Framebuffer& target, const Framebuffer& source, const Vector2& direction, float radius,
                       float textureSize)
{
    target.BindAndClear();
    source.BindMipmapped(DeepestLevelRead(lodOffset + kBlurDraws[4].lodStep));
    blurShader->SetVector2("direction", direction);
    blurShader->SetFloat("textureSize", textureSize);
    const float intensities[5] = {innerIntensity, midIntensity, outerIntensity, outermostIntensity,
                                  outermostIntensity * 0.5f};
    for (int draw = 0; draw < 5; ++draw)
    {
        blurShader->SetFloat("intensity", intensities[draw]);
        blurShader->SetFloat("radius", radius * kBlurDraws[draw].radiusFactor * kRadiusScale);
        blurShader->SetFloat("lod", lodOffset + kBlurDraws[draw].lodStep);
        DrawQuad();
    }
}

bool Bloom::IsUsable()
{
    if (Usable(thresholdShader) && Usable(blurShader) && Usable(copyShader))
        return true;
    if (!reportedUnusable)
    {
        std::printf("ERROR: Bloom shaders are unusable; the image passes through unchanged.\n");
        reportedUnusable = true;
    }
    return false;
}

void Bloom::DrawThreshold(const Camera& camera, const Framebuffer& image)
{
    Framebuffer& thresholdTarget = *thresholdTargets[camera.windowContext];
    glBlendFunc(GL_ONE, GL_ONE);
    glDepthFunc(GL_ALWAYS);
    glBindVertexArray(Mesh::GetQuad().CurrentVertexArray());
    thresholdTarget.BindAndClear();
    glDepthMask(GL_FALSE);
    glBindTexture(GL_TEXTURE_2D, image.GetColourTexture());
    thresholdShader->Use();
    thresholdShader->SetInt("tex", 0);
    thresholdShader->SetVector3("threshold", threshold);
    thresholdShader->SetFloat("intensity", intensity);
    DrawQuad();
}

bool Bloom::PassesImageThrough(Camera& camera)
{
    thresholdDrawn = false;
    if (!IsUsable())
        return true;
    if (onlyBloom)
        return false;
    // Nothing above the threshold blurs to nothing, and nothing added over the scene is the scene.
    PrepareTargets(camera);
    DrawThreshold(camera, camera.GetCurrentTarget());
    thresholdDrawn = true;
    return IsBlack(*thresholdTargets[camera.windowContext], thresholdTexels);
}

void Bloom::Apply(Camera& camera)
{
    if (!IsUsable())
    {
        // The target is already cleared: leaving it so would black out the whole frame.
        CopyPreviousImage(camera);
        return;
    }
    void* key = camera.windowContext;
    const Framebuffer& previous = camera.GetPreviousTarget();
    PassTimer::Mark("bloom threshold");
    if (!thresholdDrawn)
    {
        PrepareTargets(camera);
        DrawThreshold(camera, previous);
    }
    thresholdDrawn = false;
    Framebuffer& thresholdTarget = *thresholdTargets[key];
    Framebuffer& horizontal = *horizontalTargets[key];
    Framebuffer& vertical = *verticalTargets[key];
    glBlendFunc(GL_ONE, GL_ONE);
    glDepthFunc(GL_ALWAYS);
    glBindVertexArray(Mesh::GetQuad().CurrentVertexArray());

    PassTimer::Mark("bloom blur");
    blurShader->Use();
    blurShader->SetInt("tex", 0);
    const auto width = static_cast<float>(horizontal.GetWidth());
    const auto height = static_cast<float>(horizontal.GetHeight());
    BlurPasses(horizontal, thresholdTarget, Vector2(1.0f, 0.0f), horizontalRadius, width);
    BlurPasses(vertical, horizontal, Vector2(0.0f, 1.0f), verticalRadius, height);

    PassTimer::Mark("bloom smoothing");
    blurShader->SetFloat("intensity", 0.5f);
    for (std::int32_t pass = 0; pass < smoothingPasses; ++pass)
    {
        const struct
        {
            Framebuffer& target;
            const Framebuffer& source;
            Vector2 direction;
            float radius;
            float size;
        } steps[2] = {{horizontal, vertical, Vector2(1.0f, 0.0f), horizontalRadius, width},
                      {vertical, horizontal, Vector2(0.0f, 1.0f), verticalRadius, height}};
        for (const auto& step : steps)
        {
            step.target.BindAndClear();
            step.source.BindMipmapped(DeepestLevelRead(kSmoothingLods[1]));
            blurShader->SetVector2("direction", step.direction);
            blurShader->SetFloat("textureSize", step.size);
            blurShader->SetFloat("radius", step.radius * 0.5f * kRadiusScale);
            blurShader->SetFloat("lod", kSmoothingLods[0]);
            DrawQuad();
            blurShader->SetFloat("radius", step.radius * 2.0f * kRadiusScale);
            blurShader->SetFloat("lod", kSmoothingLods[1]);
            DrawQuad();
        }
    }

    PassTimer::Mark("bloom composite");
    camera.GetCurrentTarget().BindAndClear();
    glDepthMask(GL_FALSE);
    glBindTexture(GL_TEXTURE_2D, previous.GetColourTexture());
    copyShader->Use();
    copyShader->SetInt("tex", 0);
    if (!onlyBloom)
        DrawQuad();
    glBlendFunc(GL_ONE, GL_ONE);
    // The quarter-size bloom is stretched over the whole target, which reads level 0 only.
    vertical.BindMipmapped(0);
    DrawQuad();
    glBindVertexArray(0);
}

void Bloom::DrawEditor()
{
    DrawFieldEditors(Descriptors(), *this);
}

namespace
{
constexpr float kMaxThreshold = 10.0f;
constexpr std::int32_t kMaxSmoothingPasses = 10;

FieldOptions Bounded(float step, float maximum)
{
    return FromVersion(1, step, 0.0f, maximum);
}

FieldOptions EditorOnly()
{
    FieldOptions options = FromVersion(1);
    options.save = false;
    return options;
}

// A float field clamped to [0, maximum] by its setter.
void AddBounded(DescriptorList<Bloom>& fields, const char* name, float step, float maximum,
                float Bloom::*field)
{
    fields.push_back(std::make_unique<Metafloat<Bloom>>(
        name, Bounded(step, maximum), [field](const Bloom& e) { return e.*field; },
        [field, maximum](Bloom& e, const float& v) { SetEffectField(e.*field, v, 0.0f, maximum); }));
}

void AddSwitch(DescriptorList<Bloom>& fields, const char* name, bool Bloom::*field)
{
    fields.push_back(std::make_unique<Metabool<Bloom>>(
        name, EditorOnly(), [field](const Bloom& e) { return e.*field; },
        [field](Bloom& e, const bool& v) { e.*field = v; }));
}
} // namespace

const DescriptorList<Bloom>& Bloom::Descriptors()
{
    static const DescriptorList<Bloom> list = [] {
        DescriptorList<Bloom> fields;
        fields.push_back(std::make_unique<MetaVector3<Bloom>>(
            "Threshold", Bounded(0.01f, kMaxThreshold), [](const Bloom& e) { return e.threshold; },
            [](Bloom& e, const Vector3& v) { SetEffectField(e.threshold, v, 0.0f, kMaxThreshold); }));
        AddBounded(fields, "Intensity", 0.01f, 20.0f, &Bloom::intensity);
        AddBounded(fields, "Horizontal_Radius", 0.01f, 10.0f, &Bloom::horizontalRadius);
        AddBounded(fields, "Vertical_Radius", 0.01f, 10.0f, &Bloom::verticalRadius);
        AddBounded(fields, "Inner_Intensity", 0.01f, 5.0f, &Bloom::innerIntensity);
        AddBounded(fields, "Mid_Intensity", 0.01f, 5.0f, &Bloom::midIntensity);
        AddBounded(fields, "Outer_Intensity", 0.01f, 5.0f, &Bloom::outerIntensity);
        AddBounded(fields, "Outermost_Intensity", 0.01f, 5.0f, &Bloom::outermostIntensity);
        AddSwitch(fields, "Only_Bloom", &Bloom::onlyBloom);
        fields.push_back(std::make_unique<Metafloat<Bloom>>(
            "LOD_Offset", FromVersion(1, 0.005f), [](const Bloom& e) { return e.lodOffset; },
            [](Bloom& e, const float& v) { SetEffectField(e.lodOffset, v); }));
        AddSwitch(fields, "AB_Test", &Bloom::abTest);
        fields.push_back(std::make_unique<Metaint<Bloom>>(
            "SmoothingPasses", Bounded(0.05f, static_cast<float>(kMaxSmoothingPasses)),
            [](const Bloom& e) { return e.smoothingPasses; },
            [](Bloom& e, const std::int32_t& v) {
                e.smoothingPasses = std::clamp(v, 0, kMaxSmoothingPasses);
            }));
        return fields;
    }();
    return list;
}
