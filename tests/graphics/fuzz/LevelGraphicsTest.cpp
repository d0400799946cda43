// Level files read with the graphics hooks of a renderer that has no window: material and background
// blocks are parsed, and a malformed one refuses the whole level before anything changes.
#include "LevelGraphicsWorld.h"

#include "GameObjectFactory.h"
#include "LevelArchive.h"
#include "LevelFile.h"
#include "LevelTestWorld.h"
#include "Renderer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace
{
std::string ReadSeed(const std::string& name)
{
    std::ifstream file(std::string(LEVEL_GRAPHICS_SEEDS) + "/" + name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// The value of the element that follows the first element `after` holding `afterValue`.
void ReplaceElementAfter(std::string& text, const std::string& after, const std::string& element,
                         const std::string& value)
{
    const std::size_t anchor = text.find(after);
    ASSERT_NE(anchor, std::string::npos) << after;
    const std::string open = "<" + element + ">";
    const std::size_t start = text.find(open, anchor);
    ASSERT_NE(start, std::string::npos) << element;
    const std::size_t end = text.find("</" + element + ">", start);
    text.replace(start + open.size(), end - start - open.size(), value);
}

void ReplaceLastElement(std::string& text, const std::string& element, const std::string& value)
{
    const std::string open = "<" + element + ">";
    const std::size_t start = text.rfind(open);
    ASSERT_NE(start, std::string::npos) << element;
    const std::size_t end = text.find("</" + element + ">", start);
    text.replace(start + open.size(), end - start - open.size(), value);
}

bool IsRefused(const std::string& bytes)
{
    try
    {
        StageLevel(bytes, true, "test.xml");
    }
    catch (const LevelFormatError&)
    {
        return true;
    }
    return false;
}

class LevelGraphicsTest : public ::testing::Test
{
  protected:
    LevelGraphicsWorld world;
};
} // namespace

TEST_F(LevelGraphicsTest, TheSeedLevelsLoadWithTheirDrawingComponents)
{
    for (const char* name : {"sprite_background.xml", "every_drawing_component.xml"})
    {
        const std::string bytes = ReadSeed(name);
        ASSERT_NE(bytes.find("<Shader_Name>"), std::string::npos) << name << " holds no material block";
        std::unique_ptr<StagedLevel> level = StageLevel(bytes, true, name);
        CommitLevel(*level);
        int renderers = 0;
        for (const auto& object : gGameObjectFactory->Objects())
            renderers += object != nullptr && object->GetComponentAs<Renderer>(Renderer::kTypeId) != nullptr;
        EXPECT_EQ(renderers, 1) << name;
        world.Restart();
    }
}

// An offset of 2^64 - 16 wraps offset + 16 to 0, which once passed the bounds check and let the value
// be copied 16 bytes before the instance data.
TEST_F(LevelGraphicsTest, AnAttributeOffsetThatWrapsRefusesTheLevelAndChangesNothing)
{
    std::string bytes = ReadSeed("sprite_background.xml");
    ASSERT_FALSE(IsRefused(bytes));
    const WorldFingerprint before = TakeFingerprint();
    ReplaceElementAfter(bytes, "<Attribute_Name>tint</Attribute_Name>", "Attribute_Data_Offset",
                        "18446744073709551600");
    EXPECT_TRUE(IsRefused(bytes));
    EXPECT_EQ(TakeFingerprint(), before);

    // Offsets just past the end, and sizes that would reach past it, are refused the same way.
    for (const char* offset : {"18446744073709551615", "4294967295", "100000"})
    {
        std::string shifted = ReadSeed("sprite_background.xml");
        ReplaceElementAfter(shifted, "<Attribute_Name>tint</Attribute_Name>", "Attribute_Data_Offset",
                            offset);
        EXPECT_TRUE(IsRefused(shifted)) << offset;
    }
    EXPECT_EQ(TakeFingerprint(), before);
}

TEST_F(LevelGraphicsTest, AMalformedBackgroundBlockRefusesTheLevelWithoutAWindow)
{
    std::string bytes = ReadSeed("sprite_background.xml");
    const WorldFingerprint before = TakeFingerprint();
    // The background's material is the file's last material block.
    ReplaceLastElement(bytes, "Blend_Mode", "9");
    EXPECT_TRUE(IsRefused(bytes));
    EXPECT_EQ(TakeFingerprint(), before);
}
