#pragma once
#include "Math.h"

#include <cstdint>
#include <vector>

// A ray query; passed by value.
struct Ray
{
    Vector3 origin;
    Vector3 direction;   // need not be of unit length
    float length = 1.0f; // in multiples of direction; only the polygon test uses it
};

// The answer of a circle hit.
struct RayHit
{
    std::uint32_t objectId = 0;
    float distance = 0.0f;
    Vector3 normal;
    Vector3 point;
};

// Whether the ray's line meets the circle. Circles behind the origin count, and so do circles around it;
// fills the distance, normal and point of the nearer rim point (not the id). A zero direction or radius
// misses and leaves the hit alone.
bool RayHitsCircle(const Ray& ray, const Vector3& centre, float radius, RayHit& hit);

// Whether the segment from the origin to origin + direction * length meets the box whose world corners are
// given in collider order (top right, bottom right, top left, bottom left).
bool RayHitsBox(const Ray& ray, const std::vector<Vector3>& worldCorners);
