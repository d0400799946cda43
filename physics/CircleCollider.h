#pragma once
#include "Collider.h"
#include "Metadata.h"

// A circle around the owner's translation; its one local point lies on the local x axis, so only the
// owner's scale x sizes it.
class CircleCollider : public Collider
{
  public:
    static constexpr const char* kClassName = "CircleCollider";
    static constexpr float kDefaultRadius = 0.5f;

    // Radius 0.5; the prototype is stored under "CircleCollider".
    explicit CircleCollider(std::uint32_t ownerId = 0);

    std::unique_ptr<Component> Clone() const override;
    // Reads "Layer" and the reflected fields.
    std::unique_ptr<Component> Load(LevelIArchive& archive) override;
    void Save(LevelOArchive& archive) const override;
    void DrawEditor() override;
    std::uint32_t GetVersion() const override { return 1; }

    // The world radius vector in the world points; bounds around the matrix's translation.
    Bounds ComputeBounds(const Matrix3& world) override;

    float GetRadius() const { return radius; }
    // Also moves the local point.
    void SetRadius(float newRadius);

    // The reflected fields in their XML order, all from data version 1.
    static const DescriptorList<CircleCollider>& Descriptors();

  private:
    CircleCollider(const CircleCollider&) = default;
    CircleCollider& operator=(const CircleCollider&) = default;

    float radius = kDefaultRadius;
};
