#pragma once
#include "Component.h"
#include "Material.h"
#include "Math.h"
#include "Metadata.h"
#include "System.h"
#include "TypeIds.h"

#include <string>
#include <vector>

class GameObject;
struct Texture;

// A sprite: its own material (shader, layer, render state, texture), a tint, a horizontal flip and a depth.
class Renderer : public Component
{
  public:
    static constexpr const char* kClassName = "Renderer";
    static constexpr std::uint32_t kTypeId = ComponentTypeId::kRenderer;
    static constexpr std::uint32_t kClassVersion = 1;

    // Takes a copy of the graphics system's "basic" material (an empty one before graphics starts).
    Renderer();
    explicit Renderer(const Material& material);
    Renderer(const Renderer& other) = default;

    // A copy that faces right: the flip is the sprite's run-time facing, so it is never cloned.
    std::unique_ptr<Component> Clone() const override;
    std::unique_ptr<Component> Load(LevelIArchive& archive) override;
    void Save(LevelOArchive& archive) const override;
    void DrawEditor() override;
    std::uint32_t GetVersion() const override { return kClassVersion; }

    // Binds a texture to a texture input of the material ("texture", "emissiveTexture").
    void SetUInt(const std::string& input, Texture* texture);

    // "Material" (the material block), "Tint", "Flip_Texture", "Depth".
    static const DescriptorList<Renderer>& Descriptors();

    Material material;
    Vector4 tint{1.0f, 1.0f, 1.0f, 1.0f}; // its alpha is also how much of the light the sprite hides
    bool flip = false;
    float depth = 0.0f;
};

// The object's Renderer, or null.
Renderer* GetRenderer(const GameObject& object);

// Submits every visible sprite once a frame and feeds its occlusion to the lighting effect.
class BasicRenderer : public System
{
  public:
    BasicRenderer();
    void Update(float dt) override;

  private:
    // The inputs a sprite writes every frame, found once per shader.
    struct SpriteInputs
    {
        const Shader* shader = nullptr;
        ShaderInput modelWorld;
        ShaderInput tint;
        ShaderInput flipTexture;
        ShaderInput texture;
    };
    const SpriteInputs& InputsOf(const Material& material);

    // One entry per shader seen; sprites nearly always share one.
    std::vector<SpriteInputs> inputsByShader;
};
