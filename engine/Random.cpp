#include "Random.h"

#include <algorithm>
#include <random>

namespace
{
// Each operation has its own generator, created on first use and seeded once from the random device.
std::mt19937_64& IntGenerator()
{
    static std::mt19937_64 generator{std::random_device{}()};
    return generator;
}

std::mt19937_64& FloatGenerator()
{
    static std::mt19937_64 generator{std::random_device{}()};
    return generator;
}
} // namespace

std::uint32_t RandomInt(std::uint32_t a, std::uint32_t b)
{
    std::uniform_int_distribution<std::uint32_t> distribution(std::min(a, b), std::max(a, b));
    return distribution(IntGenerator());
}

float RandomFloat(float a, float b)
{
    const float low = std::min(a, b);
    const float high = std::max(a, b);
    // One 64-bit draw: its top 24 bits make a float in [0, 1) that never rounds up to 1.
    const float u = static_cast<float>(FloatGenerator()() >> 40) * (1.0f / 16777216.0f);
    return low + u * (high - low);
}

void SeedRandom(std::uint64_t seed)
{
    IntGenerator().seed(seed);
    FloatGenerator().seed(seed ^ 0x9E3779B97F4A7C15ull);
}
