#pragma once
#include "Math.h"

#include <vector>

// Axis-aligned bounds of a collider in world space.
struct Bounds
{
    float minX = 0.0f;
    float minY = 0.0f;
    float maxX = 0.0f;
    float maxY = 0.0f;

    // False when any corner is NaN or infinite; such bounds are kept out of the broad phase.
    bool IsFinite() const;
};

// The linear part (rotation and scale) of a world matrix applied to the direction (x, y).
Vector3 TransformDirection(const Matrix3& world, const Vector3& v);
// The whole world matrix applied to the point (x, y, 1).
Vector3 TransformPoint(const Matrix3& world, const Vector3& p);

// Transforms a polygon's local points into worldPoints and returns the bounds around them.
Bounds PolygonBounds(const std::vector<Vector3>& localPoints, const Matrix3& world,
                     std::vector<Vector3>& worldPoints);
// Turns a circle's one local point into its world radius vector (kept in worldPoints) and returns the square
// around the matrix's translation whose half side is that vector's length; so only scale x grows a circle.
Bounds CircleBounds(const Vector3& localPoint, const Matrix3& world, std::vector<Vector3>& worldPoints);
