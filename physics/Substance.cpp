#include "Substance.h"

#include <stdexcept>
#include <string>

namespace
{
// Every row gives both friction coefficients 0, so picking a substance always clears them.
constexpr Substance kSubstances[kSubstanceCount] = {
    {0, "Rock", 0.6f, 0.1f},   {1, "Wood", 0.3f, 0.2f},       {2, "Metal", 1.2f, 0.05f},
    {3, "Ice", 0.6f, 0.1f},    {4, "BouncyBall", 0.3f, 0.8f}, {5, "SuperBall", 0.3f, 0.95f},
    {6, "Pillow", 0.1f, 0.2f}, {7, "Static", 0.0f, 0.4f},     {8, "Modular", 0.3f, 0.95f},
    {9, "Player", 0.3f, 0.0f},
};

constexpr const char* kSubstanceNames[kSubstanceCount] = {
    "Rock", "Wood", "Metal", "Ice", "BouncyBall", "SuperBall", "Pillow", "Static", "Modular", "Player"};
} // namespace

const Substance& GetSubstance(std::int32_t index)
{
    if (index < 0 || index >= kSubstanceCount)
        throw std::out_of_range("No substance with index " + std::to_string(index));
    return kSubstances[index];
}

const char* const* SubstanceNames()
{
    return kSubstanceNames;
}
