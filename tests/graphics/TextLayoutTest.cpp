#include "TextLayout.h"
#include "GlyphRasteriser.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
// Layout never looks inside a glyph's texture; any non-null address marks the glyph as present.
int fakeTextureStorage = 0;
Texture* const kPresent = reinterpret_cast<Texture*>(&fakeTextureStorage);

// Every printable glyph 64 px wide with a 128 px advance (one pixel of line height per unit at size 128).
GlyphTable SyntheticGlyphs()
{
    GlyphTable glyphs;
    for (std::size_t code = 0; code < kGlyphCount; ++code)
    {
        glyphs[code].texture = kPresent;
        glyphs[code].size = Vector2(64.0f, 100.0f);
        glyphs[code].bearing = Vector2(4.0f, 90.0f);
        glyphs[code].advance = 128 * 64;
    }
    return glyphs;
}
} // namespace

TEST(TextLayout, CharactersFollowTheCursorFromTheTopLeftOfTheBox)
{
    const GlyphTable glyphs = SyntheticGlyphs();
    // Size 64: s = 0.5, advance 64 units.
    const auto positions = LayoutText("ab", 64.0f, {0.0f, 0.0f}, {1000.0f, 200.0f}, glyphs);
    ASSERT_EQ(positions.size(), 2u);
    EXPECT_FLOAT_EQ(positions[0].x, 2.0f);                  // bearing x * s
    EXPECT_FLOAT_EQ(positions[0].y, 200.0f - 64.0f - 5.0f); // (rows - top) * s below the base line
    EXPECT_FLOAT_EQ(positions[1].x, 66.0f);
}

TEST(TextLayout, ALineBreaksAfterTheCharacterThatCrossesTheEdge)
{
    const GlyphTable glyphs = SyntheticGlyphs();
    const auto positions = LayoutText("abcd", 64.0f, {0.0f, 0.0f}, {100.0f, 200.0f}, glyphs);
    // a ends at 64, b crosses 100 but stays; c starts the second line.
    EXPECT_FLOAT_EQ(positions[1].y, positions[0].y);
    EXPECT_FLOAT_EQ(positions[2].x, 2.0f);
    EXPECT_FLOAT_EQ(positions[2].y, positions[0].y - 64.0f);
    EXPECT_FLOAT_EQ(positions[3].y, positions[2].y);

    // A box of zero width puts every character after the first on a line of its own.
    const auto narrow = LayoutText("abc", 64.0f, {10.0f, 0.0f}, {10.0f, 0.0f}, glyphs);
    EXPECT_FLOAT_EQ(narrow[1].y, narrow[0].y - 64.0f);
    EXPECT_FLOAT_EQ(narrow[2].y, narrow[0].y - 128.0f);
    EXPECT_FLOAT_EQ(narrow[2].x, narrow[0].x);
}

TEST(TextLayout, EveryCharacterAdvancesByItsOwnAdvanceAndMeasuresTheSame)
{
    GlyphTable glyphs = SyntheticGlyphs();
    glyphs['i'].advance = 40 * 64;
    const std::string text = "mwiWlL";
    const auto positions = LayoutText(text, 128.0f, {0.0f, 0.0f}, {1e6f, 0.0f}, glyphs);
    const float expected[] = {4.0f, 132.0f, 260.0f, 300.0f, 428.0f, 556.0f};
    for (std::size_t i = 0; i < text.size(); ++i)
        EXPECT_FLOAT_EQ(positions[i].x, expected[i]) << text[i];
    EXPECT_EQ(MeasureText(text, 128.0f, glyphs), Vector2(5.0f * 128.0f + 40.0f, 128.0f));
    EXPECT_EQ(MeasureText("ab", 64.0f, glyphs), Vector2(128.0f, 64.0f));
    EXPECT_EQ(MeasureText("", 64.0f, glyphs), Vector2(0.0f, 0.0f));
    glyphs[0].advance = 10 * 64;
    EXPECT_EQ(MeasureText("\xC3\xA9", 128.0f, glyphs), Vector2(20.0f, 128.0f));
}

