#pragma once
#include "Component.h"
#include "Math.h"
#include "Metadata.h"
#include "TypeIds.h"

// Position, scale, rotation and drawing depth of an object, with the cached world matrix used for 2-D
// drawing and collision. Every object gets one when it is created.
class Transform : public Component
{
  public:
    static constexpr const char* kClassName = "Transform";
    static constexpr std::uint32_t kTypeId = ComponentTypeId::kTransform;
    static constexpr std::uint32_t kClassVersion = 1;

    Transform();
    // Placed at (x, y, z); everything else as the default.
    Transform(float x, float y, float z);
    // A copy marked dirty; registers nothing.
    Transform(const Transform& other);

    std::unique_ptr<Component> Clone() const override;
    std::unique_ptr<Component> Load(LevelIArchive& archive) override;
    void Save(LevelOArchive& archive) const override;
    void DrawEditor() override;
    std::uint32_t GetVersion() const override { return kClassVersion; }

    // The setters store the value, mark the transform dirty and the owner dirty down its family.
    void SetTranslation(const Vector3& translation);
    void SetScale(const Vector3& scale);
    // Degrees; a value of 0 or less, or 360 or more, becomes its remainder by 360 (sign kept).
    void SetRotation(float degrees);
    void SetDepth(float depth);

    const Vector3& GetTranslation() const { return translation; }
    const Vector3& GetScale() const { return scale; }
    float GetRotation() const { return rotation; }
    float GetDepth() const { return depth; }

    // translation * rotation (counter-clockwise) * scale, rebuilt first when dirty.
    const Matrix3& GetWorldMatrix() const;
    // For callers that changed the transform without a setter: rebuild the matrix at its next use.
    void MarkDirty() { dirty = true; }
    bool IsDirty() const { return dirty; }

    // The reflected fields in their XML order: "Translation", "Rotation", "Scale", "Depth".
    static const DescriptorList<Transform>& Descriptors();

  private:
    void MarkOwnerDirty();

    Vector3 translation{0.0f, 0.0f, 1.0f};
    Vector3 scale{1.0f, 1.0f, 0.0f};
    float rotation = 0.0f;
    float depth = 0.0f;
    mutable Matrix3 worldMatrix;
    mutable bool dirty = true;
};
