#pragma once
#include <cstdint>

// One row of the substance table: what picking a substance copies into a body.
struct Substance
{
    std::int32_t index;
    const char* name; // also the item of the editor's substance list
    float density;
    float restitution;
};

inline constexpr std::int32_t kSubstanceCount = 10;
// SetDensity leaves a body on this row whatever density it is given.
inline constexpr std::int32_t kModularSubstance = 8;
// Density 0: a body of this substance has mass 0, yet it is not flagged static.
inline constexpr std::int32_t kStaticSubstance = 7;

// The row at index 0..9; any other index throws std::out_of_range.
const Substance& GetSubstance(std::int32_t index);
// The ten names in table order, for the editor's list.
const char* const* SubstanceNames();
