#include "Lighting.h"

#include "Camera.h"
#include "FullScreenPass.h"
#include "PassTimer.h"
#include "RenderLine.h"
#include "Shader.h"
#include "TextureManager.h"

#include <glad/gl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

Lighting* gLighting = nullptr;

namespace
{
constexpr std::int32_t kOcclusionOrder = 0;
constexpr int kTargetDivisor = 4;

const Framebuffer* Find(const std::map<std::size_t, std::unique_ptr<Framebuffer>>& targets, std::size_t key)
{
    auto found = targets.find(key);
    return found == targets.end() ? nullptr : found->second.get();
}

void Prepare(std::map<std::size_t, std::unique_ptr<Framebuffer>>& targets, std::size_t key, std::uint32_t w,
             std::uint32_t h)
{
    auto& target = targets[key];
    if (target == nullptr)
    {
        target = std::make_unique<Framebuffer>(w, h, false, true);
        return;
    }
    target->Resize(w, h, false);
}

bool Usable(const Shader* shader)
{
    return shader != nullptr && shader->IsUsable();
}

// The unit quad every occlusion item and every light is drawn as.
const std::array<Vector3, 4> kQuadCorners = {Vector3(-0.5f, -0.5f, 1.0f), Vector3(0.5f, -0.5f, 1.0f),
                                             Vector3(0.5f, 0.5f, 1.0f), Vector3(-0.5f, 0.5f, 1.0f)};
// How far occlusion bounds are widened, in mask texels, and where bounds at the mask's edge reach.
constexpr float kOccluderMargin = 2.0f;
constexpr float kBeyondMask = 1e9f;
// The light shader's room for occlusion bounds.
constexpr std::size_t kMaxOccluders = 32;

// The bounds (low x, low y, high x, high y) of the points in mask coordinates (0..1 across the screen).
template <std::size_t N> Vector4 MaskBounds(const Matrix3& modelScreen, const std::array<Vector3, N>& points)
{
    Vector4 bounds(INFINITY, INFINITY, -INFINITY, -INFINITY);
    for (const Vector3& point : points)
    {
        const Vector3 screen = modelScreen * point;
        const float x = screen.x * 0.5f + 0.5f;
        const float y = screen.y * 0.5f + 0.5f;
        bounds = Vector4(std::min(bounds.x, x), std::min(bounds.y, y), std::max(bounds.z, x),
                         std::max(bounds.w, y));
    }
    return bounds;
}

Vector4 Widen(const Vector4& bounds, const Vector2& by)
{
    return Vector4(bounds.x - by.x, bounds.y - by.y, bounds.z + by.x, bounds.w + by.y);
}

// Binds the target and sets the viewport to it, keeping what it holds.
void BindWithoutClearing(const Framebuffer& target)
{
    glBindFramebuffer(GL_FRAMEBUFFER, target.GetFramebuffer());
    glViewport(0, 0, static_cast<GLsizei>(target.GetWidth()), static_cast<GLsizei>(target.GetHeight()));
}
} // namespace

Lighting::Lighting(std::uint32_t dataVersion, Shader* copy, Shader* blur, Shader* light, Shader* occlusion)
    : PostProcessingEffect(dataVersion), occlusionShader(occlusion), lightShader(light), blurShader(blur),
      copyShader(copy)
{
    if (occlusionShader != nullptr)
    {
        const ShaderData& layout = occlusionShader->GetTemplate();
        occlusionInputs = {layout.FindInput("modelWorld", satMatrix3), layout.FindInput("texture", satUInt),
                           layout.FindInput("obfuscation", satFloat)};
    }
    occlusionBatch = std::make_unique<RenderLine>(kOcclusionOrder, occlusionShader,
                                                  MaterialRenderState(bmOneOne, false, kDepthAlways));
    // The chain owns every effect; the process-wide pointer only borrows the newest lighting effect.
    gLighting = this;
}

Lighting::~Lighting()
{
    if (gLighting == this)
    {
        gLighting = nullptr;
    }
}

void Lighting::AddOcclusion(const Matrix3& modelWorld, Texture* texture, float obfuscation)
{
    if (texture == nullptr)
        texture = &TextureManager::GetTexture(TextureManager::kWhitePixelName);
    if (occlusionUsed == occlusionRecords.size())
        occlusionRecords.emplace_back();
    OcclusionRecord& record = occlusionRecords[occlusionUsed];
    record.modelWorld = modelWorld;
    record.texture = texture;
    record.obfuscation = obfuscation;
    ++occlusionUsed;
}

