#include "GlyphRasteriser.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <cstring>

namespace
{
constexpr FT_UInt kPixelHeight = 128;

// The FreeType library and the open faces, released when the program ends.
struct FreeTypeSession
{
    FT_Library library = nullptr;
    std::vector<FT_Face> faces;

    ~FreeTypeSession()
    {
        for (FT_Face face : faces)
        {
            FT_Done_Face(face);
        }
        if (library != nullptr)
        {
            FT_Done_FreeType(library);
        }
    }
};

FreeTypeSession& Session()
{
    static FreeTypeSession session;
    return session;
}

// Loads and renders one character; false (with its message) when FreeType refuses.
bool RasteriseOne(FT_Face face, unsigned code, GlyphBitmap& bitmap)
{
    const FT_Error error = FT_Load_Char(face, code, FT_LOAD_RENDER);
    if (error != 0)
    {
        std::printf("ERROR: Could not load character %c! Error code: %i\n", static_cast<char>(code), error);
        return false;
    }
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& source = slot->bitmap;
    bitmap.loaded = true;
    bitmap.width = source.width;
    bitmap.rows = source.rows;
    bitmap.left = slot->bitmap_left;
    bitmap.top = slot->bitmap_top;
    bitmap.advance = static_cast<std::uint32_t>(slot->advance.x);
    bitmap.pixels.assign(static_cast<std::size_t>(source.width) * source.rows, 0);
    // Rows are copied by pitch: FreeType pads them, and a negative pitch stores them bottom-up.
    for (unsigned row = 0; row < source.rows && source.buffer != nullptr; ++row)
    {
        const unsigned char* from =
            source.pitch >= 0
                ? source.buffer + static_cast<std::ptrdiff_t>(row) * source.pitch
                : source.buffer + static_cast<std::ptrdiff_t>(source.rows - 1 - row) * -source.pitch;
        std::memcpy(&bitmap.pixels[static_cast<std::size_t>(row) * source.width], from, source.width);
    }
    return true;
}
} // namespace

bool RasteriseGlyphs(const std::string& path, GlyphBitmaps& bitmaps)
{
    bitmaps = GlyphBitmaps{};
    FreeTypeSession& session = Session();
    if (session.library == nullptr)
    {
        const FT_Error error = FT_Init_FreeType(&session.library);
        if (error != 0)
        {
            session.library = nullptr;
            std::printf("ERROR: Could not initialize FTLibrary! Error code: %i\n", error);
            return false;
        }
    }
    FT_Face face = nullptr;
    const FT_Error error = FT_New_Face(session.library, path.c_str(), 0, &face);
    if (error != 0)
    {
        std::printf("ERROR: Could not initialize FTFont %s! Error code: %i\n", path.c_str(), error);
        return false;
    }
    session.faces.push_back(face);
    FT_Set_Pixel_Sizes(face, 0, kPixelHeight);

    for (unsigned code = 1; code < bitmaps.size(); ++code)
    {
        RasteriseOne(face, code, bitmaps[code]);
    }
    RasteriseOne(face, 0, bitmaps[0]);
    return true;
}
