#include "Graphics.h"

#include "BackgroundRenderer.h"
#include "Bloom.h"
#include "Camera.h"
#include "ColorEffects.h"
#include "DayCycle.h"
#include "DebugRenderer.h"
#include "Font.h"
#include "GraphicsHooks.h"
#include "Lighting.h"
#include "Mesh.h"
#include "PassTimer.h"
#include "PostProcessingEffect.h"
#include "RenderLine.h"
#include "Shader.h"
#include "TextureManager.h"
#include "WindowAccess.h"

#include <glad/gl.h>

#include <cmath>
#include <numbers>

Graphics* gGraphics = nullptr;

namespace
{
constexpr std::uint32_t kEffectVersion = 1;
constexpr int kCircleChords = 64;
} // namespace

Graphics::Graphics() : EngineSystem(estGraphics)
{
    PublishOnce(gGraphics, this);
}

Graphics::~Graphics()
{
    // GL objects must go while their context still exists, even when Exit never ran.
    if (active)
        Exit();
    layers.clear();
    materials.clear();
    shaders.clear();
    UnpublishIfOwner(gGraphics, this);
}

void Graphics::Init()
{
    GraphicsHooks::ConnectWindowProvider();
    GraphicsHooks::Install();
    // Without a window there is no GL context to draw with: the renderer stays idle.
    active = GetWindowAccess().count() > 0;
    if (!active)
        return;
    glEnable(GL_DEBUG_OUTPUT);
    glEnable(GL_PROGRAM_POINT_SIZE);
    glEnable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);

    WindowAccess& windows = GetWindowAccess();
    for (std::size_t window = 0; window < windows.count(); ++window)
    {
        windows.makeCurrent(window);
        CameraManager::CreateCamera(window);
    }
    if (!CameraManager::GetCameras().empty())
    {
        windows.makeCurrent(0);
        Camera& first = *CameraManager::GetCameras().front();
        first.GetCurrentTarget().BindAndClear();
        gCurrentCamera = &first;
    }

    TextureManager::Init();
    LoadFont();
    presentingShader = GetShader(kPresentingShader);

    materials.emplace_back("basic", GetShader("basic"), 1000,
                           MaterialRenderState(bmAlphaBlended, true, kDepthLess));
    materials.emplace_back("text", GetShader("text"), 5000,
                           MaterialRenderState(bmAlphaBlended, true, kDepthLess));
    materials.emplace_back("particleBasic", GetShader("particleBasic"), 2000,
                           MaterialRenderState(bmAdditive, true, kDepthLess));

    debugRenderer = std::make_unique<DebugRenderer>(GetShader(Shader::kDebugName));
    background = std::make_unique<BackgroundRenderer>(GetShader("background"));
    InstallBackgroundLevelHooks();
    Mesh::Init();
    effects.push_back(std::make_unique<ColorBalancer>(kEffectVersion, GetShader("colorBalancer")));
    effects.push_back(std::make_unique<Lighting>(kEffectVersion, GetShader("textured"),
                                                 GetShader("directionalBlur"), GetShader("light"),
                                                 GetShader("renderAlpha")));
    effects.push_back(std::make_unique<Bloom>(kEffectVersion, GetShader("textured"),
                                              GetShader("directionalBlur"), GetShader("threshold")));
    effects.push_back(std::make_unique<Tonemap>(kEffectVersion, GetShader("tonemap")));
    effects.push_back(std::make_unique<Saturation>(kEffectVersion, GetShader("saturation")));
}

void Graphics::Update(float dt)
{
    const float timeOfDay = AdvanceDayCycle(dt);
    if (background != nullptr)
        background->Submit(timeOfDay);
    UpkeepBatches();
    if (active)
        DrawWindows();
    ResetFrame();
}

void Graphics::Exit()
{
    GraphicsHooks::Remove();
    if (!active)
        return;
    active = false;
    effects.clear();
    debugRenderer.reset();
    RemoveBackgroundLevelHooks();
    background.reset();
    Glyphs() = GlyphTable{};
    materials.clear();
    layers.clear();
    Mesh::Shutdown();
    CameraManager::Clear();
    shaders.clear();
    presentingShader = nullptr;
    TextureManager::Exit();
}

float Graphics::GetBackgroundClock() const
{
    return DayCycleClock();
}

Shader* Graphics::GetShader(const std::string& name)
{
    for (auto& shader : shaders)
        if (shader->GetName() == name)
            return shader.get();
    shaders.push_back(std::make_unique<Shader>(name));
    return shaders.back().get();
}

std::shared_ptr<RenderLine> Graphics::FindOrCreateBatch(std::int32_t order, Shader* shader,
                                                        const MaterialRenderState& state)
{
    auto& layer = layers[order];
    for (auto& batch : layer)
        if (batch->GetShader() == shader && batch->GetRenderState() == state)
            return batch;
    layer.push_back(std::make_shared<RenderLine>(order, shader, state));
    return layer.back();
}

void Graphics::UpkeepBatches()
{
    for (auto layer = layers.begin(); layer != layers.end();)
    {
        auto& batches = layer->second;
        for (std::size_t index = 0; index < batches.size();)
        {
            if (batches[index]->GetInstanceCount() > 0)
            {
                batches[index]->SortByDepth();
                ++index;
                continue;
            }
            // Holders of a dropped batch register again at their next submission. Its slots may still hold
            // the gaps of destroyed instances.
            batches[index]->Reset();
            batches[index]->MarkDropped();
            batches[index] = batches.back();
            batches.pop_back();
        }
        layer = batches.empty() ? layers.erase(layer) : std::next(layer);
    }
}

