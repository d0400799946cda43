#include "InputTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace
{
using namespace input_test;
using ::testing::ElementsAre;
using InputListsTest = InputTest;
using RecordingTextTest = InputTest;

TEST_F(InputListsTest, HeldKeyIsTriggeredOnceWhateverTheRepeats)
{
    RunUpdate({KeyEvent(true, SDLK_UP), KeyEvent(true, SDLK_UP, true), KeyEvent(true, SDLK_UP, true)});
    EXPECT_THAT(input->keysTriggered, ElementsAre(SDLK_UP));
    EXPECT_THAT(input->keysDown, ElementsAre(SDLK_UP));

    RunUpdate({KeyEvent(true, SDLK_UP, true), KeyEvent(false, SDLK_UP)});
    EXPECT_TRUE(input->keysTriggered.empty());
    EXPECT_THAT(input->keysReleased, ElementsAre(SDLK_UP));
    EXPECT_TRUE(input->keysDown.empty());
}

TEST_F(InputListsTest, PressAndReleaseInOneFrameIsBothTriggeredAndReleased)
{
    RunUpdate({KeyEvent(true, SDLK_SPACE), KeyEvent(false, SDLK_SPACE)});
    EXPECT_TRUE(input->IsKeyTriggered(SDLK_SPACE));
    EXPECT_TRUE(input->IsKeyReleased(SDLK_SPACE));
    EXPECT_FALSE(input->IsKeyDown(SDLK_SPACE));

    RunUpdate();
    EXPECT_FALSE(input->IsKeyTriggered(SDLK_SPACE));
    EXPECT_FALSE(input->IsKeyReleased(SDLK_SPACE));
}

TEST_F(InputListsTest, HeldKeysKeepTheirPressOrder)
{
    RunUpdate({KeyEvent(true, SDLK_d), KeyEvent(true, SDLK_a), KeyEvent(true, SDLK_w)});
    EXPECT_THAT(input->keysDown, ElementsAre(SDLK_d, SDLK_a, SDLK_w));
}

TEST_F(InputListsTest, ButtonPressedTwiceGoesWithOneRelease)
{
    GameController& slot = input->controllers[0];
    slot.HandleButtonEvent(ButtonEvent(true, SDL_CONTROLLER_BUTTON_A, 0), true);
    slot.HandleButtonEvent(ButtonEvent(true, SDL_CONTROLLER_BUTTON_A, 0), true);
    EXPECT_THAT(slot.buttonsDown, ElementsAre(SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_A));
    EXPECT_TRUE(input->IsControllerButtonTriggered(SDL_CONTROLLER_BUTTON_A, 0));
    EXPECT_FALSE(input->IsControllerButtonTriggered(SDL_CONTROLLER_BUTTON_A, 1));
    EXPECT_FALSE(input->IsControllerButtonTriggered(SDL_CONTROLLER_BUTTON_A, 2));
    EXPECT_FALSE(input->IsControllerButtonTriggered(SDL_CONTROLLER_BUTTON_A, -1));

    input->ClearFrameLists();
    EXPECT_FALSE(input->IsControllerButtonTriggered(SDL_CONTROLLER_BUTTON_A, 0));
    slot.HandleButtonEvent(ButtonEvent(false, SDL_CONTROLLER_BUTTON_A, 0), false);
    EXPECT_TRUE(slot.buttonsDown.empty());
    EXPECT_THAT(slot.buttonsReleased, ElementsAre(SDL_CONTROLLER_BUTTON_A));
}

TEST_F(InputListsTest, NoButtonNumberNeverMatchesAPressedButton)
{
    input->controllers[1].HandleButtonEvent(ButtonEvent(true, 255, 0), true);
    EXPECT_FALSE(input->IsControllerButtonTriggered(-1, 1));
    EXPECT_TRUE(input->IsControllerButtonTriggered(255, 1));
}

TEST_F(InputListsTest, ClosedSlotsReadZeroOnEveryAxis)
{
    for (int axis = -1; axis <= GameController::kAxisCount; ++axis)
        EXPECT_EQ(input->controllers[0].GetAxis(axis), 0);
    EXPECT_EQ(input->controllers[1].GetRightStick(), Vector2(0.0f, 0.0f));
}

TEST_F(InputListsTest, UnknownControllerInstancesAreIgnored)
{
    EXPECT_EQ(input->FindController(77), nullptr);
    input->OnControllerRemoved(77);
    input->OnControllerAdded(5);
    input->OnControllerAdded(-1);
    EXPECT_FALSE(input->controllers[0].connected);
    EXPECT_FALSE(input->controllers[1].connected);
}

class RecordingTextFixture : public InputTest
{
  protected:
    void SetUp() override
    {
        InputTest::SetUp();
        path = (dataHome.path / "record.log").string();
        SetRecordingPath(path);
    }
    std::string path;
};
using RecordingText = RecordingTextFixture;

TEST_F(RecordingText, KeyLineCarriesFrameTypePressedCodeAndZero)
{
    SetRecording(true);
    input->HandleKeyEvent(KeyEvent(true, SDLK_RIGHT), true);
    SetRecording(false);
    EXPECT_THAT(ReadLines(path), ElementsAre("0 768 1 1073741903 0"));
}

TEST_F(RecordingText, EveryUpdateWritesSixAxisLinesPerSlotClosedOrNot)
{
    SetRecording(true);
    RunUpdate();
    RunUpdate();
    SetRecording(false);
    const std::vector<std::string> lines = ReadLines(path);
    ASSERT_EQ(lines.size(), 24u);
    EXPECT_EQ(lines[0], "1 0 0 0 0");
    EXPECT_EQ(lines[5], "1 0 5 0 0");
    EXPECT_EQ(lines[11], "1 0 5 0 0");
    EXPECT_EQ(lines[12], "2 0 0 0 0");
}

TEST_F(RecordingText, KeysCarryTheFrameBeforeTheUpdateAndAxesTheFrameAfter)
{
    SetRecording(true);
    RunUpdate();
    RunUpdate({KeyEvent(true, SDLK_a)});
    SetRecording(false);
    const std::vector<std::string> lines = ReadLines(path);
    ASSERT_EQ(lines.size(), 25u);
    EXPECT_EQ(lines[12], "1 768 1 97 0");
    EXPECT_EQ(lines[13], "2 0 0 0 0");
}

TEST_F(RecordingText, EscapeAndStartLeaveNoTrace)
{
    SetRecording(true);
    input->HandleKeyEvent(KeyEvent(true, SDLK_ESCAPE), true);
    input->HandleKeyEvent(KeyEvent(false, SDLK_ESCAPE), false);
    input->controllers[0].HandleButtonEvent(ButtonEvent(true, GameController::kStartButton, 3), true);
    input->controllers[0].HandleButtonEvent(ButtonEvent(false, GameController::kStartButton, 3), false);
    input->controllers[0].HandleButtonEvent(ButtonEvent(true, SDL_CONTROLLER_BUTTON_B, 3), true);
    SetRecording(false);
    EXPECT_THAT(ReadLines(path), ElementsAre("0 1617 1 1 3"));
    EXPECT_TRUE(input->IsKeyReleased(SDLK_ESCAPE));
}

TEST_F(RecordingText, ScreenSwitchingKeysAreLeftOutWithOrWithoutLeftShift)
{
    SetRecording(true);
    input->HandleKeyEvent(KeyEvent(true, SDLK_LSHIFT), true);
    for (SDL_Keycode key :
         {SDLK_ESCAPE, SDLK_F11, SDLK_1, SDLK_2, SDLK_3, SDLK_4, SDLK_5, SDLK_6, SDLK_7, SDLK_8, SDLK_9})
    {
        input->HandleKeyEvent(KeyEvent(true, key), true);
        input->HandleKeyEvent(KeyEvent(false, key), false);
    }
    input->HandleKeyEvent(KeyEvent(false, SDLK_LSHIFT), false);
    for (SDL_Keycode key : {SDLK_F11, SDLK_4, SDLK_7})
        input->HandleKeyEvent(KeyEvent(true, key), true);
    input->controllers[1].HandleButtonEvent(ButtonEvent(true, GameController::kStartButton, 5), true);
    input->controllers[1].HandleButtonEvent(ButtonEvent(true, SDL_CONTROLLER_BUTTON_BACK, 5), true);
    SetRecording(false);

    // LShift is player 2's Grab, so it stays; so do the digits outside the shortcuts.
    EXPECT_THAT(ReadLines(path),
                ElementsAre("0 768 1 1073742049 0", "0 768 1 49 0", "0 769 0 49 0", "0 768 1 57 0",
                            "0 769 0 57 0", "0 769 0 1073742049 0", "0 1617 1 4 5"));
    // Left out of the file, but the live game still sees them.
    EXPECT_TRUE(input->IsKeyTriggered(SDLK_F11));
    EXPECT_TRUE(input->IsControllerButtonTriggered(GameController::kStartButton, 1));
}

TEST_F(RecordingText, SwitchingOnAgainStartsAFreshFileAtFrameZero)
{
    SetRecording(true);
    RunUpdate();
    RunUpdate();
    SetRecording(false);
    ASSERT_EQ(ReadLines(path).size(), 24u);

    SetRecording(true);
    EXPECT_EQ(GetRecordFrame(), 0);
    input->HandleKeyEvent(KeyEvent(true, SDLK_b), true);
    SetRecording(false);
    EXPECT_THAT(ReadLines(path), ElementsAre("0 768 1 98 0"));
}

TEST_F(RecordingText, AReaderRightAfterSwitchOffSeesEveryLine)
{
    SetRecording(true);
    for (int update = 0; update < 1000; ++update)
        RunUpdate({KeyEvent(true, SDLK_c), KeyEvent(false, SDLK_c)});
    SetRecording(false);
    const std::vector<std::string> lines = ReadLines(path);
    ASSERT_EQ(lines.size(), 14000u);
    EXPECT_EQ(lines.back(), "1000 0 5 0 0");
}

TEST_F(RecordingText, ModuleChoicesGoThroughTheSameWriter)
{
    SetRecording(true);
    RunUpdate();
    WriteInputRecord(kRecordModuleChoice, 0, 0, 4);
    SetRecording(false);
    EXPECT_EQ(ReadLines(path).back(), "1 1 0 0 4");
}

TEST_F(RecordingText, NothingIsWrittenWhileNotRecording)
{
    RunUpdate({KeyEvent(true, SDLK_a)});
    WriteInputRecord(kRecordModuleChoice, 0, 0, 4);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(GetRecordFrame(), 0);
}
} // namespace
