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
        const Glyph* glyph = ResolveGlyph(glyphs, text[i]);
        if (glyph == nullptr)
        {
            positions[i] = cursor;
            continue;
        }
        // The glyph bitmap's bottom-left corner: bearing x right of the cursor, its rows below the top
        // bearing hanging under the base line.
        const Vector2 position(cursor.x + glyph->bearing.x * s,
                               cursor.y - (glyph->size.y - glyph->bearing.y) * s);
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
    const Vector2 scaled(glyph.size.x * s, glyph.size.y * s);
    // The quad is centred on its origin, so it moves by half its size to cover the bitmap's rectangle.
    return TranslationMatrix(translation.x, translation.y) * RotationMatrix(rotation) *
           TranslationMatrix(position.x + 0.5f * scaled.x, position.y + 0.5f * scaled.y) *
           ScaleMatrix(scaled.x, scaled.y);
}

Vector2 MeasureText(const std::string& text, float size, const GlyphTable& glyphs)
{
    const float s = size / kGlyphPixelHeight;
    float width = 0.0f;
    for (const char c : text)
    {
        if (const Glyph* glyph = ResolveGlyph(glyphs, c))
            width += static_cast<float>(glyph->advance) / 64.0f * s;
    }
    return text.empty() ? Vector2(0.0f, 0.0f) : Vector2(width, size);
}
