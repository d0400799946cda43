#include "Font.h"

#include "GlyphRasteriser.h"
#include "TextureManager.h"

#include <glad/gl.h>

#include <string>

namespace
{
constexpr const char* kNullCharacterName = "NULL character";
constexpr const char* kCharacterPrefix = "Character ";

// Glyph rows are packed one byte a pixel; the default row alignment of 4 comes back however we leave.
class UnpackAlignmentOne
{
  public:
    UnpackAlignmentOne() { glPixelStorei(GL_UNPACK_ALIGNMENT, 1); }
    ~UnpackAlignmentOne() { glPixelStorei(GL_UNPACK_ALIGNMENT, 4); }
    UnpackAlignmentOne(const UnpackAlignmentOne&) = delete;
    UnpackAlignmentOne& operator=(const UnpackAlignmentOne&) = delete;
};

void RegisterGlyph(const std::string& name, const GlyphBitmap& bitmap, Glyph& glyph)
{
    // An empty bitmap (a space) registers the texture manager's placeholder.
    const void* pixels = bitmap.pixels.empty() ? nullptr : bitmap.pixels.data();
    glyph.texture = &TextureManager::CreateTexture(name, bitmap.width, bitmap.rows, pixels, GL_RED);
    glyph.size = Vector2(static_cast<float>(bitmap.width), static_cast<float>(bitmap.rows));
    glyph.bearing = Vector2(static_cast<float>(bitmap.left), static_cast<float>(bitmap.top));
    glyph.advance = bitmap.advance;
}
} // namespace

GlyphTable& Glyphs()
{
    static GlyphTable glyphs{};
    return glyphs;
}

Vector2 MeasureText(const std::string& text, float size)
{
    return MeasureText(text, size, Glyphs());
}

void LoadFont(const char* path)
{
    GlyphTable& glyphs = Glyphs();
    glyphs = GlyphTable{};
    GlyphBitmaps bitmaps;
    if (!RasteriseGlyphs(path, bitmaps))
    {
        return;
    }
    UnpackAlignmentOne alignment;
    for (std::size_t code = 1; code < bitmaps.size(); ++code)
    {
        if (bitmaps[code].loaded)
        {
            RegisterGlyph(kCharacterPrefix + std::string(1, static_cast<char>(code)), bitmaps[code],
                          glyphs[code]);
        }
    }
    if (bitmaps[0].loaded)
    {
        RegisterGlyph(kNullCharacterName, bitmaps[0], glyphs[0]);
    }
}
