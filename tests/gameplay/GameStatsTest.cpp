#include "GameStats.h"
#include "LevelIArchive.h"
#include "Prototypes.h"
#include "StatNames.h"
#include "StatUtilities.h"

#include <boost/archive/xml_oarchive.hpp>
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <sstream>

namespace
{
class GameStatsTest : public ::testing::Test
{
  protected:
    void TearDown() override { ResetPrototypes(); }

    static std::string SaveToText(const GameStats& stats)
    {
        std::ostringstream stream;
        {
            boost::archive::xml_oarchive archive(stream);
            stats.Save(archive);
        }
        return stream.str();
    }

    static std::unique_ptr<Component> LoadFromText(GameStats& stats, const std::string& text)
    {
        std::istringstream stream(text);
        LevelIArchive archive(stream);
        return stats.Load(archive);
    }

    static std::string Replace(std::string text, const std::string& from, const std::string& to)
    {
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos)
            text.replace(at, from.size(), to);
        return text;
    }
};

TEST_F(GameStatsTest, GetStatAddsAMissingNameAndHasStatDoesNot)
{
    GameStats stats;
    EXPECT_FALSE(stats.HasStat(kStatJumpSpeed));
    EXPECT_TRUE(stats.GetStats().empty());
    EXPECT_EQ(stats.GetStat(kStatJumpSpeed), 0.0f);
    EXPECT_TRUE(stats.HasStat(kStatJumpSpeed));
    stats.GetStat(kStatJumpSpeed) = 12.5f;
    stats.SetStat("jump speed", 3.0f);
    EXPECT_EQ(stats.GetStat(kStatJumpSpeed), 12.5f);
    EXPECT_EQ(stats.GetStats().size(), 2u);
}

TEST_F(GameStatsTest, NamesSortByteWiseSoHighBytesComeAfterZ)
{
    GameStats stats;
    stats.SetStat("\xC3\xA9tat", 1.0f);
    stats.SetStat("z", 2.0f);
    stats.SetStat("Z", 3.0f);
    std::vector<std::string> names;
    for (const auto& entry : stats.GetStats())
        names.push_back(entry.first);
    EXPECT_EQ(names, (std::vector<std::string>{"Z", "z", "\xC3\xA9tat"}));
    const std::string text = SaveToText(stats);
    EXPECT_LT(text.find("<first>z</first>"), text.find("<first>\xC3\xA9tat</first>"));
}

TEST_F(GameStatsTest, CloneCopiesTheOwnerAndTheMap)
{
    GameStats stats;
    stats.SetOwner(12);
    stats.SetStat(kStatGrabRange, 4.0f);
    std::unique_ptr<Component> copy = stats.Clone();
    auto& copied = dynamic_cast<GameStats&>(*copy);
    EXPECT_EQ(copied.GetOwner(), 12u);
    EXPECT_EQ(copied.GetName(), "GameStats");
    EXPECT_EQ(copied.GetTypeId(), 3u);
    copied.SetStat(kStatGrabRange, 1.0f);
    EXPECT_EQ(stats.GetStat(kStatGrabRange), 4.0f);
}

TEST_F(GameStatsTest, SavesOneElementInTheArchivesMapForm)
{
    GameStats stats;
    stats.SetStat(kStatJumpSpeed, 150.0f);
    const std::string text = SaveToText(stats);
    EXPECT_NE(text.find("<GameStats"), std::string::npos) << text;
    EXPECT_NE(text.find("<count>1</count>"), std::string::npos) << text;
    EXPECT_NE(text.find("<item_version>0</item_version>"), std::string::npos) << text;
    EXPECT_NE(text.find("<first>Jump Speed</first>"), std::string::npos) << text;
    EXPECT_NE(text.find("<second>1.500000000e+02</second>"), std::string::npos) << text;
    EXPECT_NE(text.find("</GameStats>"), std::string::npos) << text;

    GameStats empty;
    const std::string emptyText = SaveToText(empty);
    EXPECT_NE(emptyText.find("<count>0</count>"), std::string::npos) << emptyText;
    EXPECT_EQ(emptyText.find("<item>"), std::string::npos) << emptyText;
    EXPECT_EQ(emptyText.find("<item "), std::string::npos) << emptyText;
}

TEST_F(GameStatsTest, RoundTripKeepsEveryValueBitForBitAndEscapesNames)
{
    const std::vector<std::pair<std::string, float>> values = {
        {"tenth", 0.1f},          {"tiny", 1e-30f},
        {"negative zero", -0.0f}, {"largest", std::numeric_limits<float>::max()},
        {"third", 1.0f / 3.0f},   {"id", 16777215.0f},
        {"<&\"'>", -2.5f},        {"", 7.0f},
    };
    GameStats source;
    for (const auto& [name, value] : values)
        source.SetStat(name, value);
    GameStats target;
    target.SetStat("stale", 1.0f);
    std::unique_ptr<Component> loaded = LoadFromText(target, SaveToText(source));
    EXPECT_FALSE(target.HasStat("stale"));
    for (const auto& [name, value] : values)
    {
        ASSERT_TRUE(target.HasStat(name)) << name;
        EXPECT_EQ(std::bit_cast<std::uint32_t>(target.GetStat(name)), std::bit_cast<std::uint32_t>(value))
            << name;
    }
    EXPECT_EQ(dynamic_cast<GameStats&>(*loaded).GetStats(), target.GetStats());
}

