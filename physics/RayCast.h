#pragma once
#include "RayTests.h"

#include <cstdint>

// The first object, in ascending id order among those the collision checker knows, whose collider the ray
// hits; not the nearest. Object flags are not consulted. A circle hit fills the hit record (with the id);
// a box hit leaves it untouched. Returns 0, the record untouched, when nothing is hit or there is no
// collision checker.
std::uint32_t RayCast(Ray ray, RayHit& hit);
