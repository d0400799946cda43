#include "DrawingFixture.h"

#include "Font.h"
#include "PostProcessingEffect.h"
#include "RenderLine.h"
#include "TextRenderer.h"
#include "Texture.h"
#include "TextureManager.h"

#include <algorithm>
#include <cmath>
#include <glad/gl.h>
#include <gtest/gtest.h>
#include <utility>

namespace
{
using TextRendering = DrawingTest;

std::uint32_t TextInstances(Graphics& graphics)
{
    std::uint32_t count = 0;
    auto layer = graphics.GetLayers().find(5000);
    if (layer != graphics.GetLayers().end())
        for (const auto& batch : layer->second)
            count += batch->GetInstanceCount();
    return count;
}

GameObject& MakeText(DrawingTest& test, GameObject& object, const std::string& text)
{
    TextRenderer renderer;
    renderer.SetText(text);
    renderer.SetTopRight(Vector2(400.0f, 100.0f));
    object.AddComponent(renderer);
    (void)test;
    return object;
}
} // namespace

TEST_F(TextRendering, TheGameFontGivesATexturePerCharacterAndRestoresTheAlignment)
{
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4);
    const GlyphTable& glyphs = Glyphs();
    for (std::size_t code = 0; code < kGlyphCount; ++code)
        ASSERT_NE(glyphs[code].texture, nullptr) << code;
    EXPECT_EQ(glyphs[0].texture->name, "NULL character");
    EXPECT_EQ(glyphs['A'].texture->name, "Character A");
    EXPECT_EQ(&TextureManager::GetTexture("Character A"), glyphs['A'].texture);
    EXPECT_EQ(glyphs['A'].texture->width, static_cast<std::uint32_t>(glyphs['A'].size.x));
    EXPECT_GT(glyphs[' '].advance, 0u);
}

TEST_F(TextRendering, BytesOutsideAsciiDrawTheNullGlyph)
{
    GameObject& object = MakeObject(0.0f, 0.0f);
    MakeText(*this, object, "\xC3\xA9!");
    RunDrawingSystems();
    EXPECT_EQ(TextInstances(*graphics), 3u);
    const auto& materials = GetTextRenderer(object)->GetCharacterMaterials();
    ASSERT_GE(materials.size(), 3u);
    EXPECT_EQ(materials[0].data.GetUInt("texture")->name, "NULL character");
    EXPECT_EQ(materials[1].data.GetUInt("texture")->name, "NULL character");
    EXPECT_EQ(materials[2].data.GetUInt("texture")->name, "Character !");
    Frame();
}

TEST_F(TextRendering, WithoutTheFontTextDrawsNothingAndTheGameGoesOn)
{
    testing::internal::CaptureStdout();
    LoadFont("./Fonts/Missing.ttf");
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_NE(output.find("ERROR: Could not initialize FTFont ./Fonts/Missing.ttf! Error code: "),
              std::string::npos);
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4);

    GameObject& object = MakeObject(0.0f, 0.0f);
    MakeText(*this, object, "Round 1");
    RunDrawingSystems();
    EXPECT_EQ(TextInstances(*graphics), 0u);
    Settle(2);
}

namespace
{
// Text at the HUD's size on black with no effects, read back from the window: each glyph's ink is found
// as a run of inked columns.
class HudText : public DrawingTest
{
  protected:
    // A 32-pixel line: the camera shows 900 world units across 640 pixels.
    static constexpr float kPixelsPerUnit = 640.0f / 900.0f;
    static constexpr float kSize = 32.0f / kPixelsPerUnit;

    struct Ink
    {
        int left, right, bottom, top; // window pixels, rows counted from the bottom
    };

    void SetUp() override
    {
        DrawingTest::SetUp();
        if (!ready)
            return;
        BlackBackground();
        KeepEffects([](PostProcessingEffect*) { return false; });
        // The boxes' debug lines would cross the ink.
        graphics->drawDebug = false;
    }

    // A text object whose box starts at x = -200 and whose first base line is at y = baseLine.
    void AddText(const std::string& text, float baseLine)
    {
        GameObject& object = MakeObject(0.0f, 0.0f);
        TextRenderer renderer;
        renderer.SetText(text);
        renderer.SetSize(kSize);
        renderer.SetBottomLeft(Vector2(-200.0f, baseLine - 100.0f));
        renderer.SetTopRight(Vector2(200.0f, baseLine + kSize));
        object.AddComponent(renderer);
    }

