#include "InputTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace
{
using namespace input_test;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

class ReplayTest : public InputTest
{
  protected:
    void SetUp() override
    {
        InputTest::SetUp();
        SetRecordingPath(GetReplayLogPath());
    }
};
using ReplayTiming = ReplayTest;
using ReplayRobustness = ReplayTest;

TEST_F(ReplayTiming, KeysArriveOneUpdateLaterAndAxesTwo)
{
    SetRecording(true);
    RunUpdate({KeyEvent(true, SDLK_RIGHT)});
    RunUpdate();
    SetRecording(false);
    input->keysDown.clear();

    StartReplay();
    RunUpdate();
    EXPECT_FALSE(input->IsKeyDown(SDLK_RIGHT));
    EXPECT_FALSE(FindReplayedAxis(0, 0).has_value());

    RunUpdate();
    EXPECT_TRUE(input->IsKeyTriggered(SDLK_RIGHT));
    EXPECT_TRUE(input->IsKeyDown(SDLK_RIGHT));
    EXPECT_FALSE(FindReplayedAxis(0, 0).has_value());

    RunUpdate();
    EXPECT_EQ(FindReplayedAxis(0, 0), 0);
    EXPECT_TRUE(IsReplaying());
}

TEST_F(ReplayTiming, ReplayedKeysAreNotRecordedAgain)
{
    WriteReplayFile("0 768 1 97 0\n");
    StartReplay();
    EXPECT_FALSE(IsRecording());
    RunUpdate();
    RunUpdate();
    EXPECT_EQ(ReadLines(GetReplayLogPath()), std::vector<std::string>{"0 768 1 97 0"});
}

TEST_F(ReplayTiming, StartingAReplayClosesTheRecordingSoNoLineIsCut)
{
    SetRecording(true);
    for (int update = 0; update < 500; ++update)
        RunUpdate();
    StartReplay();
    EXPECT_FALSE(IsRecording());
    int updates = 0;
    while (IsReplaying() && updates < 1000)
    {
        RunUpdate();
        ++updates;
    }
    // The last axis lines carry frame 500 and are fed at update 502, which ends the replay.
    EXPECT_EQ(updates, 502);
}

TEST_F(ReplayTiming, ModuleChoicesComeBackInOrder)
{
    WriteReplayFile("0 1 0 0 3\n5 1 0 0 1\n9 1 0 0 2\n");
    StartReplay();
    EXPECT_EQ(TakeRecordedModuleChoice(), 3);
    EXPECT_EQ(TakeRecordedModuleChoice(), 1);
    EXPECT_EQ(TakeRecordedModuleChoice(), 2);
    EXPECT_EQ(TakeRecordedModuleChoice(), std::nullopt);
}

TEST_F(ReplayTiming, NaturalEndPlaysTheResumeSoundOnce)
{
    WriteReplayFile("0 768 1 97 0\n1 769 0 97 0\n");
    StartReplay();
    for (int update = 0; update < 5; ++update)
        RunUpdate();
    EXPECT_FALSE(IsReplaying());
    EXPECT_THAT(playedSounds, ElementsAre("GameResume"));
}

TEST_F(ReplayTiming, StopReplayIsSilentAndForgetsEverything)
{
    WriteReplayFile("0 768 1 97 0\n0 1 0 0 2\n1 0 0 9000 0\n50 768 1 98 0\n");
    StartReplay();
    RunUpdate();
    RunUpdate();
    RunUpdate();
    ASSERT_TRUE(FindReplayedAxis(0, 0).has_value());
    StopReplay();
    EXPECT_FALSE(IsReplaying());
    EXPECT_FALSE(FindReplayedAxis(0, 0).has_value());
    EXPECT_EQ(TakeRecordedModuleChoice(), std::nullopt);
    for (int update = 0; update < 60; ++update)
        RunUpdate();
    EXPECT_FALSE(input->IsKeyDown(SDLK_b));
    EXPECT_TRUE(playedSounds.empty());
}

TEST_F(ReplayTiming, HoldsLeftByTheReplayAreLetGoAtTheNaturalEnd)
{
    WriteReplayFile("0 768 1 97 0\n");
    StartReplay();
    RunUpdate();
    RunUpdate();
    EXPECT_FALSE(IsReplaying());
    EXPECT_FALSE(input->IsKeyDown(SDLK_a));
    EXPECT_FALSE(input->IsKeyReleased(SDLK_a));

    RunUpdate({KeyEvent(true, SDLK_a)});
    EXPECT_TRUE(input->IsKeyTriggered(SDLK_a));
}

TEST_F(ReplayTiming, HoldsLeftByTheReplayAreLetGoOnStop)
{
    input->controllers[1].instanceId = 4;
    WriteReplayFile("0 768 1 97 0\n0 1617 1 2 4\n90 768 1 98 0\n");
    StartReplay();
    RunUpdate();
    RunUpdate();
    ASSERT_TRUE(input->IsKeyDown(SDLK_a));
    ASSERT_TRUE(input->controllers[1].IsButtonDown(2));
    StopReplay();
    EXPECT_FALSE(input->IsKeyDown(SDLK_a));
    EXPECT_FALSE(input->controllers[1].IsButtonDown(2));

    RunUpdate({KeyEvent(true, SDLK_a)});
    EXPECT_TRUE(input->IsKeyTriggered(SDLK_a));
}

TEST_F(ReplayTiming, LiveHoldsSurviveTheEndOfAReplay)
{
    RunUpdate({KeyEvent(true, SDLK_x)});
    WriteReplayFile("0 768 1 97 0\n");
    StartReplay();
    RunUpdate();
    RunUpdate();
    EXPECT_TRUE(input->IsKeyDown(SDLK_x));
}

TEST_F(ReplayRobustness, MissingFileReportsAndEndsAtTheNextUpdate)
{
    ::testing::internal::CaptureStderr();
    StartReplay();
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_THAT(errors, HasSubstr("Couldn't open " + GetReplayLogPath() + " for read"));
    EXPECT_TRUE(IsReplaying());
    RunUpdate();
    EXPECT_FALSE(IsReplaying());
    EXPECT_THAT(playedSounds, ElementsAre("GameResume"));
}

TEST_F(ReplayRobustness, BadLinesAreSkipped)
{
    WriteReplayFile("garbage\n\n0 768\n0 768 1 97 0 extra\nx 768 1 98 0\n0 768 1 99999999999 0\n"
                    "99999999999999999999999 768 1 100 0\n-1 768 1 101 0\n0 -5 1 102 0\n0 768 1 103 0\r\n"
                    "0 4242 1 2 3\n1.5 768 1 104 0\n0 768 1 105 0\n9 768 1 106 0");
    StartReplay();
    RunUpdate();
    RunUpdate();
    EXPECT_THAT(input->keysDown, ElementsAre(103, 105));
}

TEST_F(ReplayRobustness, AHandWrittenFileCannotReplayScreenSwitchingKeys)
{
    input->controllers[0].instanceId = 2;
    WriteReplayFile("0 768 1 27 0\n0 1617 1 6 2\n0 768 1 1073741892 0\n0 768 1 1073742049 0\n"
                    "0 768 1 52 0\n0 769 0 52 0\n0 769 0 27 0\n0 1618 0 6 2\n0 768 1 56 0\n"
                    "0 1617 1 0 2\n");
    StartReplay();
    RunUpdate();
    RunUpdate();
    EXPECT_THAT(input->keysTriggered, ElementsAre(SDLK_LSHIFT));
    EXPECT_TRUE(input->keysReleased.empty());
    EXPECT_THAT(input->controllers[0].buttonsTriggered, ElementsAre(0));
    EXPECT_TRUE(input->controllers[0].buttonsReleased.empty());
    EXPECT_FALSE(IsReplaying());
}

TEST_F(ReplayRobustness, ButtonForNoSlotIsDropped)
{
    WriteReplayFile("0 1617 1 0 55\n0 1617 1 300 0\n");
    StartReplay();
    RunUpdate();
    RunUpdate();
    EXPECT_TRUE(input->controllers[0].buttonsDown.empty());
    EXPECT_TRUE(input->controllers[1].buttonsDown.empty());
}

TEST_F(ReplayRobustness, AxisOnAClosedSlotReadsZero)
{
    WriteReplayFile("0 0 0 20000 0\n0 0 3 -20000 0\n5 768 1 97 0\n");
    StartReplay();
    RunUpdate();
    RunUpdate();
    ASSERT_EQ(FindReplayedAxis(0, 0), 20000);
    EXPECT_EQ(input->controllers[0].GetAxis(0), 0);
    EXPECT_EQ(input->controllers[0].GetRightStick(), Vector2(0.0f, 0.0f));

    input->controllers[0].connected = true;
    EXPECT_EQ(input->controllers[0].GetAxis(0), 20000);
    EXPECT_EQ(input->controllers[0].GetAxis(3), -20000);
    input->controllers[0].connected = false;
}

TEST_F(ReplayRobustness, NoPreferencesFolderLeavesAnEmptyPathAndAWarning)
{
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    unsetenv("HOME");
    unsetenv("XDG_DATA_HOME");
    ::testing::internal::CaptureStdout();
    InitPrefsFolder();
    const std::string output = ::testing::internal::GetCapturedStdout();
    if (!home.empty())
        setenv("HOME", home.c_str(), 1);
    // Later tests must not fall back to the user's own folder under HOME.
    setenv("XDG_DATA_HOME", dataHome.path.c_str(), 1);
    EXPECT_EQ(GetPreferencesPath(), "");
    EXPECT_TRUE(GetPreferencesFiles().empty());
    EXPECT_THAT(output, HasSubstr("WARNING: "));
}

TEST_F(ReplayRobustness, PreferencesFilesAreListedByStem)
{
    WriteReplayFile("0 1 0 0 0\n");
    InitPrefsFolder();
    ASSERT_EQ(GetPreferencesFiles().count("CreditsReplay"), 1u);
    EXPECT_EQ(GetPreferencesFiles().at("CreditsReplay").filename(), "CreditsReplay.log");
    EXPECT_EQ(GetReplayLogPath(), (dataHome.path / "Torvane" / "Glimmock" / "CreditsReplay.log").string());
}
} // namespace