void Lighting::WriteOcclusionItems() const
{
    for (; occlusionWritten < occlusionUsed; ++occlusionWritten)
    {
        if (occlusionWritten == occlusionItems.size())
            occlusionItems.push_back(occlusionShader != nullptr ? occlusionShader->GetTemplate()
                                                                : ShaderData{});
        ShaderData& item = occlusionItems[occlusionWritten];
        const OcclusionRecord& record = occlusionRecords[occlusionWritten];
        // Every item copies the occlusion shader's layout, so the inputs found once fit them all.
        if (!item.SetMatrix3(occlusionInputs.modelWorld, record.modelWorld))
            item.SetMatrix3("modelWorld", record.modelWorld);
        if (!item.SetUInt(occlusionInputs.texture, record.texture))
            item.SetUInt("texture", record.texture);
        if (!item.SetFloat(occlusionInputs.obfuscation, record.obfuscation))
            item.SetFloat("obfuscation", record.obfuscation);
    }
}

const std::vector<ShaderData>& Lighting::GetOcclusionItems() const
{
    WriteOcclusionItems();
    return occlusionItems;
}

void Lighting::AddLight(const LightRecord& record)
{
    records.push_back(record);
}

void Lighting::DropFrame()
{
    records.clear();
    occlusionBatch->Reset();
    occlusionUsed = 0;
    occlusionWritten = 0;
}

const Framebuffer* Lighting::GetMaskTarget(std::size_t windowIndex) const
{
    return Find(maskTargets, windowIndex);
}

const Framebuffer* Lighting::GetLightTarget(std::size_t windowIndex) const
{
    return Find(lightTargets, windowIndex);
}

const Framebuffer* Lighting::GetResultTarget(std::size_t windowIndex) const
{
    return Find(resultTargets, windowIndex);
}

bool Lighting::IsUsable()
{
    const bool usable =
        Usable(lightShader) && Usable(blurShader) && Usable(copyShader) && Usable(occlusionShader);
    if (!usable && !reportedUnusable)
    {
        std::printf("ERROR: Lighting shaders are unusable; the image passes through unchanged.\n");
        reportedUnusable = true;
    }
    return usable;
}

bool Lighting::PassesImageThrough(Camera&)
{
    const bool usable = IsUsable();
    if (!records.empty() && usable)
        return false;
    DropFrame();
    return true;
}

void Lighting::Apply(Camera& camera)
{
    if (records.empty() || !IsUsable())
    {
        PassThrough(camera);
        return;
    }
    DrawBlurredLight(camera);
    PassTimer::Mark("lighting composite");
    Composite(camera);
}

bool Lighting::ApplyInPlace(Camera& camera)
{
    // Only the light is shown when the scene is left out, so the image is replaced, not added to.
    if (!addInPlace || onlyLighting || records.empty() || !IsUsable())
        return false;
    glActiveTexture(GL_TEXTURE0);
    DrawBlurredLight(camera);
    PassTimer::Mark("lighting add");
    // The scene plus the light, with the (ONE, ONE) blend of the light pass still in force, is what the
    // composite makes from a cleared target; adding straight over the scene spares copying it.
    BindWithoutClearing(camera.GetCurrentTarget());
    copyShader->Use();
    copyShader->SetInt("tex", 0);
    BindImage(resultTargets[camera.windowIndex]->GetColourTexture());
    DrawQuadOnce();
    return true;
}

void Lighting::DrawBlurredLight(Camera& camera)
{
    PrepareTargets(camera);
    PassTimer::Mark("lighting mask");
    DrawMask(camera);
    PassTimer::Mark("lighting lights");
    DrawLights(camera);
    PassTimer::Mark("lighting blur");
    BlurLights(camera);
}

void Lighting::PassThrough(Camera& camera)
{
    CopyPreviousImage(camera);
    DropFrame();
}

void Lighting::PrepareTargets(Camera& camera)
{
    const Framebuffer& image = camera.GetCurrentTarget();
    // A quarter of the image, but never an empty (incomplete) target.
    const std::uint32_t w = std::max<std::uint32_t>(image.GetWidth() / kTargetDivisor, 1);
    const std::uint32_t h = std::max<std::uint32_t>(image.GetHeight() / kTargetDivisor, 1);
    const std::size_t key = camera.windowIndex;
    Prepare(maskTargets, key, w, h);
    Prepare(lightTargets, key, w, h);
    Prepare(blurTargets, key, w, h);
    Prepare(resultTargets, key, w, h);
}

