#pragma once
#include "Math.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct Texture;

// One character of the font, as rasterised at a line height of 128 pixels.
struct Glyph
{
    Texture* texture = nullptr; // null when the character could not be rasterised
    Vector2 size;               // bitmap width and rows, pixels
    Vector2 bearing;            // bitmap left and top offsets, pixels
    std::uint32_t advance = 0;  // horizontal advance, 1/64 pixel
};

// The font's glyphs by character code 0..127.
constexpr std::size_t kGlyphCount = 128;
using GlyphTable = std::array<Glyph, kGlyphCount>;
// Pixel height the glyphs are rasterised at; text sizes scale from it.
constexpr float kGlyphPixelHeight = 128.0f;

// The glyph drawn for a character byte: its own for codes 0..127, glyph 0 for any other byte and for a
// character that could not be rasterised; null when glyph 0 is missing too (the character is skipped).
const Glyph* ResolveGlyph(const GlyphTable& glyphs, char character);

// The bottom-left corner of every character's glyph bitmap, in the text's local space. The cursor starts at
// the box's top left, one line down; a line breaks after the character that crosses the box's right edge.
// Skipped characters get the cursor's position and do not advance it.
std::vector<Vector2> LayoutText(const std::string& text, float size, const Vector2& bottomLeft,
                                const Vector2& topRight, const GlyphTable& glyphs);

// The model matrix of a character quad: the object's translation and rotation, then the glyph's bitmap
// rectangle scaled to the text size with its bottom-left corner at the character's position.
Matrix3 CharacterMatrix(const Vector2& translation, float rotation, const Vector2& position,
                        const Glyph& glyph, float size);

// Width and height of the text laid out on one line, with the same advances as drawing: the sum of the
// advances by the line height; (0, 0) for an empty text.
Vector2 MeasureText(const std::string& text, float size, const GlyphTable& glyphs);
