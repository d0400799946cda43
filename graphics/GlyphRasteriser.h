#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

// One character rendered by FreeType, rows packed tightly (width bytes a row, top row first).
struct GlyphBitmap
{
    bool loaded = false; // false when FreeType could not load the character
    std::uint32_t width = 0;
    std::uint32_t rows = 0;
    int left = 0;              // bitmap left offset, pixels
    int top = 0;               // bitmap top offset, pixels
    std::uint32_t advance = 0; // 1/64 pixel
    std::vector<std::uint8_t> pixels;
};

using GlyphBitmaps = std::array<GlyphBitmap, 128>;

// Renders character codes 1..127, then 0, of the font at path at a pixel height of 128, printing one line
// for each failure. Returns false (and loads nothing) when FreeType or the font cannot be opened. The
// library and the face stay open until the program ends.
bool RasteriseGlyphs(const std::string& path, GlyphBitmaps& bitmaps);
