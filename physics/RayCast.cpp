#include "RayCast.h"

#include "BoxCollider.h"
#include "CircleCollider.h"
#include "CollisionChecker.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "ShapeBounds.h"
#include "Transform.h"
#include "TypeIds.h"

#include <cmath>

namespace
{
bool HitsCircle(const Ray& ray, const Collider& collider, const Transform& transform, RayHit& hit)
{
    const auto* circle = dynamic_cast<const CircleCollider*>(&collider);
    if (circle == nullptr)
        return false;
    return RayHitsCircle(ray, transform.GetTranslation(), circle->GetRadius() * transform.GetScale().x, hit);
}

bool HitsBox(const Ray& ray, const Collider& collider, const Transform& transform)
{
    if (dynamic_cast<const BoxCollider*>(&collider) == nullptr)
        return false;
    const Matrix3& world = transform.GetWorldMatrix();
    const Vector3& translation = transform.GetTranslation();
    std::vector<Vector3> corners;
    corners.reserve(collider.GetLocalPoints().size());
    for (const Vector3& local : collider.GetLocalPoints())
    {
        const Vector3 offset = TransformDirection(world, local);
        corners.push_back({offset.x + translation.x, offset.y + translation.y, 0.0f});
    }
    return RayHitsBox(ray, corners);
}
} // namespace

std::uint32_t RayCast(Ray ray, RayHit& hit)
{
    if (gCollisionChecker == nullptr || gGameObjectFactory == nullptr)
        return 0;
    for (std::uint32_t id : gCollisionChecker->ObjectIds())
    {
        const GameObject* object = gGameObjectFactory->GetObject(id);
        if (object == nullptr)
            continue;
        const auto* collider = object->GetComponentAs<Collider>(ComponentTypeId::kCollider);
        const auto* transform = object->GetComponentAs<Transform>(ComponentTypeId::kTransform);
        if (collider == nullptr || transform == nullptr)
            continue;
        if (collider->IsCircle())
        {
            RayHit circleHit = hit;
            if (HitsCircle(ray, *collider, *transform, circleHit))
            {
                hit = circleHit;
                hit.objectId = id;
                return id;
            }
        }
        else if (HitsBox(ray, *collider, *transform))
        {
            return id;
        }
    }
    return 0;
}
