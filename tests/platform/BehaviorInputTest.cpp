#include "BehaviorInput.h"
#include "InputBindingEditor.h"
#include "InputTestSupport.h"
#include "LevelIArchive.h"
#include "MetaHooks.h"
#include "PlatformPrototypes.h"
#include "Prototypes.h"
#include "TypeIds.h"

#include <boost/archive/xml_oarchive.hpp>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <imgui.h>

#include <sstream>

namespace
{
using namespace input_test;
using ::testing::ElementsAre;

class BindingTest : public InputTest
{
  protected:
    void SetUp() override
    {
        InputTest::SetUp();
        MetaHooks::Reset();
        ResetPrototypes();
    }
    void TearDown() override
    {
        MetaHooks::Reset();
        ResetPrototypes();
        InputTest::TearDown();
    }

    GameController& Slot(int index) { return input->controllers[index]; }

    BehaviorInput bindings;
};
using BindingTruthTable = BindingTest;
using BindingXml = BindingTest;
using BindingEditor = BindingTest;

TEST_F(BindingTruthTable, StartsWithSevenUnboundBindings)
{
    ASSERT_EQ(bindings.GetBindings().size(), 7u);
    EXPECT_EQ(bindings.GetBindings()[6], InputBinding{});
    EXPECT_EQ(bindings.GetBindings()[0].button, -1);
    EXPECT_EQ(bindings.GetBindings()[0].axis, -1);
    EXPECT_EQ(bindings.GetBindings()[0].controllerIndex, -1);
    EXPECT_EQ(bindings.GetTypeId(), ComponentTypeId::kBehaviorInput);
    EXPECT_EQ(bindings.GetVersion(), 1u);
}

TEST_F(BindingTruthTable, WithoutAControllerOnlyTheKeyCounts)
{
    bindings.SetKey(BehaviorInput::actJump, SDLK_w);
    bindings.SetButton(BehaviorInput::actJump, SDL_CONTROLLER_BUTTON_A, -1);
    Slot(0).HandleButtonEvent(ButtonEvent(true, SDL_CONTROLLER_BUTTON_A, 0), true);
    Slot(1).HandleButtonEvent(ButtonEvent(true, SDL_CONTROLLER_BUTTON_A, 0), true);
    EXPECT_FALSE(bindings.IsActionTriggered(BehaviorInput::actJump));
    EXPECT_FALSE(bindings.IsActionHeld(BehaviorInput::actJump));

    RunUpdate({KeyEvent(true, SDLK_w)});
    EXPECT_TRUE(bindings.IsActionTriggered(BehaviorInput::actJump));
    EXPECT_TRUE(bindings.IsActionHeld(BehaviorInput::actJump));
    RunUpdate();
    EXPECT_FALSE(bindings.IsActionTriggered(BehaviorInput::actJump));
    EXPECT_TRUE(bindings.IsActionHeld(BehaviorInput::actJump));
}

TEST_F(BindingTruthTable, PressAndReleaseInOneFrameStillTriggers)
{
    bindings.SetKey(BehaviorInput::actGrab, SDLK_e);
    RunUpdate({KeyEvent(true, SDLK_e), KeyEvent(false, SDLK_e)});
    EXPECT_TRUE(bindings.IsActionTriggered(BehaviorInput::actGrab));
    EXPECT_FALSE(bindings.IsActionHeld(BehaviorInput::actGrab));
}

TEST_F(BindingTruthTable, AnUnboundKeyNeverFires)
{
    RunUpdate({KeyEvent(true, SDLK_UNKNOWN)});
    EXPECT_FALSE(bindings.IsActionTriggered(BehaviorInput::actUp));
    EXPECT_FALSE(bindings.IsActionHeld(BehaviorInput::actUp));
}

TEST_F(BindingTruthTable, ButtonsCountOnlyOnTheirSlot)
{
    bindings.SetButton(BehaviorInput::actJump, SDL_CONTROLLER_BUTTON_A, 1);
    Slot(0).HandleButtonEvent(ButtonEvent(true, SDL_CONTROLLER_BUTTON_A, 0), true);
    EXPECT_FALSE(bindings.IsActionTriggered(BehaviorInput::actJump));
    EXPECT_FALSE(bindings.IsActionHeld(BehaviorInput::actJump));
    Slot(1).HandleButtonEvent(ButtonEvent(true, SDL_CONTROLLER_BUTTON_A, 0), true);
    EXPECT_TRUE(bindings.IsActionTriggered(BehaviorInput::actJump));
    EXPECT_TRUE(bindings.IsActionHeld(BehaviorInput::actJump));
}

TEST_F(BindingTruthTable, AxisDirectionIsRespected)
{
    // A replay feeds the axis, so no device is needed; the slot only has to be open.
    bindings.SetAxis(BehaviorInput::actLeft, 0, 0, false);
    bindings.SetAxis(BehaviorInput::actRight, 0, 0, true);
    WriteReplayFile("0 0 0 -20000 0\n1 0 0 -20000 0\n2 0 0 0 0\n3 0 0 20000 0\n9 768 1 97 0\n");
    Slot(0).connected = true;
    StartReplay();
    RunUpdate();
    RunUpdate();
    EXPECT_TRUE(bindings.IsActionTriggered(BehaviorInput::actLeft));
    EXPECT_TRUE(bindings.IsActionHeld(BehaviorInput::actLeft));
    EXPECT_FALSE(bindings.IsActionTriggered(BehaviorInput::actRight));
    EXPECT_FALSE(bindings.IsActionHeld(BehaviorInput::actRight));
    RunUpdate();
    EXPECT_FALSE(bindings.IsActionTriggered(BehaviorInput::actLeft));
    EXPECT_TRUE(bindings.IsActionHeld(BehaviorInput::actLeft));
    RunUpdate();
    RunUpdate();
    EXPECT_TRUE(bindings.IsActionTriggered(BehaviorInput::actRight));
    EXPECT_FALSE(bindings.IsActionHeld(BehaviorInput::actLeft));
    StopReplay();
    Slot(0).connected = false;
}

TEST_F(BindingTruthTable, NoAxisWithAControllerIsNeverHeld)
{
    bindings.SetButton(BehaviorInput::actDown, -1, 0);
    EXPECT_FALSE(bindings.IsActionHeld(BehaviorInput::actDown));
    EXPECT_FALSE(bindings.IsActionTriggered(BehaviorInput::actDown));
    Slot(0).HandleButtonEvent(ButtonEvent(true, 255, 0), true);
    EXPECT_FALSE(bindings.IsActionHeld(BehaviorInput::actDown));
    EXPECT_FALSE(bindings.IsActionTriggered(BehaviorInput::actDown));
}

TEST_F(BindingTruthTable, MissingBindingsAnswerFalse)
{
    EXPECT_FALSE(bindings.IsActionTriggered(7));
    EXPECT_FALSE(bindings.IsActionHeld(-1));
    bindings.SetKey(9, SDLK_a);
    EXPECT_EQ(bindings.FindBinding(9), nullptr);
}

std::string SaveToXml(const BehaviorInput& component)
{
    std::ostringstream text;
    {
        boost::archive::xml_oarchive archive(text);
        component.Save(archive);
    }
    return text.str();
}

std::unique_ptr<Component> LoadFromXml(BehaviorInput& component, const std::string& xml)
{
    std::istringstream text(xml);
    LevelIArchive archive(text);
    return component.Load(archive);
}

TEST_F(BindingXml, RoundTripKeepsEveryValueAndTheElementOrder)
{
    bindings.SetKey(BehaviorInput::actUp, SDLK_UP);
    bindings.SetButton(BehaviorInput::actJump, SDL_CONTROLLER_BUTTON_A, 1);
    bindings.SetAxis(BehaviorInput::actRight, 3, 1, true);
    bindings.SetKey(6, SDLK_RETURN);
    const std::string xml = SaveToXml(bindings);

    std::vector<std::string> names;
    const std::string opening = "<BehaviorInput_";
    for (std::size_t at = xml.find(opening); at != std::string::npos; at = xml.find(opening, at + 1))
        names.push_back(xml.substr(at + 1, xml.find('>', at) - at - 1));
    ASSERT_EQ(names.size(), 36u);
    EXPECT_THAT(std::vector<std::string>(names.begin(), names.begin() + 6),
                ElementsAre("BehaviorInput_Size", "BehaviorInput_Key", "BehaviorInput_Button",
                            "BehaviorInput_Axis", "BehaviorInput_AxisPositive",
                            "BehaviorInput_ControllerIndex"));
    EXPECT_NE(xml.find("<BehaviorInput_Size>7</BehaviorInput_Size>"), std::string::npos);

    BehaviorInput loaded;
    const std::unique_ptr<Component> clone = LoadFromXml(loaded, xml);
    EXPECT_EQ(loaded.GetBindings(), bindings.GetBindings());
    const auto* cloned = dynamic_cast<const BehaviorInput*>(clone.get());
    ASSERT_NE(cloned, nullptr);
    EXPECT_EQ(cloned->GetBindings(), bindings.GetBindings());
}

std::string BlockWithSize(const std::string& size)
{
    BehaviorInput empty;
    std::string xml = SaveToXml(empty);
    const std::string sized = "<BehaviorInput_Size>" + size + "</BehaviorInput_Size>";
    xml.replace(xml.find("<BehaviorInput_Size>7</BehaviorInput_Size>"),
                std::string("<BehaviorInput_Size>7</BehaviorInput_Size>").size(), sized);
    return xml;
}

TEST_F(BindingXml, HugeOrOversizedCountsAreRejected)
{
    BehaviorInput loaded;
    EXPECT_THROW(LoadFromXml(loaded, BlockWithSize("1000000000")), LevelFormatError);
    EXPECT_THROW(LoadFromXml(loaded, BlockWithSize("65")), LevelFormatError);
    EXPECT_THROW(LoadFromXml(loaded, BlockWithSize("-1")), LevelFormatError);
    EXPECT_EQ(loaded.GetBindings().size(), 7u);
}

TEST_F(BindingXml, UnreadableValuesAreFormatErrors)
{
    BehaviorInput loaded;
    std::string xml = SaveToXml(loaded);
    xml.replace(xml.find("<BehaviorInput_Axis>-1<"), 24, "<BehaviorInput_Axis>up<");
    EXPECT_THROW(LoadFromXml(loaded, xml), LevelFormatError);
}

TEST_F(BindingXml, AShortBlockLoadsAndAnswersFalseForTheRest)
{
    BehaviorInput shortBlock;
    std::string xml = BlockWithSize("2");
    // Keep the size and the first two bindings: cut everything after the tenth value element.
    std::size_t end = 0;
    for (int element = 0; element < 11; ++element)
        end = xml.find("</BehaviorInput_", end) + 1;
    end = xml.find('>', end) + 1;
    xml = xml.substr(0, end) + "\n</boost_serialization>\n";
    LoadFromXml(shortBlock, xml);
    EXPECT_EQ(shortBlock.GetBindings().size(), 2u);
    EXPECT_FALSE(shortBlock.IsActionHeld(BehaviorInput::actGrab));
}

TEST_F(BindingXml, RegisteredAsAPrototypeByItsClassName)
{
    RegisterPlatformPrototypes();
    Component* prototype = FindComponentPrototype("BehaviorInput");
    ASSERT_NE(prototype, nullptr);
    EXPECT_EQ(prototype->GetTypeId(), ComponentTypeId::kBehaviorInput);
    EXPECT_TRUE(MetaHooks::editInput);
}

TEST(KeyDisplayNames, NameCharactersArrowsAndShifts)
{
    EXPECT_EQ(KeyDisplayName('a'), "a");
    EXPECT_EQ(KeyDisplayName('!'), "!");
    EXPECT_EQ(KeyDisplayName('~'), "~");
    EXPECT_EQ(KeyDisplayName(SDLK_SPACE), "Space Bar");
    EXPECT_EQ(KeyDisplayName(SDLK_UP), "Up Arrow");
    EXPECT_EQ(KeyDisplayName(SDLK_DOWN), "Down Arrow");
    EXPECT_EQ(KeyDisplayName(SDLK_LEFT), "Left Arrow");
    EXPECT_EQ(KeyDisplayName(SDLK_RIGHT), "Right Arrow");
    EXPECT_EQ(KeyDisplayName(SDLK_LSHIFT), "Left Shift");
    EXPECT_EQ(KeyDisplayName(SDLK_RSHIFT), "Right Shift");
    EXPECT_EQ(KeyDisplayName(0), "Not Set");
    EXPECT_EQ(KeyDisplayName(127), "UNREADABLE");
    EXPECT_EQ(KeyDisplayName(SDLK_RETURN), "UNREADABLE");
}

TEST_F(BindingEditor, CaptureTakesTheFirstHeldKeyOrZeroForAButton)
{
    EXPECT_EQ(CaptureKey(*input), std::nullopt);
    Slot(1).HandleButtonEvent(ButtonEvent(true, SDL_CONTROLLER_BUTTON_B, 0), true);
    EXPECT_EQ(CaptureKey(*input), 0);
    RunUpdate({KeyEvent(true, SDLK_k), KeyEvent(true, SDLK_j)});
    EXPECT_EQ(CaptureKey(*input), SDLK_k);
}

// One headless Dear ImGui frame around the component's editor.
class ImGuiFrame
{
  public:
    ImGuiFrame()
    {
        context = ImGui::CreateContext();
        ImGuiIO& io = ImGui::GetIO();
        io.IniFilename = nullptr;
        io.DisplaySize = ImVec2(800.0f, 600.0f);
        unsigned char* pixels = nullptr;
        int width = 0;
        int height = 0;
        io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);
        ImGui::NewFrame();
        ImGui::Begin("Inspector");
    }
    ~ImGuiFrame()
    {
        ImGui::End();
        ImGui::Render();
        ImGui::DestroyContext(context);
    }

