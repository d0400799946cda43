#pragma once
#include "Component.h"
#include "Material.h"
#include "Math.h"
#include "Metadata.h"
#include "System.h"
#include "TypeIds.h"

#include <cstdint>
#include <string>
#include <vector>

class GameObject;

// On-screen text: laid out inside a box after each change and drawn as one quad per character, each
// through a material copy of its own.
class TextRenderer : public Component
{
  public:
    static constexpr const char* kClassName = "TextRenderer";
    static constexpr std::uint32_t kTypeId = ComponentTypeId::kTextRenderer;
    static constexpr std::uint32_t kClassVersion = 1;

    // Takes a copy of the graphics system's "text" material (an empty one before graphics starts).
    TextRenderer();
    explicit TextRenderer(const Material& material);
    TextRenderer(const TextRenderer& other);

    // The text, its look and its box; no characters laid out yet.
    std::unique_ptr<Component> Clone() const override;
    std::unique_ptr<Component> Load(LevelIArchive& archive) override;
    void Save(LevelOArchive& archive) const override;
    void DrawEditor() override;
    std::uint32_t GetVersion() const override { return kClassVersion; }

    // Lays the text out when it changed and submits every character at the object's place.
    void Draw(const Vector2& translation, float rotation);

    // The text, the size and the box lay the text out again; tint and depth do not.
    void SetText(const std::string& newText);
    void SetSize(float newSize);
    void SetTint(const Vector4& newTint) { tint = newTint; }
    void SetDepth(float newDepth) { depth = newDepth; }
    // The drawing layer of every character (the text material's order unless set).
    void SetOrder(std::int32_t newOrder);
    // The four box setters keep centre = (bottom left + top right) / 2 and dimensions = top right - bottom
    // left.
    void SetCenter(const Vector2& newCenter);
    void SetDimensions(const Vector2& newDimensions);
    void SetBottomLeft(const Vector2& corner);
    void SetTopRight(const Vector2& corner);

    const std::string& GetText() const { return text; }
    float GetSize() const { return size; }
    const Vector4& GetTint() const { return tint; }
    float GetDepth() const { return depth; }
    const Vector2& GetCenter() const { return center; }
    const Vector2& GetDimensions() const { return dimensions; }
    const Vector2& GetBottomLeft() const { return bottomLeft; }
    const Vector2& GetTopRight() const { return topRight; }
    bool IsLayoutDirty() const { return layoutDirty; }
    const std::vector<Vector2>& GetCharacterPositions() const { return characterPositions; }
    const std::vector<Material>& GetCharacterMaterials() const { return characterMaterials; }

    // "Text", "Size", "Tint", "Center", "Dimentions", "Bottom_Left", "Top_Right", "Depth".
    static const DescriptorList<TextRenderer>& Descriptors();

  private:
    void FitBoxToCorners();

    Material material; // never saved: every text uses the graphics system's text material
    Vector4 tint{1.0f, 1.0f, 1.0f, 1.0f};
    float depth = 0.0f;
    std::string text = "Your text";
    float size = 64.0f; // pixel height of a line
    Vector2 center;
    Vector2 dimensions;
    Vector2 bottomLeft;
    Vector2 topRight;
    bool layoutDirty = true;
    std::vector<Material> characterMaterials; // never shrinks
    std::vector<Vector2> characterPositions;
};

// The object's TextRenderer, or null.
TextRenderer* GetTextRenderer(const GameObject& object);

// Draws every visible text once a frame, with its box as a debug line.
class TextRendererSystem : public System
{
  public:
    TextRendererSystem();
    void Update(float dt) override;
};
