#pragma once
#include "EngineSystem.h"
#include "Material.h"
#include "Math.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class Shader;
class RenderLine;
class DebugRenderer;
class PostProcessingEffect;
class Camera;
class BackgroundRenderer;

// The renderer's engine system: it owns the shaders, the render layers of batches, the default
// materials, the effect chain and the debug renderer, and draws one frame per engine update.
class Graphics : public EngineSystem
{
  public:
    // Indices of the default materials that components copy.
    enum DefaultMaterial : std::size_t
    {
        dmBasic = 0,
        dmText = 1,
        dmParticle = 2,
    };
    using Layers = std::map<std::int32_t, std::vector<std::shared_ptr<RenderLine>>>;

    static constexpr const char* kPresentingShader = "textured";

    Graphics();
    ~Graphics() override;

    // Sets up GL state, the cameras, textures, default materials, debug renderer, meshes and effects.
    void Init() override;
    // Draws what was submitted since the previous update into every visible window, then empties it.
    void Update(float dt) override;
    // Releases every GL object the renderer made.
    void Exit() override;

    // The shader of that name, built on first request.
    Shader* GetShader(const std::string& name);
    // The batch of that order, shader and state, created in its layer when there is none.
    std::shared_ptr<RenderLine> FindOrCreateBatch(std::int32_t order, Shader* shader,
                                                  const MaterialRenderState& state);

    // Queues debug shapes for this frame, in world coordinates.
    void DrawDebugPoint(const Vector2& position, float size, const Vector4& colour);
    void DrawDebugLine(const Vector2& p, const Vector2& q, const Vector4& colour);
    void DrawDebugCircle(const Vector2& centre, float radius, const Vector4& colour);
    void DrawDebugBox(const Vector2& cornerA, const Vector2& cornerB, const Vector4& colour);
    void DrawDebugRect(const Vector2& centre, float width, float height, float rotation,
                       const Vector4& colour);

    // The frame's steps, in the order Update runs them.
    // Sorts every batch and drops the empty ones with their layers.
    void UpkeepBatches();
    // The number of instances submitted this frame.
    std::uint32_t CountInstances() const;
    // Draws every camera of every visible window.
    void DrawWindows();
    // Empties every batch and debug queue and flips the meshes.
    void ResetFrame();

    const Material& GetMaterial(std::size_t index) const { return materials.at(index); }
    const std::vector<Material>& GetMaterials() const { return materials; }
    Layers& GetLayers() { return layers; }
    DebugRenderer* GetDebugRenderer() { return debugRenderer.get(); }
    // The full-screen background, or null before Init.
    BackgroundRenderer* GetBackground() { return background.get(); }
    std::vector<std::unique_ptr<PostProcessingEffect>>& GetEffects() { return effects; }
    Shader* GetPresentingShader() { return presentingShader; }
    // The day cycle's clock, in [0, 1].
    float GetBackgroundClock() const;

    Vector4 clearColour{0.0f, 0.0f, 0.0f, 1.0f};
    bool drawDebug = true;
    // Effects that would pass the image through unchanged are skipped; off, every effect draws.
    bool skipPassThroughEffects = true;

  private:
    void DrawCamera(Camera& camera, float ordinalStep);

    std::vector<std::unique_ptr<Shader>> shaders;
    Layers layers;
    std::vector<Material> materials;
    std::vector<std::unique_ptr<PostProcessingEffect>> effects;
    std::unique_ptr<DebugRenderer> debugRenderer;
    std::unique_ptr<BackgroundRenderer> background;
    Shader* presentingShader = nullptr;
    // Whether Init found a window, and with it a GL context.
    bool active = false;
};

extern Graphics* gGraphics;
