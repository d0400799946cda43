#pragma once
#include "Component.h"
#include "Math.h"
#include "ShapeBounds.h"

#include <cstdint>
#include <vector>

// A collider's layer mask: two colliders touch only when their masks share a bit.
enum CollisionLayer : std::uint32_t
{
    clNone = 0,
    clAll = 15, // bits 0 to 3, every collider's default
};

// The shape of an object for the collision checker and the ray casts: local points and candidate
// separating axes, placed by the owner's world matrix. Exactly one local point means a circle.
// Both kinds share the component type id, so an object has at most one collider.
class Collider : public Component
{
  public:
    static constexpr const char* kComponentName = "Collider";

    std::unique_ptr<Component> Clone() const override = 0;
    std::unique_ptr<Component> Load(LevelIArchive& archive) override = 0;
    void Save(LevelOArchive& archive) const override = 0;
    void DrawEditor() override = 0;
    std::uint32_t GetVersion() const override = 0;

    // Refreshes the world points from the world matrix and returns the axis-aligned bounds.
    virtual Bounds ComputeBounds(const Matrix3& world);

    bool IsCircle() const { return localPoints.size() == 1; }
    const std::vector<Vector3>& GetAxes() const { return axes; }
    const std::vector<Vector3>& GetLocalPoints() const { return localPoints; }
    // Empty on a copy until its bounds are computed.
    const std::vector<Vector3>& GetWorldPoints() const { return worldPoints; }
    std::uint32_t GetLayer() const { return layer; }
    void SetLayer(std::uint32_t mask) { layer = static_cast<CollisionLayer>(mask); }
    bool GetResolution() const { return resolution; }
    void SetResolution(bool resolve) { resolution = resolve; }

  protected:
    explicit Collider(std::uint32_t ownerId);
    // Copies everything but the world points.
    Collider(const Collider& other);
    Collider& operator=(const Collider& other) = default;

    // "Collider_Type" (read by the level reader, not by Load) and "Layer".
    void SaveCommon(LevelOArchive& archive, const char* className) const;
    // "Layer".
    void LoadCommon(LevelIArchive& archive);

    std::vector<Vector3> axes;
    std::vector<Vector3> localPoints;
    std::vector<Vector3> worldPoints;
    CollisionLayer layer = clAll;
    bool resolution = true;
};
