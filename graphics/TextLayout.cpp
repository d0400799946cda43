#include "TextLayout.h"

const Glyph* ResolveGlyph(const GlyphTable& glyphs, char character)
{
    // Bytes are signed here, so every byte of a multi-byte character falls back to glyph 0.
    const auto code = static_cast<signed char>(character);
    if (code >= 0 && glyphs[static_cast<std::size_t>(code)].texture != nullptr)
    {
        return &glyphs[static_cast<std::size_t>(code)];
    }
    return glyphs[0].texture != nullptr ? &glyphs[0] : nullptr;
}

std::vector<Vector2> LayoutText(const std::string& text, float size, const Vector2& bottomLeft,
                                const Vector2& topRight, const GlyphTable& glyphs)
{
    const float s = size / kGlyphPixelHeight;
    std::vector<Vector2> positions(text.size());
    Vector2 cursor(bottomLeft.x, topRight.y - size);
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const char c = text[i];
        const Glyph* glyph = ResolveGlyph(glyphs, c);
        if (glyph == nullptr)
        {
            positions[i] = cursor;
            continue;
        }
        Vector2 position(cursor.x + glyph->bearing.x * s, cursor.y - (glyph->size.y - glyph->bearing.y) * s);
        // Hand-tuned nudges the game's text was laid out with.
        if (c == 'm')
        {
            position.x += glyph->bearing.x * 5.5f * s;
        }
        if (c == 'i' || c == 'I' || c == 'l' || c == 'L')
        {
            position.x -= 2.0f * glyph->bearing.x * s;
        }
        if (c == 'w' || c == 'W')
        {
            cursor.x -= static_cast<float>(glyph->advance) / 256.0f * s;
        }
        positions[i] = position;

        cursor.x += static_cast<float>(glyph->advance) / 64.0f * s;
        if (cursor.x > topRight.x)
        {
            cursor.x = bottomLeft.x;
            cursor.y -= size;
        }
    }
    return positions;
}

Matrix3 CharacterMatrix(const Vector2& translation, float rotation, const Vector2& position,
                        const Glyph& glyph, float size)
{
    const float s = size / kGlyphPixelHeight;
    return TranslationMatrix(translation.x, translation.y) * RotationMatrix(rotation) *
           TranslationMatrix(position.x, position.y) * ScaleMatrix(glyph.size.x * s, glyph.size.y * s);
}
