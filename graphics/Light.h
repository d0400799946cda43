#pragma once
#include "Component.h"
#include "Math.h"
#include "Metadata.h"
#include "System.h"
#include "TypeIds.h"

#include <string>

class GameObject;
struct Texture;

// A 2-D light sprite: a textured quad of light around its object that sprites can shadow.
class Light : public Component
{
  public:
    static constexpr const char* kClassName = "Light";
    static constexpr std::uint32_t kTypeId = ComponentTypeId::kLight;
    static constexpr std::uint32_t kClassVersion = 4;
    // The texture every new light shines through.
    static constexpr const char* kDefaultTexture = "FalloffCircleLight";

    Light();
    Light(const Light& other) = default;

    std::unique_ptr<Component> Clone() const override;
    std::unique_ptr<Component> Load(LevelIArchive& archive) override;
    void Save(LevelOArchive& archive) const override;
    void DrawEditor() override;
    std::uint32_t GetVersion() const override { return kClassVersion; }

    // Binds the texture of that name (an unknown name gives "Default" and the texture manager's message).
    void SetTextureName(const std::string& name);
    // The bound texture's name.
    std::string GetTextureName() const;
    Texture* GetTexture() const { return texture; }

    // "Center", "Size", "Light_Source", "Tint", "Shadow_Tint", "Intensity", "Inner_Radius", "Texture_Name".
    static const DescriptorList<Light>& Descriptors();

    Vector2 center{0.0f, 0.0f};
    Vector2 size{250.0f, 250.0f};
    Vector2 lightSource{0.0f, 0.0f}; // in the quad's own units, -0.5..0.5
    Vector4 tint{1.0f, 1.0f, 1.0f, 1.0f};
    Vector4 shadowTint{0.0f, 0.0f, 0.0f, 0.0f}; // the light's colour where something hides it
    float intensity = 1.0f;
    float innerRadius = 0.0f; // around the source, nothing casts a shadow

  private:
    Texture* texture = nullptr;
};

// The object's Light, or null.
Light* GetLight(const GameObject& object);

// Hands every visible light to the lighting effect as one record a frame.
class LightRenderer : public System
{
  public:
    LightRenderer();
    void Update(float dt) override;
};
