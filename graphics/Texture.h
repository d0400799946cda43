#pragma once
#include <cstdint>
#include <string>

// A registered GL texture, looked up by name or id; batches bind it to one of the 16 texture units.
struct Texture
{
    static constexpr std::uint32_t kNoUnit = 0xFFFFFFFFu;

    std::string name;
    std::uint32_t id = 0;
    std::uint32_t glTexture = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t unit = kNoUnit;

    bool HasUnit() const { return unit != kNoUnit; }
};