    // The ink of each glyph in the band of rows [from, to), left to right.
    static std::vector<Ink> Glyphs(const std::vector<std::uint8_t>& pixels, int from, int to)
    {
        auto inked = [&](int x, int y) {
            return pixels[(static_cast<std::size_t>(y) * kWidth + x) * 4] > 100;
        };
        std::vector<Ink> glyphs;
        bool inRun = false;
        for (int x = 0; x < kWidth; ++x)
        {
            int bottom = kHeight, top = -1;
            for (int y = from; y < to; ++y)
                if (inked(x, y))
                {
                    bottom = std::min(bottom, y);
                    top = std::max(top, y);
                }
            if (top < 0)
            {
                inRun = false;
                continue;
            }
            if (!inRun)
                glyphs.push_back({x, x, bottom, top});
            Ink& ink = glyphs.back();
            ink.right = x;
            ink.bottom = std::min(ink.bottom, bottom);
            ink.top = std::max(ink.top, top);
            inRun = true;
        }
        return glyphs;
    }

    // The window row of a world y for the settled camera at the origin.
    static int Row(float worldY)
    {
        return static_cast<int>(std::floor(kHeight / 2.0f + worldY * kPixelsPerUnit));
    }
};
} // namespace

TEST_F(HudText, ScoreAndClockSitOnTheirBaseLineWithoutTouching)
{
    AddText("1:30", 100.0f);
    AddText("3-2.", -100.0f);
    Settle();
    const auto pixels = ReadWindow("hud_text");
    const float advance = static_cast<float>(::Glyphs()['0'].advance) / 64.0f * kSize / kGlyphPixelHeight;
    const float advancePixels = advance * kPixelsPerUnit;
    const float xHeight = ::Glyphs()['x'].bearing.y * kSize / kGlyphPixelHeight * kPixelsPerUnit;

    const int clockBase = Row(100.0f);
    const auto clock = Glyphs(pixels, clockBase - 20, clockBase + 40);
    ASSERT_EQ(clock.size(), 4u) << "each glyph's ink stands apart";
    for (std::size_t digit : {0u, 2u, 3u})
        EXPECT_NEAR(clock[digit].bottom, clockBase, 1) << "digit " << digit << " rests on the base line";
    EXPECT_LT(clock[1].top, clock[0].top) << "the colon stays below the digits' tops";

    const int scoreBase = Row(-100.0f);
    const auto score = Glyphs(pixels, scoreBase - 20, scoreBase + 40);
    ASSERT_EQ(score.size(), 4u) << "each glyph's ink stands apart";
    EXPECT_NEAR(score[0].bottom, scoreBase, 1);
    EXPECT_NEAR(score[2].bottom, scoreBase, 1);
    EXPECT_GT(score[1].bottom, scoreBase + 1) << "the dash lies above the base line";
    EXPECT_LT(score[1].top, scoreBase + xHeight) << "and below the x-height";
    EXPECT_NEAR(score[3].bottom, scoreBase, 1) << "the full stop touches the base line";

    for (const auto& [text, ink] : {std::pair{"1:30", clock}, std::pair{"3-2.", score}})
    {
        const Vector2 measured = MeasureText(text, kSize);
        const float inkWidth = static_cast<float>(ink.back().right - ink.front().left + 1);
        EXPECT_NEAR(measured.x * kPixelsPerUnit, inkWidth, advancePixels) << text;
        int inkTop = 0, inkBottom = kHeight;
        for (const Ink& glyph : ink)
        {
            inkTop = std::max(inkTop, glyph.top);
            inkBottom = std::min(inkBottom, glyph.bottom);
        }
        EXPECT_NEAR(measured.y * kPixelsPerUnit, static_cast<float>(inkTop - inkBottom + 1), advancePixels)
            << text;
        // The box starts at the left of the text's box; the ink starts within one advance of it.
        EXPECT_NEAR(static_cast<float>(ink.front().left), kWidth / 2.0f - 200.0f * kPixelsPerUnit,
                    advancePixels)
            << text;
    }
}