void Lighting::NoteOccluderBounds(Camera& camera)
{
    occluderBounds.clear();
    occlusionUnbounded = false;
    const Framebuffer& mask = *maskTargets[camera.windowIndex];
    const Vector2 texel(1.0f / static_cast<float>(mask.GetWidth()),
                        1.0f / static_cast<float>(mask.GetHeight()));
    const Matrix3& worldScreen = camera.GetWorldScreen();
    for (std::size_t i = 0; i < occlusionUsed; ++i)
    {
        Vector4 bounds = MaskBounds(worldScreen * occlusionRecords[i].modelWorld, kQuadCorners);
        // Only texels whose centres lie inside are drawn, and a bilinear sample reads texels less than one
        // texel away; the rest of the widening covers rounding.
        bounds = Widen(bounds, texel * kOccluderMargin);
        // A quad wholly off the mask drew nothing into it.
        if (bounds.z < 0.0f || bounds.x > 1.0f || bounds.w < 0.0f || bounds.y > 1.0f)
            continue;
        // A sample beyond the mask's edge reads the edge texels, so bounds at an edge reach past it.
        if (bounds.x <= 0.0f)
            bounds.x = -kBeyondMask;
        if (bounds.y <= 0.0f)
            bounds.y = -kBeyondMask;
        if (bounds.z >= 1.0f)
            bounds.z = kBeyondMask;
        if (bounds.w >= 1.0f)
            bounds.w = kBeyondMask;
        // A quad that is not a number anywhere makes every way suspect.
        if (!(std::isfinite(bounds.x) && std::isfinite(bounds.y) && std::isfinite(bounds.z) &&
              std::isfinite(bounds.w)))
            occlusionUnbounded = true;
        occluderBounds.push_back(bounds);
    }
}

void Lighting::SetOccludersNear(const LightRecord& record, const Matrix3& worldScreen)
{
    const Matrix3 modelScreen = worldScreen * record.modelWorld;
    const Vector3 sourceCorner(record.lightSource.x, record.lightSource.y, 1.0f);
    const std::array<Vector3, 5> reachPoints = {kQuadCorners[0], kQuadCorners[1], kQuadCorners[2],
                                                kQuadCorners[3], sourceCorner};
    // Every way from a pixel of the light's quad to its source lies within these bounds.
    const Vector4 reach = MaskBounds(modelScreen, reachPoints);
    occludersNear.clear();
    for (const Vector4& bounds : occluderBounds)
        if (bounds.x <= reach.z && bounds.z >= reach.x && bounds.y <= reach.w && bounds.w >= reach.y)
            occludersNear.push_back(bounds);
    const bool listed = !occlusionUnbounded && occludersNear.size() <= kMaxOccluders &&
                        std::isfinite(reach.x) && std::isfinite(reach.y) && std::isfinite(reach.z) &&
                        std::isfinite(reach.w);
    const GLuint program = lightShader->GetProgram();
    glUniform1i(glGetUniformLocation(program, "occluderCount"),
                listed ? static_cast<GLint>(occludersNear.size()) : -1);
    if (listed && !occludersNear.empty())
        glUniform4fv(glGetUniformLocation(program, "occluders"), static_cast<GLsizei>(occludersNear.size()),
                     &occludersNear[0].x);
}

void Lighting::DrawMask(Camera& camera)
{
    NoteOccluderBounds(camera);
    maskTargets[camera.windowIndex]->BindAndClear();
    WriteOcclusionItems();
    for (std::size_t i = 0; i < occlusionUsed; ++i)
    {
        occlusionBatch->Add(&occlusionItems[i]);
    }
    occlusionBatch->SortByDepth();
    DepthSlice slice{0, 1.0f / static_cast<float>(occlusionUsed + 2)};
    occlusionBatch->Draw(camera.GetWorldScreen(), slice);
    occlusionBatch->Reset();
    occlusionUsed = 0;
    occlusionWritten = 0;
}