  private:
    ImGuiContext* context;
};

TEST_F(BindingEditor, DrawsOneEditorPerAction)
{
    RegisterPlatformPrototypes();
    std::vector<std::uint32_t> drawn;
    MetaHooks::editInput = [&drawn](BehaviorInput& component, std::uint32_t index, const std::string& label,
                                    std::uint32_t fieldId)
    {
        drawn.push_back(index);
        DrawInputBindingEditor(component, index, label, fieldId);
    };
    // Attaching a component to an object stamps it with its class version; the editors start at 1.
    bindings.SetDataVersion(bindings.GetVersion());
    {
        ImGuiFrame frame;
        bindings.DrawEditor();
    }
    EXPECT_THAT(drawn, ElementsAre(0u, 1u, 2u, 3u, 4u, 5u));
}

TEST_F(BindingEditor, AWaitingEditorTakesTheHeldKey)
{
    const std::uint32_t fieldId = BehaviorInput::Descriptors()[BehaviorInput::actJump]->GetFieldId();
    SetWaitingForKey(fieldId, true);
    {
        ImGuiFrame frame;
        DrawInputBindingEditor(bindings, BehaviorInput::actJump, "Jump", fieldId);
    }
    EXPECT_TRUE(IsWaitingForKey(fieldId));

    RunUpdate({KeyEvent(true, SDLK_SPACE)});
    {
        ImGuiFrame frame;
        DrawInputBindingEditor(bindings, BehaviorInput::actJump, "Jump", fieldId);
    }
    EXPECT_FALSE(IsWaitingForKey(fieldId));
    EXPECT_EQ(bindings.FindBinding(BehaviorInput::actJump)->key, SDLK_SPACE);
}

TEST_F(BindingEditor, AMissingBindingDrawsNothing)
{
    BehaviorInput shortBlock;
    LoadFromXml(shortBlock,
                BlockWithSize("0").substr(0, BlockWithSize("0").find("</BehaviorInput_Size>") + 21) +
                    "\n</boost_serialization>\n");
    ASSERT_TRUE(shortBlock.GetBindings().empty());
    ImGuiFrame frame;
    DrawInputBindingEditor(shortBlock, 3, "Right", 1);
    shortBlock.DrawEditor();
}
} // namespace
