#include "EventIdList.h"
#include "SoundTestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace
{
std::vector<EventIdEntry> Parse(const std::string& text)
{
    std::istringstream in(text);
    return ParseEventIdList(in);
}

const std::string kJumpGuid = "{11111111-2222-3333-4444-555555555555}";
const std::string kLandGuid = "{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}";
} // namespace

TEST(EventIdList, GuidAndPathLinesAlternateAndABlankLineEndsTheList)
{
    const auto entries =
        Parse(kJumpGuid + "\nevent:/SFX/Player/Jump\n\n" + kLandGuid + "\nevent:/SFX/Land\n");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].shortName, "Jump");
    EXPECT_EQ(audio::FormatID(entries[0].guid), kJumpGuid);
}

TEST(EventIdList, APathWithoutSlashIsItsOwnShortNameAndOtherLinesEndTheList)
{
    const auto entries = Parse(kJumpGuid + "\nevent:Jump\n" + kLandGuid + "\nevent:/Land\nx\n" + kJumpGuid +
                               "\nevent:/Late\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].shortName, "event:Jump");
    EXPECT_EQ(entries[1].shortName, "Land");
}

TEST(EventIdList, CrLfLineEndsAndAByteOrderMarkAreTolerated)
{
    const auto entries =
        Parse("\xEF\xBB\xBF" + kJumpGuid + "\r\nevent:/SFX/Jump\r\n" + kLandGuid + "\r\nevent:/SFX/Land\r\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].shortName, "Jump");
    EXPECT_EQ(audio::FormatID(entries[0].guid), kJumpGuid);
    EXPECT_EQ(entries[1].shortName, "Land");
}

TEST(EventIdList, ABadGuidWarnsWithItsLineAndDropsEventsUntilTheNextGoodOne)
{
    ::testing::internal::CaptureStdout();
    const auto entries =
        Parse(kJumpGuid + "\nevent:/SFX/Jump\n{not-a-guid}\nevent:/SFX/Wrong\nevent:/SFX/Worse\n" +
              kLandGuid + "\nevent:/SFX/Land\n");
    const std::string printed = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed.rfind("WARNING: ", 0), 0u) << printed;
    EXPECT_NE(printed.find("line 3"), std::string::npos) << printed;
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].shortName, "Jump");
    EXPECT_EQ(entries[1].shortName, "Land");
    EXPECT_EQ(audio::FormatID(entries[1].guid), kLandGuid);
}