TEST(TextLayout, BytesOutsideAsciiAndMissingGlyphsUseGlyphZero)
{
    GlyphTable glyphs = SyntheticGlyphs();
    glyphs[0].advance = 10 * 64;
    glyphs['q'].texture = nullptr;
    EXPECT_EQ(ResolveGlyph(glyphs, static_cast<char>(0xC3)), &glyphs[0]);
    EXPECT_EQ(ResolveGlyph(glyphs, static_cast<char>(200)), &glyphs[0]);
    EXPECT_EQ(ResolveGlyph(glyphs, 'q'), &glyphs[0]);
    EXPECT_EQ(ResolveGlyph(glyphs, 'a'), &glyphs['a']);

    const auto positions = LayoutText("\xC3\xA9x", 128.0f, {0.0f, 0.0f}, {1e6f, 0.0f}, glyphs);
    EXPECT_FLOAT_EQ(positions[1].x, 4.0f + 10.0f);
    EXPECT_FLOAT_EQ(positions[2].x, 4.0f + 20.0f);
}

TEST(TextLayout, WithNoFontNothingIsDrawnOrAdvanced)
{
    const GlyphTable empty{};
    EXPECT_EQ(ResolveGlyph(empty, 'a'), nullptr);
    const auto positions = LayoutText("abc", 64.0f, {5.0f, 0.0f}, {10.0f, 100.0f}, empty);
    ASSERT_EQ(positions.size(), 3u);
    EXPECT_EQ(positions[2], Vector2(5.0f, 36.0f));
    EXPECT_TRUE(LayoutText("", 64.0f, {}, {}, SyntheticGlyphs()).empty());
}

TEST(TextLayout, CharacterQuadsTakeTheObjectTransformAndTheGlyphSize)
{
    GlyphTable glyphs = SyntheticGlyphs();
    const Matrix3 model = CharacterMatrix({100.0f, 50.0f}, 90.0f, {10.0f, 0.0f}, glyphs['a'], 64.0f);
    // The quad (32 x 50) covers the bitmap from its bottom-left corner at (10, 0), turned a quarter.
    const Vector2 corner = model.TransformPoint({-0.5f, -0.5f});
    EXPECT_NEAR(corner.x, 100.0f, 1e-4f);
    EXPECT_NEAR(corner.y, 60.0f, 1e-4f);
    const Vector2 centre = model.TransformPoint({0.0f, 0.0f});
    EXPECT_NEAR(centre.x, 75.0f, 1e-4f);
    EXPECT_NEAR(centre.y, 76.0f, 1e-4f);
    // The quad's x axis (32 wide) now points up.
    EXPECT_NEAR(model(1, 0), 32.0f, 1e-4f);
}

TEST(GlyphRasteriser, TheGameFontGivesEveryAsciiGlyph)
{
    GlyphBitmaps bitmaps;
    ASSERT_TRUE(RasteriseGlyphs(std::string(GLIMMOCK_SOURCE_DATA) + "/Fonts/Unique.ttf", bitmaps));
    for (std::size_t code = 0; code < bitmaps.size(); ++code)
    {
        EXPECT_TRUE(bitmaps[code].loaded) << code;
        EXPECT_EQ(bitmaps[code].pixels.size(),
                  static_cast<std::size_t>(bitmaps[code].width) * bitmaps[code].rows);
    }
    const GlyphBitmap& capitalA = bitmaps['A'];
    EXPECT_GT(capitalA.width, 60u);
    EXPECT_GT(capitalA.rows, 80u);
    EXPECT_GT(capitalA.top, 80);
    EXPECT_GT(capitalA.advance, 64u * 60u);
    // A space has no pixels but still advances.
    EXPECT_EQ(bitmaps[' '].pixels.size(), 0u);
    EXPECT_GT(bitmaps[' '].advance, 0u);
    // The bottom row of "A" is inked at both legs: rows were copied by pitch, not by width.
    const std::uint8_t* lastRow =
        &capitalA.pixels[static_cast<std::size_t>(capitalA.rows - 1) * capitalA.width];
    EXPECT_GT(lastRow[2], 128);
    EXPECT_GT(lastRow[capitalA.width - 3], 128);
}

TEST(GlyphRasteriser, AMissingFontLoadsNothingAndSaysSo)
{
    GlyphBitmaps bitmaps;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(RasteriseGlyphs("./Fonts/NoSuchFont.ttf", bitmaps));
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_NE(output.find("ERROR: Could not initialize FTFont ./Fonts/NoSuchFont.ttf! Error code: "),
              std::string::npos);
    EXPECT_FALSE(bitmaps['A'].loaded);
}