TEST_F(GameStatsTest, SeveralComponentsShareOneArchive)
{
    GameStats empty;
    GameStats player;
    player.SetStat(kStatJumpSpeed, 9.5f);
    GameStats ball;
    ball.SetStat(kStatGivesKnockback, 1.0f);
    ball.SetStat(kStatIsGrabbable, 1.0f);
    std::ostringstream output;
    {
        boost::archive::xml_oarchive archive(output);
        empty.Save(archive);
        player.Save(archive);
        ball.Save(archive);
    }
    std::istringstream input(output.str());
    LevelIArchive archive(input);
    GameStats target;
    target.SetStat("stale", 1.0f);
    target.Load(archive);
    EXPECT_TRUE(target.GetStats().empty());
    target.Load(archive);
    EXPECT_EQ(target.GetStats(), player.GetStats());
    target.Load(archive);
    EXPECT_EQ(target.GetStats(), ball.GetStats());
}

TEST_F(GameStatsTest, NonFiniteValuesAreSavedAsZeroWithAWarning)
{
    GameStats stats;
    stats.SetStat("broken", std::nanf(""));
    stats.SetStat("endless", std::numeric_limits<float>::infinity());
    ::testing::internal::CaptureStdout();
    const std::string text = SaveToText(stats);
    const std::string output = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(output.rfind("WARNING", 0), 0u) << output;
    EXPECT_NE(output.find("broken"), std::string::npos) << output;
    EXPECT_TRUE(std::isnan(stats.GetStat("broken")));

    GameStats target;
    LoadFromText(target, text);
    EXPECT_EQ(target.GetStat("broken"), 0.0f);
    EXPECT_EQ(target.GetStat("endless"), 0.0f);
}

TEST_F(GameStatsTest, DuplicateNamesKeepTheFirst)
{
    GameStats stats;
    stats.SetStat("a", 1.0f);
    stats.SetStat("b", 2.0f);
    GameStats target;
    LoadFromText(target, Replace(SaveToText(stats), "<first>b</first>", "<first>a</first>"));
    EXPECT_EQ(target.GetStats().size(), 1u);
    EXPECT_EQ(target.GetStat("a"), 1.0f);
}

TEST_F(GameStatsTest, MalformedInputThrowsAndLeavesTheMapUnchanged)
{
    GameStats stats;
    stats.SetStat("a", 1.0f);
    stats.SetStat("b", 2.0f);
    const std::string good = SaveToText(stats);
    const std::vector<std::string> broken = {
        Replace(good, "GameStats", "GameStat"),
        Replace(good, "<count>2</count>", "<cnt>2</cnt>"),
        Replace(good, "<count>2</count>", "<count>3</count>"),
        Replace(good, "<count>2</count>", "<count>4000000000</count>"),
        Replace(good, "2.000000000e+00", "nan"),
        Replace(good, "2.000000000e+00", "two"),
        Replace(good, "<second>2.000000000e+00</second>", ""),
        good.substr(0, good.find("<item_version>")),
        good.substr(0, good.size() / 2 + 40),
    };
    for (const std::string& text : broken)
    {
        GameStats target;
        target.SetStat("kept", 5.0f);
        EXPECT_THROW(LoadFromText(target, text), LevelFormatError) << text;
        EXPECT_EQ(target.GetStats().size(), 1u) << text;
        EXPECT_EQ(target.GetStat("kept"), 5.0f);
    }
}

TEST_F(GameStatsTest, TheUnusedFieldIsNeitherSavedNorEdited)
{
    const auto& descriptors = GameStats::Descriptors();
    ASSERT_EQ(descriptors.size(), 1u);
    EXPECT_EQ(descriptors[0]->GetName(), "UNUSED");
    EXPECT_FALSE(descriptors[0]->GetOptions().save);
    EXPECT_FALSE(descriptors[0]->GetOptions().edit);
    EXPECT_EQ(descriptors[0]->GetOptions().step, 1.0f);
    EXPECT_EQ(GameStats().GetVersion(), 1u);
}

TEST(StatUtilities, IdFromStatGivesZeroOutsideTheIdRange)
{
    EXPECT_EQ(IdFromStat(std::nanf("")), 0u);
    EXPECT_EQ(IdFromStat(std::numeric_limits<float>::infinity()), 0u);
    EXPECT_EQ(IdFromStat(-std::numeric_limits<float>::infinity()), 0u);
    EXPECT_EQ(IdFromStat(-1.0f), 0u);
    EXPECT_EQ(IdFromStat(0.0f), 0u);
    EXPECT_EQ(IdFromStat(0.999f), 0u);
    EXPECT_EQ(IdFromStat(1.0f), 1u);
    EXPECT_EQ(IdFromStat(7.9f), 7u);
    EXPECT_EQ(IdFromStat(16777216.0f), 16777216u);
    EXPECT_EQ(IdFromStat(4294967040.0f), 4294967040u);
    EXPECT_EQ(IdFromStat(4294967296.0f), 0u);
    EXPECT_EQ(IdFromStat(1e30f), 0u);
}

TEST(StatUtilities, TryAndSetIfPresentNeverCreateNames)
{
    GameStats stats;
    EXPECT_FALSE(TryGetStat(&stats, kStatOrientation).has_value());
    EXPECT_FALSE(SetStatIfPresent(&stats, kStatOrientation, 1.0f));
    EXPECT_FALSE(stats.HasStat(kStatOrientation));
    stats.SetStat(kStatOrientation, 0.0f);
    EXPECT_TRUE(SetStatIfPresent(&stats, kStatOrientation, 1.0f));
    EXPECT_EQ(TryGetStat(&stats, kStatOrientation), 1.0f);
    EXPECT_FALSE(TryGetStat(nullptr, kStatOrientation).has_value());
    EXPECT_FALSE(SetStatIfPresent(nullptr, kStatOrientation, 1.0f));
    ResetPrototypes();
}
} // namespace
