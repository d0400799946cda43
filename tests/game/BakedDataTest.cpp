#include "BackgroundRenderer.h"
#include "BehaviorTablesData.h"
#include "CCSM.h"
#include "CCSMFactory.h"
#include "Font.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "Graphics.h"
#include "LevelBaker.h"
#include "LevelFile.h"
#include "MatchLevels.h"
#include "MenuButtonState.h"
#include "MenuScript.h"
#include "MenuSystem.h"
#include "PlayHarness.h"
#include "Renderer.h"
#include "TextRenderer.h"
#include "Transform.h"
#include "TypeIds.h"

#include <glad/gl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

// The committed menu levels: a re-bake gives the same bytes, and each file loads into the kit the menus
// expect.
namespace
{
const std::string kSourceData = GLIMMOCK_SOURCE_DATA_DIR;

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// The texts of every element of that name, in file order.
std::vector<std::string> Matches(const std::string& text, const std::string& element)
{
    std::vector<std::string> found;
    const std::string open = "<" + element + ">";
    const std::string close = "</" + element + ">";
    for (std::size_t at = text.find(open); at != std::string::npos; at = text.find(open, at + 1))
    {
        const std::size_t start = at + open.size();
        const std::size_t end = text.find(close, start);
        if (end == std::string::npos)
            break;
        found.push_back(text.substr(start, end - start));
    }
    return found;
}

struct Row
{
    const char* name;
    std::uint32_t tag;
    Vector2 position;
    Vector2 size;
    int order; // 0: no sprite
    const char* label;
};

// The kit's rows as every menu level holds them.
const std::vector<Row>& KitRows()
{
    static const std::vector<Row> rows = {
        {"Main Menu", 8, {0, 0}, {1, 1}, 0, nullptr},
        {"MM_Play_Button", 9, {0, 55}, {220, 44}, 4200, "Play"},
        {"MM_Controls_Button", 9, {0, 0}, {220, 44}, 4200, "Controls"},
        {"MM_Settings_Button", 9, {0, -55}, {220, 44}, 4200, "Settings"},
        {"MM_Credits_Button", 9, {0, -110}, {220, 44}, 4200, "Credits"},
        {"MM_Quit_Button", 9, {0, -165}, {220, 44}, 4200, "Quit"},
        {"Settings Menu", 8, {0, -5}, {340, 300}, 4100, "Settings"},
        {"Settings_FullScreen_Button", 9, {0, 55}, {280, 44}, 4200, "Full Screen: Off"},
        {"Settings_Music_Button", 9, {0, 0}, {280, 44}, 4200, "Music: On"},
        {"Settings_SFX_Button", 9, {0, -55}, {280, 44}, 4200, "SFX: On"},
        {"Settings_Back_Button", 9, {0, -110}, {280, 44}, 4200, "Back"},
        {"Pause Menu", 8, {0, -25}, {300, 420}, 4100, "Paused"},
        {"Resume Button", 9, {0, 120}, {220, 40}, 4200, "Resume"},
        {"Restart_Button", 9, {0, 70}, {220, 40}, 4200, "Restart"},
        {"Controls_Button", 9, {0, 20}, {220, 40}, 4200, "Controls"},
        {"Options_Button", 9, {0, -30}, {220, 40}, 4200, "Options"},
        {"Credits_Button", 9, {0, -80}, {220, 40}, 4200, "Credits"},
        {"Quit Button", 9, {0, -130}, {220, 40}, 4200, "Main Menu"},
        {"QuitGame_Button", 9, {0, -180}, {220, 40}, 4200, "Quit Game"},
        {"Controls Menu", 8, {0, 0}, {1, 1}, 0, nullptr},
        {"Return_Button", 9, {0, -205}, {200, 40}, 4200, "Return"},
        {"CDA", 8, {0, 0}, {700, 220}, 4100, "Are you sure you want to quit?"},
        {"No Button", 9, {-100, -50}, {150, 44}, 4200, "No"},
        {"Yes Button", 9, {100, -50}, {150, 44}, 4200, "Yes"},
        {"Controls", 0, {0, 35}, {720, 405}, 4300, nullptr},
        {"ControlsBG", 0, {0, 0}, {4000, 2000}, 4000, nullptr},
    };
    return rows;
}

Transform& TransformOf(GameObject& object)
{
    return *object.GetComponentAs<Transform>(ComponentTypeId::kTransform);
}

class BakedDataTest : public PlayTest
{
  protected:
    // Loads a committed level as a screen does; returns what it printed.
    std::string Load(const std::string& name)
    {
        // Levels load inside the engine update, after the renderer has emptied its batches.
        gGraphics->Update(0.0f);
        testing::internal::CaptureStdout();
        LoadLevelWithFallback(name);
        return testing::internal::GetCapturedStdout();
    }
};
} // namespace

