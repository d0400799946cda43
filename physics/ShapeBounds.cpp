#include "ShapeBounds.h"

#include <algorithm>
#include <cmath>

bool Bounds::IsFinite() const
{
    return std::isfinite(minX) && std::isfinite(minY) && std::isfinite(maxX) && std::isfinite(maxY);
}

Vector3 TransformDirection(const Matrix3& world, const Vector3& v)
{
    const float* m = world.m;
    return {v.x * m[0] + v.y * m[3], v.x * m[1] + v.y * m[4], v.x * m[2] + v.y * m[5]};
}

Vector3 TransformPoint(const Matrix3& world, const Vector3& p)
{
    const float* m = world.m;
    return {p.x * m[0] + p.y * m[3] + m[6], p.x * m[1] + p.y * m[4] + m[7], p.x * m[2] + p.y * m[5] + m[8]};
}

Bounds PolygonBounds(const std::vector<Vector3>& localPoints, const Matrix3& world,
                     std::vector<Vector3>& worldPoints)
{
    worldPoints = localPoints;
    for (Vector3& point : worldPoints)
        point = TransformPoint(world, point);
    if (worldPoints.empty())
        return {world.m[6], world.m[7], world.m[6], world.m[7]};

    Bounds bounds{worldPoints[0].x, worldPoints[0].y, worldPoints[0].x, worldPoints[0].y};
    for (std::size_t i = 1; i < worldPoints.size(); ++i)
    {
        bounds.minX = std::min(bounds.minX, worldPoints[i].x);
        bounds.minY = std::min(bounds.minY, worldPoints[i].y);
        bounds.maxX = std::max(bounds.maxX, worldPoints[i].x);
        bounds.maxY = std::max(bounds.maxY, worldPoints[i].y);
    }
    return bounds;
}

Bounds CircleBounds(const Vector3& localPoint, const Matrix3& world, std::vector<Vector3>& worldPoints)
{
    const Vector3 radiusVector = TransformDirection(world, Vector3(localPoint.x, localPoint.y, 0.0f));
    worldPoints.assign(1, radiusVector);
    const float length = std::sqrt(radiusVector.x * radiusVector.x + radiusVector.y * radiusVector.y +
                                   radiusVector.z * radiusVector.z);
    const float tx = world.m[6];
    const float ty = world.m[7];
    return {tx - length, ty - length, tx + length, ty + length};
}