void Lighting::DrawLights(Camera& camera)
{
    const Framebuffer& lightTarget = *lightTargets[camera.windowIndex];
    lightTarget.BindAndClear();
    TextureManager::UnbindAllUnits();
    // The mask sits on unit 1 outside the unit table; each light's own texture then takes unit 0.
    glActiveTexture(GL_TEXTURE1);
    BindImage(maskTargets[camera.windowIndex]->GetColourTexture());
    glBlendFunc(GL_ONE, GL_ONE);
    glDepthMask(GL_FALSE);
    glDepthFunc(GL_ALWAYS);

    lightShader->Use();
    lightShader->SetMatrix3("worldScreen", camera.GetWorldScreen());
    lightShader->SetInt("tex", 0);
    lightShader->SetInt("alphaTex", 1);
    lightShader->SetFloat("aspectRatio", camera.aspect);
    for (const LightRecord& record : records)
    {
        Texture& texture = record.texture != nullptr
                               ? *record.texture
                               : TextureManager::GetTexture(TextureManager::kWhitePixelName);
        TextureManager::BindToUnit(texture);
        lightShader->SetMatrix3("modelWorld", record.modelWorld);
        lightShader->SetVector2("lightSource", record.lightSource);
        lightShader->SetVector3("tint", Vector3(record.tint.x, record.tint.y, record.tint.z));
        lightShader->SetVector3("minTint", Vector3(record.minTint.x, record.minTint.y, record.minTint.z));
        lightShader->SetFloat("intensity", record.intensity);
        lightShader->SetFloat("innerRadius", record.innerRadius);
        SetOccludersNear(record, camera.GetWorldScreen());
        DrawQuadOnce();
        TextureManager::UnbindAllUnits();
    }
    records.clear();
    TextureManager::UnbindAllUnits();
    glActiveTexture(GL_TEXTURE1);
    BindImage(0);
    glActiveTexture(GL_TEXTURE0);
}

void Lighting::BlurLights(Camera& camera)
{
    const Framebuffer& lightTarget = *lightTargets[camera.windowIndex];
    blurTargets[camera.windowIndex]->BindAndClear();
    BindImage(lightTarget.GetColourTexture());
    blurShader->Use();
    blurShader->SetInt("tex", 0);
    blurShader->SetFloat("radius", blurRadius);
    blurShader->SetVector2("direction", Vector2(1.0f, 0.0f));
    blurShader->SetFloat("textureSize", static_cast<float>(lightTarget.GetWidth()));
    blurShader->SetFloat("intensity", 1.0f);
    blurShader->SetFloat("lod", 0.0f);
    DrawQuadOnce();

    resultTargets[camera.windowIndex]->BindAndClear();
    BindImage(blurTargets[camera.windowIndex]->GetColourTexture());
    blurShader->SetVector2("direction", Vector2(0.0f, 1.0f));
    blurShader->SetFloat("textureSize", static_cast<float>(lightTarget.GetHeight()));
    DrawQuadOnce();
}

void Lighting::Composite(Camera& camera)
{
    // The frame cleared the target before Apply and nothing has drawn into it since.
    BindWithoutClearing(camera.GetCurrentTarget());
    copyShader->Use();
    copyShader->SetInt("tex", 0);
    // The light pass's (ONE, ONE) is still in force, so the light adds over the scene.
    if (!onlyLighting)
    {
        BindImage(camera.GetPreviousTarget().GetColourTexture());
        DrawQuadOnce();
    }
    BindImage(resultTargets[camera.windowIndex]->GetColourTexture());
    DrawQuadOnce();
}

void Lighting::DrawEditor()
{
    DrawFieldEditors(Descriptors(), *this);
}

const DescriptorList<Lighting>& Lighting::Descriptors()
{
    static const DescriptorList<Lighting> list = [] {
        DescriptorList<Lighting> fields;
        FieldOptions radius;
        radius.firstVersion = 1;
        radius.step = 0.001f;
        radius.minimum = 0.0f;
        radius.maximum = 1.0f;
        fields.push_back(std::make_unique<Metafloat<Lighting>>(
            "Blur_Radius", radius, [](const Lighting& e) { return e.blurRadius; },
            [](Lighting& e, const float& v) { SetEffectField(e.blurRadius, v); }));
        FieldOptions only;
        only.firstVersion = 1;
        only.save = false;
        fields.push_back(std::make_unique<Metabool<Lighting>>(
            "Only_Lighting", only, [](const Lighting& e) { return e.onlyLighting; },
            [](Lighting& e, const bool& v) { e.onlyLighting = v; }));
        return fields;
    }();
    return list;
}
