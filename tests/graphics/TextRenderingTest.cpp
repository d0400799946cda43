#include "DrawingFixture.h"

#include "Font.h"
#include "RenderLine.h"
#include "TextRenderer.h"
#include "Texture.h"
#include "TextureManager.h"

#include <glad/gl.h>
#include <gtest/gtest.h>

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
