#include "NarrowPhase.h"

#include "DebugDraw.h"
#include "ShapeBounds.h"

#include <array>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <utility>

namespace
{
constexpr Vector4 kCircleAxisColour{1.0f, 0.35f, 0.0f, 1.0f};
constexpr float kCircleAxisLength = 30.0f;
// Both phases start from this separation; a later axis replaces the kept one only when strictly larger.
constexpr float kNoSeparationYet = -1000.0f;
// The contact-point search starts here; the first of equal dot products wins.
constexpr float kContactSearchStart = 100000.0f;

// The colliders are boxes and circles: at most four corners and two axes.
constexpr std::size_t kMaxShapePoints = 4;
constexpr std::size_t kMaxShapeAxes = 2;

// A fixed-size list, so that a test allocates nothing.
template <std::size_t Capacity> struct VectorList
{
    std::array<Vector3, Capacity> items;
    std::size_t count = 0;

    void Push(const Vector3& v) { items[count++] = v; }
    const Vector3* begin() const { return items.data(); }
    const Vector3* end() const { return items.data() + count; }
};
using ShapePoints = VectorList<kMaxShapePoints>;

// A shape copied for one test: the phases overwrite a circle's point with the rim point facing the other.
struct WorkShape
{
    bool circle = false;
    float radius = 0.0f; // |radius * scale x|
    Vector3 translation;
    ShapePoints points; // offsets from the translation
    VectorList<kMaxShapeAxes> axes;
};

// The best axis one phase found.
struct PhaseResult
{
    bool separated = false;
    bool tested = false;
    float best = kNoSeparationYet;
    Vector3 axis;
    Vector3 otherPointAtBest; // only meaningful when the other shape is a circle
};

float Dot(const Vector3& a, const Vector3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

WorkShape Prepare(const PlacedShape& placed)
{
    WorkShape shape;
    shape.circle = placed.localPoints.size() == 1;
    shape.radius = std::fabs(placed.radius * placed.scaleX);
    shape.translation = placed.translation;
    if (shape.circle)
    {
        shape.points.Push(Vector3());
        return shape;
    }
    if (placed.localPoints.size() > kMaxShapePoints || placed.axes.size() > kMaxShapeAxes)
        throw std::length_error("A collider has more corners or axes than a box");
    for (const Vector3& local : placed.localPoints)
        shape.points.Push(TransformDirection(placed.world, local));
    return shape;
}

// A circle's only axis: toward the nearest point of the other shape (offset = other translation - own).
// The plane is 2-D, so depth differences between objects play no part; a zero axis points up.
Vector3 CircleAxis(const Vector3& offset, const ShapePoints& otherPoints)
{
    Vector3 nearest = offset + otherPoints.items[0];
    float nearestDistance = nearest.x * nearest.x + nearest.y * nearest.y;
    for (std::size_t i = 1; i < otherPoints.count; ++i)
    {
        const Vector3 candidate = offset + otherPoints.items[i];
        const float distance = candidate.x * candidate.x + candidate.y * candidate.y;
        if (distance < nearestDistance)
        {
            nearest = candidate;
            nearestDistance = distance;
        }
    }
    const float length = std::sqrt(nearestDistance);
    if (length == 0.0f || !std::isfinite(length))
        return {0.0f, 1.0f, 0.0f};
    return {nearest.x / length, nearest.y / length, 0.0f};
}

// A polygon's axes turned by its linear transform and normalised; zero axes (scale 0) cannot separate.
void FindPolygonAxes(WorkShape& shape, const std::vector<Vector3>& localAxes, const Matrix3& world)
{
    for (const Vector3& local : localAxes)
    {
        Vector3 axis = TransformDirection(world, local);
        const float length = std::sqrt(axis.x * axis.x + axis.y * axis.y + axis.z * axis.z);
        if (length == 0.0f || !std::isfinite(length))
            continue;
        shape.axes.Push(axis * (1.0f / length));
    }
}

void FindAxes(WorkShape& shape, const PlacedShape& placed, const WorkShape& other)
{
    if (!shape.circle)
    {
        FindPolygonAxes(shape, placed.axes, placed.world);
        return;
    }
    const Vector3 axis = CircleAxis(other.translation - shape.translation, other.points);
    shape.axes.Push(axis);
    GetDebugDraw().Line(shape.translation, shape.translation + axis * kCircleAxisLength, kCircleAxisColour);
}

float LargestReach(const ShapePoints& points, const Vector3& axis)
{
    float largest = 0.0f;
    for (const Vector3& point : points)
    {
        const float reach = Dot(axis, point);
        if (reach > largest)
            largest = reach;
    }
    return largest;
}

// Tries every axis of own against other; offset points from own toward other.
PhaseResult RunPhase(WorkShape& own, WorkShape& other, const Vector3& offset)
{
    PhaseResult result;
    for (Vector3 axis : own.axes)
    {
        if (Dot(axis, offset) < 0.0f)
            axis = axis * -1.0f;
        if (own.circle)
            own.points.items[0] = axis * own.radius;
        if (other.circle)
            other.points.items[0] = axis * -other.radius;

        const float separation = std::fabs(Dot(axis, offset)) -
                                 (LargestReach(own.points, axis) + LargestReach(other.points, axis * -1.0f));
        if (!std::isfinite(separation))
        {
            result.separated = true;
            return result;
        }
        result.tested = true;
        if (separation > result.best)
        {
            result.best = separation;
            result.axis = axis;
            if (other.circle)
                result.otherPointAtBest = other.points.items[0];
        }
        if (result.best >= 0.0f)
        {
            result.separated = true;
            return result;
        }
    }
    return result;
}

Vector3 DeepestPoint(const WorkShape& shape, const Vector3& normal)
{
    float lowest = kContactSearchStart;
    Vector3 deepest;
    for (const Vector3& point : shape.points)
    {
        const float along = Dot(point, normal);
        if (along < lowest)
        {
            lowest = along;
            deepest = point;
        }
    }
    return shape.translation + deepest;
}
} // namespace

bool TestShapes(ContactRecord& record, const PlacedShape& a, const PlacedShape& b)
{
    WorkShape shapeA = Prepare(a);
    WorkShape shapeB = Prepare(b);
    FindAxes(shapeA, a, shapeB);
    FindAxes(shapeB, b, shapeA);

    const Vector3 offset = shapeB.translation - shapeA.translation;
    const PhaseResult phaseA = RunPhase(shapeA, shapeB, offset);
    if (phaseA.separated || !phaseA.tested)
        return false;
    const PhaseResult phaseB = RunPhase(shapeB, shapeA, offset * -1.0f);
    if (phaseB.separated || !phaseB.tested)
        return false;

    // Ties go to the second shape's axis and keep the ids in order.
    const WorkShape* firstShape = &shapeA;
    if (phaseA.best > phaseB.best)
    {
        record.depth = phaseA.best;
        record.normal = phaseA.axis;
        std::swap(record.first, record.second);
        if (shapeB.circle)
            shapeB.points.items[0] = phaseA.otherPointAtBest;
        firstShape = &shapeB;
    }
    else
    {
        record.depth = phaseB.best;
        record.normal = phaseB.axis;
        if (shapeA.circle)
            shapeA.points.items[0] = phaseB.otherPointAtBest;
    }
    record.point = DeepestPoint(*firstShape, record.normal);
    return true;
}
