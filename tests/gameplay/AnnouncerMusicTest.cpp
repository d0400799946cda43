#include "EffectWorld.h"
#include "Event.h"
#include "EventManager.h"
#include "GameObject.h"
#include "HUDScript.h"
#include "LevelMusicScript.h"
#include "Random.h"
#include "SoundInstance.h"
#include "SoundPlayLog.h"
#include "SoundSystem.h"
#include "TypeIds.h"
#include "VoiceOverScripts.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

// The announcer and the level music on a real HUD, over the test banks: what the players hear, in order.
namespace
{
using Lines = std::vector<std::string>;

class AnnouncerMusicTest : public EffectWorldTest
{
  protected:
    static VoiceOverScripts& Voice(GameObject& manager)
    {
        return *manager.GetScriptAs<VoiceOverScripts>(ScriptTypeId::kVoiceOverScripts);
    }
    static LevelMusicScript& Music(GameObject& manager)
    {
        return *manager.GetScriptAs<LevelMusicScript>(ScriptTypeId::kLevelMusicScript);
    }
    static void RoundStart()
    {
        RoundStartEvent start;
        Send(start);
    }
    static void TimeUp() { Goal(0.0f); }
    static void Goals(int orange, int blue)
    {
        for (int i = 0; i < orange; ++i)
            Goal(1.0f);
        for (int i = 0; i < blue; ++i)
            Goal(2.0f);
    }
    // Destroys the manager now, as a module load would.
    void Remove(GameObject& manager)
    {
        objects.QueueDestroy(manager.id);
        objects.DestroyQueuedObjects();
    }
    static int PlayingTracks()
    {
        int playing = 0;
        for (const char* track : {"LevelMusic1", "LevelMusic2", "LevelMusic3"})
            if (SoundInstance* music = SoundSystem::GetSoundInstance(track))
                for (SoundChannel* channel : music->channels)
                    playing += channel->IsPlaying() ? 1 : 0;
        return playing;
    }
};

// A whole match: each round is called, the lead is summed up after rounds 1 to 3 only (the HUD sends the
// round's end before counting it), the verdict follows the fourth, and the music's target rises with
// every finished round. Catches rule-order slips and off-by-one round bounds.
TEST_F(AnnouncerMusicTest, AMatchCallsRoundsLeadsAndVerdictWhileTheMusicRises)
{
    GameObject& manager = Manager();
    std::vector<std::uint32_t> targets;
    RoundStart();
    TimeUp(); // 0:0
    targets.push_back(Music(manager).GetTargetIndex());
    RoundStart();
    Goals(1, 0);
    TimeUp(); // 1:0
    targets.push_back(Music(manager).GetTargetIndex());
    RoundStart();
    Goals(1, 0);
    TimeUp(); // 2:0
    targets.push_back(Music(manager).GetTargetIndex());
    RoundStart();
    TimeUp(); // the fourth round: no lead line, then the game's end
    targets.push_back(Music(manager).GetTargetIndex());
    EXPECT_EQ(PlayedSince(), (Lines{"RoundOne", "TiedPoints", "RoundTwo", "OrangeGainLead", "RoundThree",
                                    "OrangeHoldLead", "RoundFour", "Blowout"}));
    EXPECT_EQ(targets, (std::vector<std::uint32_t>{1, 2, 3, 4}));
    EXPECT_EQ(Voice(manager).GetLead(), VoiceOverScripts::kOrangeLeads);
}

// The lead passes from blue to orange and back is lost; the first goal of each side is its own line.
TEST_F(AnnouncerMusicTest, TheLeadChangesHandsAndHoldsByThePointTotals)
{
    Manager();
    Goals(0, 1);
    TimeUp(); // 0:1
    Goals(0, 1);
    TimeUp(); // 0:2
    Goals(3, 0);
    TimeUp(); // 3:2
    TimeUp(); // the end, 3:2
    EXPECT_EQ(PlayedSince(), (Lines{"BlueGainLead", "BlueHoldLead", "OrangeGainLead", "OrangeWin"}));
}

// The verdict by the match's point totals, on a fresh manager each time (the old one destroyed, so the
// announcer must find the new HUD). Ties stay "Tiebreaker" though the HUD gives the game to player 1.
TEST_F(AnnouncerMusicTest, TheVerdictFollowsThePointTotals)
{
    struct Case
    {
        int orange, blue;
        const char* verdict;
    };
    for (const Case& c : {Case{3, 0, "Blowout"}, Case{0, 2, "Blowout"}, Case{0, 0, "Tiebreaker"},
                          Case{2, 2, "Tiebreaker"}, Case{1, 3, "BlueWin"}, Case{3, 1, "OrangeWin"}})
    {
        GameObject& manager = Manager();
        Goals(c.orange, c.blue);
        const std::size_t before = SoundPlayLog().size();
        GameFinishedEvent end;
        Send(end);
        EXPECT_EQ(PlayedSince(before), Lines{c.verdict}) << c.orange << ":" << c.blue;
        Remove(manager);
    }
}

// Without a HUD (no manager, or a manager without one) every event is ignored, goals included; the HUD's
// return is picked up again.
TEST_F(AnnouncerMusicTest, WithoutAHudTheAnnouncerAndTheMusicIgnoreTheMatch)
{
    GameObject& bare = Manager(false);
    RoundStart();
    Goal(1.0f);
    RoundFinishedEvent finished;
    Send(finished);
    GameFinishedEvent end;
    Send(end);
    EXPECT_TRUE(PlayedSince().empty());
    EXPECT_FALSE(Voice(bare).HasFirstGoal());
    EXPECT_EQ(Music(bare).GetTargetIndex(), 1u);
    Remove(bare);
    RoundStart(); // no manager at all
    EXPECT_TRUE(PlayedSince().empty());

    Manager();
    RoundStart();
    EXPECT_EQ(PlayedSince(), Lines{"RoundOne"});
}

// A goal line sounds on the 61st update of 1/60 s after the goal (the delay passes 1.0 at 1.0167); a
// later goal swaps the line in but keeps the delay; time-up is no first goal; a paused game holds it.
TEST_F(AnnouncerMusicTest, AGoalLineSoundsJustOverASecondAfterTheGoal)
{
    GameObject& manager = Manager();
    VoiceOverScripts& voice = Voice(manager);
    const float step = 1.0f / 60.0f;
    auto updatesUntilPlayed = [&](int most) {
        const std::size_t before = SoundPlayLog().size();
        for (int update = 1; update <= most; ++update)
        {
            voice.Update(step);
            if (SoundPlayLog().size() > before)
                return update;
        }
        return 0;
    };

    TimeUp(); // before any goal: not a first goal
    EXPECT_FALSE(voice.HasFirstGoal());
    EXPECT_EQ(voice.GetPendingLine(), nullptr);
    Goal(std::numeric_limits<float>::quiet_NaN());
    EXPECT_FALSE(voice.HasFirstGoal()) << "no side, no first goal";

    ClearSoundPlayLog();
    Goal(2.0f);
    EXPECT_TRUE(voice.HasFirstGoal());
    EXPECT_EQ(updatesUntilPlayed(100), 61);
    EXPECT_EQ(PlayedSince(), Lines{"FirstGoalBlue"});
    EXPECT_EQ(voice.GetLineDelay(), -1.0f);

    ClearSoundPlayLog();
    Goal(1.0f);
    EXPECT_EQ(updatesUntilPlayed(29), 0);
    Goal(2.0f); // at update 30: the newer line, the same delay
    EXPECT_EQ(updatesUntilPlayed(100), 61 - 29);
    EXPECT_EQ(PlayedSince(), Lines{"GoalQuotes"});

    ClearSoundPlayLog();
    Goal(std::numeric_limits<float>::quiet_NaN()); // any side but 0 after the first goal is a goal
    for (int update = 0; update < 200; ++update)
        voice.Update(0.0f);
    EXPECT_TRUE(PlayedSince().empty()) << "paused, the line waits";
    EXPECT_EQ(updatesUntilPlayed(100), 61);
    EXPECT_EQ(PlayedSince(), Lines{"GoalQuotes"});
}

// The level start draws the track first from the generator, plays exactly one and names it; a second start
// stops the first; the level end leaves no track playing. Prototypes stay silent.
TEST_F(AnnouncerMusicTest, ALevelStartPlaysOneTrackAndItsEndStopsIt)
{
    LevelStartEvent start;
    Send(start);
    EXPECT_TRUE(PlayedSince().empty()) << "a prototype must not play";
    EXPECT_TRUE(CurrentMusicName.empty());

    Manager();
    SeedRandom(11);
    const std::string expected = "LevelMusic" + std::to_string(RandomInt(1, 3));
    SeedRandom(11);
    Send(start);
    EXPECT_EQ(CurrentMusicName, expected);
    EXPECT_EQ(PlayedSince(), Lines{expected});
    EXPECT_EQ(PlayingTracks(), 1);

    Send(start);
    EXPECT_EQ(PlayingTracks(), 1) << "the first track was stopped";
    EXPECT_EQ(PlayedSince().size(), 2u);

    LevelEndEvent end;
    Send(end);
    EXPECT_EQ(PlayingTracks(), 0);
}

// The intensity eases per frame on "LevelMusic2" before any start: 0.00928 after one update from 0 toward
// 1.6, 0.4714 after sixty; at index 0 the rate is 0.05 toward 0.6. The value is the instance's and stays.
TEST_F(AnnouncerMusicTest, TheIntensityEasesPerFrameTowardTheTarget)
{
    GameObject& manager = Manager();
    SoundInstance* music = SoundSystem::GetSoundInstance("LevelMusic2");
    ASSERT_NE(music, nullptr);
    music->parameterValue = 0.0f;
    LevelMusicScript& script = Music(manager);
    script.Update(1.0f / 60.0f);
    EXPECT_NEAR(music->parameterValue, 0.00928f, 1e-6f);
    for (int update = 1; update < 60; ++update)
        script.Update(0.0f);
    EXPECT_NEAR(music->parameterValue, 0.4714f, 1e-4f);

    music->parameterValue = 0.0f;
    script.SetTargetIndex(0);
    script.Update(1.0f / 60.0f);
    EXPECT_NEAR(music->parameterValue, 0.03f, 1e-6f);
    script.SetTargetIndex(9);
    EXPECT_EQ(script.GetTargetIndex(), 4u) << "there is no target past the fifth";
}
} // namespace
