#pragma once
#include <cstdint>

// A uniformly distributed integer between a and b, both ends included, in whichever order they come.
std::uint32_t RandomInt(std::uint32_t a, std::uint32_t b);
// min(a, b) + u * (max(a, b) - min(a, b)) with u uniform in [0, 1).
float RandomFloat(float a, float b);
// Seeds both generators with fixed values, so tests repeat; the game seeds them from the random device.
void SeedRandom(std::uint64_t seed);
