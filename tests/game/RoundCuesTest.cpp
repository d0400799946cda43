#include "CCSM.h"
#include "CCSMFactory.h"
#include "FrameRateManager.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStats.h"
#include "MatchBehaviorTables.h"
#include "PlayHarness.h"
#include "SoundPlayLog.h"
#include "TimerScript.h"
#include "TypeIds.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The voice cues of the round commands and the round clock, heard through the running sound system's
// play log.
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
