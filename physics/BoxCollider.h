#pragma once
#include "Collider.h"
#include "Metadata.h"

// A rectangle of a size around an offset, both in the owner's local units.
class BoxCollider : public Collider
{
  public:
    static constexpr const char* kClassName = "BoxCollider";

    // Size 1 x 1 at offset 0, 0; the prototype is stored under "BoxCollider".
    BoxCollider();
    explicit BoxCollider(std::uint32_t ownerId);

    std::unique_ptr<Component> Clone() const override;
    // Reads "Layer" and the reflected fields; the corners follow the loaded size and offset.
    std::unique_ptr<Component> Load(LevelIArchive& archive) override;
    void Save(LevelOArchive& archive) const override;
    void DrawEditor() override;
    std::uint32_t GetVersion() const override { return 1; }

    const Vector2& GetSize() const { return size; }
    // Rewrites the four corners.
    void SetSize(const Vector2& newSize);
    const Vector2& GetOffset() const { return offset; }
    // Rewrites the four corners.
    void SetOffset(const Vector2& newOffset);

    // The reflected fields in their XML order, all from data version 1.
    static const DescriptorList<BoxCollider>& Descriptors();

  private:
    BoxCollider(const BoxCollider&) = default;
    BoxCollider& operator=(const BoxCollider&) = default;
    // Corners in the order top right, bottom right, top left, bottom left; contact-point ties rely on it.
    void RebuildCorners();

    Vector2 size{1.0f, 1.0f};
    Vector2 offset;
};