std::uint32_t Graphics::CountInstances() const
{
    std::uint32_t count = 0;
    for (const auto& [order, batches] : layers)
        for (const auto& batch : batches)
            count += batch->GetInstanceCount();
    return count;
}

void Graphics::DrawWindows()
{
    // Each camera hands out one ordinal per instance, so every instance is nearer than all before it.
    const float ordinalStep = 1.0f / static_cast<float>(CountInstances() + 2);
    WindowAccess& windows = GetWindowAccess();
    for (std::size_t window = 0; window < windows.count(); ++window)
    {
        if (!windows.visible(window))
            continue;
        windows.makeCurrent(window);
        PassTimer::Mark("window clear");
        // Swapping first shows the previous frame and leaves this one in the back buffer when Update returns.
        windows.swap(window);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glClearColor(clearColour.x, clearColour.y, clearColour.z, clearColour.w);
        glDepthMask(GL_TRUE);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (auto& camera : CameraManager::GetCameras())
            if (camera->windowIndex == window)
                DrawCamera(*camera, ordinalStep);
    }
    PassTimer::Stop();
}

void Graphics::DrawCamera(Camera& camera, float ordinalStep)
{
    PassTimer::Mark("batches");
    camera.GetCurrentTarget().BindAndClear();
    gCurrentCamera = &camera;
    const Matrix3 worldScreen = camera.GetWorldScreen();

    DepthSlice slice{0, ordinalStep};
    for (auto& [order, batches] : layers)
        for (auto& batch : batches)
            batch->Draw(worldScreen, slice);

    for (std::size_t i = 0; i < effects.size(); ++i)
    {
        PostProcessingEffect& effect = *effects[i];
        PassTimer::Mark(effect.PassName());
        if (skipPassThroughEffects && effect.PassesImageThrough(camera))
            continue;
        if (effect.ApplyInPlace(camera))
            continue;
        const bool foldsNext = i + 1 < effects.size() && effect.FoldsInNext(*effects[i + 1]);
        camera.FlipPingPong();
        camera.GetCurrentTarget().BindAndClear();
        glActiveTexture(GL_TEXTURE0);
        effect.Apply(camera);
        if (foldsNext)
            ++i;
    }

    PassTimer::Mark("present");
    camera.Present(*presentingShader);

    if (drawDebug)
    {
        PassTimer::Mark("debug");
        glBlendFunc(GL_ONE, GL_ZERO);
        glDepthMask(GL_FALSE);
        glDepthFunc(GL_ALWAYS);
        debugRenderer->DrawLines(worldScreen);
        debugRenderer->DrawPoints(worldScreen);
    }
}

void Graphics::ResetFrame()
{
    for (auto& [order, batches] : layers)
        for (auto& batch : batches)
            batch->Reset();
    if (debugRenderer != nullptr)
        debugRenderer->Clear();
    // Lights and occlusion fed while no window was drawn must not pile up.
    if (gLighting != nullptr)
        gLighting->DropFrame();
    Mesh::FlipAll();
}

void Graphics::DrawDebugPoint(const Vector2& position, float size, const Vector4& colour)
{
    if (debugRenderer != nullptr)
        debugRenderer->AddPoint(position, size, colour);
}

void Graphics::DrawDebugLine(const Vector2& p, const Vector2& q, const Vector4& colour)
{
    if (debugRenderer != nullptr)
        debugRenderer->AddLine(p, q, colour);
}

void Graphics::DrawDebugCircle(const Vector2& centre, float radius, const Vector4& colour)
{
    Vector2 previous(centre.x + radius, centre.y);
    DrawDebugLine(centre, previous, colour);
    for (int chord = 0; chord <= kCircleChords; ++chord)
    {
        const float angle = 2.0f * std::numbers::pi_v<float> * static_cast<float>(chord) / kCircleChords;
        const Vector2 next(centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle));
        DrawDebugLine(previous, next, colour);
        previous = next;
    }
}

void Graphics::DrawDebugBox(const Vector2& a, const Vector2& b, const Vector4& colour)
{
    DrawDebugLine(Vector2(a.x, a.y), Vector2(b.x, a.y), colour);
    DrawDebugLine(Vector2(b.x, a.y), Vector2(b.x, b.y), colour);
    DrawDebugLine(Vector2(b.x, b.y), Vector2(a.x, b.y), colour);
    DrawDebugLine(Vector2(a.x, b.y), Vector2(a.x, a.y), colour);
}

void Graphics::DrawDebugRect(const Vector2& centre, float width, float height, float rotation,
                             const Vector4& colour)
{
    const Matrix3 place = TranslationMatrix(centre.x, centre.y) * RotationMatrix(rotation);
    const Vector2 corners[4] = {place.TransformPoint(Vector2(-width / 2, -height / 2)),
                                place.TransformPoint(Vector2(width / 2, -height / 2)),
                                place.TransformPoint(Vector2(width / 2, height / 2)),
                                place.TransformPoint(Vector2(-width / 2, height / 2))};
    for (int edge = 0; edge < 4; ++edge)
        DrawDebugLine(corners[edge], corners[(edge + 1) % 4], colour);
}
