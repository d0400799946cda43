#include "CCSM.h"
#include "CCSMFactory.h"
#include "Event.h"
#include "FrameRateManager.h"
#include "GameFinishedScript.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStateRequest.h"
#include "GameStats.h"
#include "HUDScript.h"
#include "InputRecording.h"
#include "MatchBehaviorTables.h"
#include "PlayArena.h"
#include "PlayHarness.h"
#include "SoundPlayLog.h"
#include "TimerScript.h"
#include "TransitionScript.h"
#include "TypeIds.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The round flow in the running game: the voice cues (heard through the sound system's play log) and a
// match of four timed rounds driven by the round-end shortcut.
namespace
{
class RoundCues : public PlayTest
{
  protected:
    void SetUp() override
    {
        PlayTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ResetCountdownCues();
        SetSoundPlayLogging(true);
        ClearSoundPlayLog();
    }
    void TearDown() override { SetSoundPlayLogging(false); }
};
} // namespace

// A respawn update that jumps past both cue times plays only "ReadyVO" and finishes.
TEST_F(RoundCues, RespawnJumpingPastBothCuesPlaysOnlyReady)
{
    RegisterManagerBehavior(*gCCSMFactory);
    GameObject* manager = gGameObjectFactory->CreateObject();
    CCSM machine;
    manager->AddComponent(machine);
    CCSM& managerMachine = *manager->GetComponentAs<CCSM>(ComponentTypeId::kCCSM);
    managerMachine.SetBehavior("Manager Behavior");
    ASSERT_TRUE(managerMachine.HandleCommand(kCommandRespawn));
    managerMachine.RunUpdate(1.4f);
    EXPECT_TRUE(SoundPlayLog().empty());
    managerMachine.RunUpdate(1.2f);
    EXPECT_EQ(SoundPlayLog(), std::vector<std::string>{"ReadyVO"});
    managerMachine.RunUpdate(0.1f);
    EXPECT_EQ(SoundPlayLog().size(), 1u) << "finished: no GoVO afterwards";
}

// Each cue plays once per pass through its band; the one-second cue clears every latch.
TEST_F(RoundCues, CountdownCuesPlayOncePerPass)
{
    GameObject* object = gGameObjectFactory->CreateObject();
    GameStats stats;
    object->AddComponent(stats);
    TimerScript timer(0, 40.0f);
    object->AddScript(timer);
    auto& clock = *object->GetScriptAs<TimerScript>(ScriptTypeId::kTimerScript);
    const auto at = [&](float seconds) {
        FrameRateManager::SetTimerValue(clock.GetCountdownIndex(), seconds);
        clock.Update(0.0f);
    };
    at(30.05f);
    at(30.0f);
    at(29.95f);
    at(20.0f);
    at(5.0f);
    at(5.0f);
    at(1.0f);
    at(5.0f);
    EXPECT_EQ(SoundPlayLog(),
              (std::vector<std::string>{"ThirtySec", "CountdownFive", "CountdownOne", "CountdownFive"}));
}

// Four rounds ended early with LShift+2: each time-up ends the round through the HUD, the transition
// script and the round end, and after the fourth the level game goes to player 1's victory screen.
TEST_F(RoundCues, FourTimedRoundsEndTheMatchForPlayerOne)
{
    BuildArena();
    RegisterManagerBehavior(*gCCSMFactory);
    GameObject* manager = gGameObjectFactory->CreateObject();
    manager->tag = 6;
    CCSM machine;
    manager->AddComponent(machine);
    manager->GetComponentAs<CCSM>(ComponentTypeId::kCCSM)->SetBehavior("Manager Behavior");
    TransitionScript transition;
    manager->AddScript(transition);
    HUDScript hud;
    manager->AddScript(hud);
    GameFinishedScript finished;
    manager->AddScript(finished);
    auto& counters = *manager->GetScriptAs<HUDScript>(ScriptTypeId::kHUDScript);
    counters.Bind();
    Game().Step();
    Game().Events().Clear();

    constexpr std::int32_t kLeftShift = 1073742049;
    for (int round = 1; round <= 4; ++round)
    {
        SCOPED_TRACE(round);
        Game().Press(kLeftShift);
        Game().Press('2');
        Game().Step();
        Game().Release('2');
        Game().Release(kLeftShift);
        int steps = 0;
        while (Game().Events().Count(evRoundFinished) < round && steps < 400)
        {
            Game().Step();
            ++steps;
        }
        ASSERT_EQ(Game().Events().Count(evRoundFinished), round) << "the round ends about 2 s later";
        EXPECT_GE(steps, 100);
        // Read before the victory screen replaces the world.
        EXPECT_EQ(counters.GetRoundsPlayed(), static_cast<std::uint32_t>(round % 4));
        // The round end (2 s) and the respawn (2.5 s) stage the next round.
        Game().Step(300);
        EXPECT_EQ(Game().Events().Count(evRoundStart), 0) << "no module names: no round start";
    }
    EXPECT_EQ(Game().Events().Count(evGameFinished), 1);
    EXPECT_EQ(GetRequestedGameState(), 6);
    EXPECT_FALSE(IsRecording());
}
