#pragma once
#include <array>
#include <cstdint>

// One entry of the blend table: the editor label and the GL source and destination factors.
struct BlendMode
{
    const char* label;
    std::uint32_t source;
    std::uint32_t destination;
};

// Indexed by MaterialRenderState::blendMode. "Additive" adds only where the destination alpha reads 1,
// as it does on the camera targets, which have no alpha.
inline constexpr std::array<BlendMode, 5> kBlendModes = {{
    {"Opaque", 1, 0},            // GL_ONE, GL_ZERO
    {"Alpha Blended", 770, 771}, // GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA
    {"Additive", 770, 772},      // GL_SRC_ALPHA, GL_DST_ALPHA
    {"Multiplicative", 774, 0},  // GL_DST_COLOR, GL_ZERO
    {"One-One", 1, 1},           // GL_ONE, GL_ONE
}};

enum BlendModeIndex : std::uint32_t
{
    bmOpaque = 0,
    bmAlphaBlended = 1,
    bmAdditive = 2,
    bmMultiplicative = 3,
    bmOneOne = 4,
};

inline constexpr std::uint32_t kDepthNever = 0x0200;
inline constexpr std::uint32_t kDepthLess = 0x0201;
inline constexpr std::uint32_t kDepthAlways = 0x0207;

// Whether the value is one of the eight GL depth functions.
inline bool IsDepthFunction(std::uint32_t value)
{
    return value >= kDepthNever && value <= kDepthAlways;
}

// The GL state a batch draws with; materials share a batch only when all four fields are equal.
struct MaterialRenderState
{
    std::uint32_t blendMode = bmAlphaBlended;
    // Part of the batch key only: items are always sorted.
    bool sortByDepth = false;
    bool writeDepth = true;
    std::uint32_t depthTest = kDepthLess;

    MaterialRenderState() = default;
    MaterialRenderState(std::uint32_t blend, bool write, std::uint32_t test)
        : blendMode(blend), writeDepth(write), depthTest(test)
    {
    }

    bool operator==(const MaterialRenderState&) const = default;
};
