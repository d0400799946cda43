#pragma once
#include "Math.h"

#include <cstdint>

// One candidate pair of the collision step, filled in by the narrow phase.
struct ContactRecord
{
    std::uint32_t first = 0;
    std::uint32_t second = 0;
    // The separation on the chosen axis; negative when the shapes overlap.
    float depth = 0.0f;
    // Unit axis of least penetration, pointing from the second object toward the first.
    Vector3 normal;
    // World position of the deepest point of the first object.
    Vector3 point;
};
