#include "Collider.h"

#include "LevelArchive.h"
#include "TypeIds.h"

namespace
{
constexpr const char* kColliderTypeElement = "Collider_Type";
constexpr const char* kLayerElement = "Layer";
} // namespace

Collider::Collider(std::uint32_t ownerId) : Component(kComponentName, ComponentTypeId::kCollider, ownerId) {}

Collider::Collider(const Collider& other)
    : Component(other), axes(other.axes), localPoints(other.localPoints), layer(other.layer),
      resolution(other.resolution)
{
}

Bounds Collider::ComputeBounds(const Matrix3& world)
{
    return PolygonBounds(localPoints, world, worldPoints);
}

void Collider::SaveCommon(LevelOArchive& archive, const char* className) const
{
    WriteField(archive, kColliderTypeElement, std::string(className));
    // Through an int, so that the file holds a plain integer.
    WriteField(archive, kLayerElement, static_cast<std::int32_t>(layer));
}

void Collider::LoadCommon(LevelIArchive& archive)
{
    std::int32_t mask = 0;
    ReadField(archive, kLayerElement, mask);
    layer = static_cast<CollisionLayer>(static_cast<std::uint32_t>(mask));
}