// Baking again gives the committed bytes (checked where the committed files were made: llvmpipe).
TEST_F(BakedDataTest, ReBakingEveryTargetGivesTheCommittedFile)
{
    const std::string renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const std::string out = (std::filesystem::temp_directory_path() / "glimmock-rebake").string();
    std::filesystem::remove_all(out);
    ASSERT_FALSE(BakeTargets().empty());
    for (const BakeTarget& target : BakeTargets())
    {
        ASSERT_EQ(BakeLevel(target, out), "") << target.name;
        const std::string baked = ReadFile(out + "/Levels/" + target.name + ".xml");
        const std::string committed = ReadFile(kSourceData + "/Levels/" + target.name + ".xml");
        ASSERT_FALSE(committed.empty()) << target.name << " is not committed";
        if (renderer.find("llvmpipe") != std::string::npos)
        {
            EXPECT_TRUE(baked == committed) << target.name << " differs from a fresh bake: run the bake-data target";
        }
    }
    std::filesystem::remove_all(out);

    // A folder that cannot be written reports the reason instead of throwing.
    EXPECT_NE(BakeLevel(BakeTargets().front(), "/proc/glimmock-cannot-write"), "");
}

// Each menu level loads cleanly into the whole kit; after the builders each menu lists its buttons once,
// in order, with the table's actions; the files carry the sound list, the button tables and nothing of the
// match, and every box lies inside the view.
TEST_F(BakedDataTest, EachMenuLevelLoadsIntoTheKit)
{
    std::set<std::string> assets;
    for (const auto& entry : std::filesystem::directory_iterator(kSourceData + "/Assets"))
        if (entry.path().extension() == ".png")
            assets.insert(entry.path().stem().string());

    for (const char* level : {"MainMenu_New", "Victory_Orange", "Victory_Blue"})
    {
        SCOPED_TRACE(level);
        Game().ResetWorld();
        const std::string printed = Load(level);
        EXPECT_EQ(printed.find("NOT RECOGNIZED"), std::string::npos) << printed;
        EXPECT_EQ(printed.find("Could not locate texture"), std::string::npos) << printed;
        EXPECT_EQ(printed.find("WARNING"), std::string::npos) << printed;
        EXPECT_TRUE(GetLevelModuleNames().empty());

        for (const Row& row : KitRows())
        {
            GameObject* object = Named(row.name);
            ASSERT_NE(object, nullptr) << row.name;
            EXPECT_EQ(object->tag, row.tag) << row.name;
            const Vector3 position = TransformOf(*object).GetTranslation();
            const Vector3 scale = TransformOf(*object).GetScale();
            EXPECT_EQ((Vector2{position.x, position.y}), row.position) << row.name;
            Renderer* sprite = GetRenderer(*object);
            EXPECT_EQ(sprite != nullptr, row.order != 0) << row.name;
            if (sprite != nullptr)
            {
                EXPECT_EQ((Vector2{scale.x, scale.y}), row.size) << row.name;
                EXPECT_EQ(sprite->material.GetOrder(), row.order) << row.name;
            }
            TextRenderer* text = GetTextRenderer(*object);
            EXPECT_EQ(text != nullptr, row.label != nullptr) << row.name;
            if (text != nullptr)
            {
                EXPECT_EQ(text->GetText(), row.label);
                EXPECT_EQ(text->GetSize(), std::string(row.name) == "CDA" ? 22.0f : 26.0f) << row.name;
                EXPECT_EQ(text->GetTint(), (Vector4{1, 1, 1, 0})) << row.name << " starts hidden";
                // Centred on the object by the glyph advances of the label shown.
                EXPECT_NEAR(text->GetBottomLeft().x, -MeasureText(row.label, text->GetSize()).x / 2, 0.01f)
                    << row.name;
                EXPECT_GE(text->GetTopRight().x, MeasureText(row.label, text->GetSize()).x / 2) << row.name;
            }
        }

        // Every box inside the view (the controls' backdrop excepted).
        for (const auto& object : gGameObjectFactory->Objects())
        {
            if (object == nullptr || object->name == "ControlsBG")
                continue;
            EXPECT_NE(object->tag, kTagMatchManager) << object->name;
            if (auto* machine = object->GetComponentAs<CCSM>(ComponentTypeId::kCCSM))
            {
                const auto& stack = machine->GetStateStack();
                EXPECT_TRUE(stack.empty() || stack.back() == kStateMenuButtonMode) << object->name;
            }
            const Vector3 p = TransformOf(*object).GetTranslation();
            const Vector3 s = TransformOf(*object).GetScale();
            if (GetRenderer(*object) != nullptr)
            {
                EXPECT_LE(std::abs(p.x) + s.x / 2, 450.0f) << object->name;
                EXPECT_LE(std::abs(p.y) + s.y / 2, 240.0f) << object->name;
            }
            if (TextRenderer* text = GetTextRenderer(*object))
            {
                EXPECT_GE(p.x + text->GetBottomLeft().x, -450.0f) << object->name;
                EXPECT_LE(p.x + text->GetTopRight().x, 450.0f) << object->name;
                EXPECT_LE(std::abs(p.y + text->GetTopRight().y), 240.0f) << object->name;
            }
        }

        // After the builders each menu lists its buttons once, in order, with the table's indices.
        const std::map<std::string, std::vector<std::string>> lists{
            {"Main Menu",
             {"MM_Play_Button", "MM_Controls_Button", "MM_Settings_Button", "MM_Credits_Button", "MM_Quit_Button"}},
            {"Settings Menu",
             {"Settings_FullScreen_Button", "Settings_Music_Button", "Settings_SFX_Button", "Settings_Back_Button"}},
            {"Pause Menu",
             {"Resume Button", "Restart_Button", "Controls_Button", "Options_Button", "Credits_Button",
              "Quit Button", "QuitGame_Button"}},
            {"Controls Menu", {"Return_Button"}},
            {"CDA", {"No Button", "Yes Button"}},
        };
        for (const auto& [menu, buttons] : lists)
            EXPECT_EQ(gMenuSystem->GetMenuScript(menu)->GetButtonNames(), buttons) << menu;
        const std::map<std::string, std::vector<std::uint32_t>> actions{
            {"MM_Settings_Button", {7, 10, 2}}, {"Settings_Music_Button", {21, 10, 2}},
            {"Quit Button", {4, 10, 2}},        {"Return_Button", {14, 0, 0}},
            {"No Button", {15, 10, 2}},         {"Yes Button", {0, 10, 2}},
        };
        for (const auto& [button, indices] : actions)
        {
            const MenuButtonState* state = ButtonStateOf(MenuScript::FindButton(button));
            ASSERT_NE(state, nullptr) << button;
            EXPECT_EQ((std::vector<std::uint32_t>{state->pressAction, state->selectAction, state->deselectAction}),
                      indices)
                << button;
        }
        EXPECT_EQ(gGameObjectFactory->GetObjectsWithTag(kTagMenuButton).size(), 19u);

        // The file itself: the sound list, exactly the button tables, PNG textures only.
        const std::string file = ReadFile(kSourceData + "/Levels/" + level + ".xml");
        EXPECT_EQ(Matches(file, "Observer_EventType"),
                  (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8", "9", "15", "16", "17"}));
        EXPECT_EQ(Matches(file, "CommandContext_Name"), std::vector<std::string>{"Button Context"});
        EXPECT_EQ(Matches(file, "CommandContext_Tag"), (std::vector<std::string>{"13", "14", "15"}));
        EXPECT_EQ(Matches(file, "BehaviorSet_Name"), std::vector<std::string>{"Button Behavior"});
        EXPECT_EQ(Matches(file, "Behavior_Tag"), std::vector<std::string>{"7"});
        EXPECT_EQ(Matches(file, "Behavior_Name"), std::vector<std::string>{"Button Context"});
        for (const std::string& texture : Matches(file, "Texture_Name"))
            EXPECT_TRUE(texture == "Default" || assets.count(texture) == 1) << texture;
    }

    // The main menu's art and the victory screens' own rows.
    Game().ResetWorld();
    Load("MainMenu_New");
    for (const auto& [name, y, order] : {std::tuple{"MM_Logo", 165.0f, 3020}, std::tuple{"MM_Border_Detail", 96.0f, 3010},
                                          std::tuple{"MM_Border", -55.0f, 3000}})
    {
        ASSERT_NE(Named(name), nullptr) << name;
        EXPECT_EQ(TransformOf(*Named(name)).GetTranslation().y, y);
        EXPECT_EQ(GetRenderer(*Named(name))->material.GetOrder(), order);
        EXPECT_EQ(GetRenderer(*Named(name))->tint.w, 1.0f);
    }
    EXPECT_EQ(gGraphics->GetBackground()->GetMaterial().data.GetVector4("tint"), (Vector4{1, 1, 1, 1}));
    EXPECT_FALSE(gGraphics->GetBackground()->GetUseTime());
    Game().ResetWorld();
    Load("Victory_Blue");
    ASSERT_NE(Named("Victory_Banner"), nullptr);
    EXPECT_EQ(TransformOf(*Named("Victory_Banner")).GetScale(), (Vector3{640, 320, 1}));
    EXPECT_EQ(TransformOf(*Named("Victory_Hint")).GetTranslation().y, -170.0f);
    EXPECT_EQ(gGraphics->GetBackground()->GetMaterial().data.GetVector4("tint"), (Vector4{0.65f, 0.8f, 1.0f, 1.0f}));
}

// The match's modules: baking again gives the committed bytes (llvmpipe), and every module is committed.
TEST_F(BakedDataTest, ReBakingEveryModuleGivesTheCommittedFile)
{
    const std::string renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const std::string out = (std::filesystem::temp_directory_path() / "glimmock-rebake-modules").string();
    std::filesystem::remove_all(out);
    ASSERT_EQ(ModuleBakeTargets().size(), 5u);
    for (const ModuleBakeTarget& target : ModuleBakeTargets())
    {
        ASSERT_EQ(BakeModule(target, out), "") << target.name;
        const std::string baked = ReadFile(out + "/Modules/" + target.name + ".xml");
        const std::string committed = ReadFile(kSourceData + "/Modules/" + target.name + ".xml");
        ASSERT_FALSE(committed.empty()) << target.name << " is not committed";
        if (renderer.find("llvmpipe") != std::string::npos)
        {
            EXPECT_TRUE(baked == committed) << target.name << " differs from a fresh bake: run the bake-data target";
        }
    }
    ResetBakeWorld();
    std::filesystem::remove_all(out);
    EXPECT_NE(BakeModule(ModuleBakeTargets().front(), "/proc/glimmock-cannot-write"), "");
}
