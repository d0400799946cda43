#include "Engine.h"
#include "FrameRateManager.h"
#include "SoundHooks.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
// Records the dt of every update it receives.
class RecordingSystem : public EngineSystem
{
public:
    explicit RecordingSystem(std::vector<float>& updates_) : EngineSystem(estSystemBase), updates(updates_) {}
    void Update(float dt) override { updates.push_back(dt); }
    std::vector<float>& updates;
};

class FrameLoopTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FrameRateManager::Reset();
        SoundHooks::Reset();
        SystemFactories factories;
        factories[slotLogging] = [this] { return std::make_unique<RecordingSystem>(engineUpdates); };
        engine = std::make_unique<Engine>(factories);
        engine->SetClock([this] { return now; });
        engine->SetPhysicsStep([this](float dt) { physicsUpdates.push_back(dt); });
        engine->Init();
    }
    void TearDown() override
    {
        engine.reset();
        SoundHooks::Reset();
        FrameRateManager::Reset();
    }

    // Advances the injected clock and runs one pass.
    void Pass(double seconds)
    {
        now += seconds;
        engine->RunFramePass();
    }

    double now = 0.0;
    std::vector<float> engineUpdates;
    std::vector<float> physicsUpdates;
    std::unique_ptr<Engine> engine;
};
} // namespace

TEST_F(FrameLoopTest, TimeBelowTheFixedStepCarriesOverToTheNextPass)
{
    Pass(0.010);
    EXPECT_TRUE(engineUpdates.empty());
    Pass(0.010);
    ASSERT_EQ(engineUpdates.size(), 1u);
    EXPECT_NEAR(engineUpdates[0], 0.020f, 1e-5f);
    EXPECT_FLOAT_EQ(FrameRateManager::accumulator, 0.0f);
}

TEST_F(FrameLoopTest, ALongStallGivesOneUpdateWithTheClampedTime)
{
    Pass(2.0);
    ASSERT_EQ(engineUpdates.size(), 1u);
    EXPECT_FLOAT_EQ(engineUpdates[0], 0.025f);
    Pass(0.001);
    EXPECT_EQ(engineUpdates.size(), 1u);
}

TEST_F(FrameLoopTest, PhysicsGetsTheSameTimeAsTheEngineUpdate)
{
    Pass(0.02);
    Pass(0.03);
    ASSERT_EQ(physicsUpdates.size(), 2u);
    EXPECT_EQ(physicsUpdates, engineUpdates);
}

TEST_F(FrameLoopTest, PausedUpdatesRunWithNoTimeAndTimersFreeze)
{
    const std::uint32_t timer = FrameRateManager::AddTimer("Round", 1.0f);
    FrameRateManager::TogglePause();
    Pass(0.02);
    ASSERT_EQ(engineUpdates.size(), 1u);
    EXPECT_FLOAT_EQ(engineUpdates[0], 0.0f);
    EXPECT_FLOAT_EQ(physicsUpdates[0], 0.0f);
    EXPECT_FLOAT_EQ(FrameRateManager::GetTimerValue(timer), 1.0f);

    FrameRateManager::SetTimer("Round", 3.0f);
    EXPECT_FLOAT_EQ(FrameRateManager::GetTimerValue(timer), 3.0f);

    FrameRateManager::TogglePause();
    Pass(0.02);
    EXPECT_NEAR(engineUpdates.back(), 0.02f, 1e-5f);
    EXPECT_NEAR(FrameRateManager::GetTimerValue(timer), 2.98f, 1e-5f);
}

TEST_F(FrameLoopTest, TogglePausePlaysPauseThenResumeAndIsSafeWithoutSound)
{
    FrameRateManager::TogglePause();
    FrameRateManager::TogglePause();

    std::vector<std::string> played;
    SoundHooks::play = [&](const std::string& name) { played.push_back(name); };
    FrameRateManager::TogglePause();
    EXPECT_TRUE(FrameRateManager::IsPaused());
    FrameRateManager::TogglePause();
    EXPECT_FALSE(FrameRateManager::IsPaused());
    EXPECT_EQ(played, (std::vector<std::string>{"GamePause", "GameResume"}));
}

TEST_F(FrameLoopTest, TimersStopAtZeroStayListedAndShareNames)
{
    EXPECT_EQ(FrameRateManager::AddTimer("Intro", 0.01f), 0u);
    EXPECT_EQ(FrameRateManager::AddTimer("Intro", 5.0f), 1u);
    Pass(0.02);
    EXPECT_FLOAT_EQ(FrameRateManager::GetTimerValue(0), 0.0f);
    EXPECT_EQ(FrameRateManager::Timers().size(), 2u);

    FrameRateManager::SetTimer("Intro", 4.0f);
    EXPECT_FLOAT_EQ(FrameRateManager::GetTimerValue(0), 4.0f);
    EXPECT_FLOAT_EQ(FrameRateManager::GetTimerValue(1), 4.0f);
    FrameRateManager::SetTimer("Nobody", 1.0f);
    EXPECT_EQ(FrameRateManager::Timers().size(), 2u);

    // Out of range reads 0 and writes nothing.
    EXPECT_FLOAT_EQ(FrameRateManager::GetTimerValue(7), 0.0f);
    FrameRateManager::SetTimerValue(7, 1.0f);
    EXPECT_EQ(FrameRateManager::Timers().size(), 2u);
}

TEST_F(FrameLoopTest, SlowMotionGivesSmallerMoreFrequentUpdatesUntilRestored)
{
    FrameRateManager::SetSlowMotion(4.0f);
    Pass(0.005);
    ASSERT_EQ(engineUpdates.size(), 1u);
    EXPECT_NEAR(engineUpdates[0], 1.0f / 240.0f, 1e-5f);
    Pass(0.1);
    EXPECT_NEAR(engineUpdates.back(), 1.0f / 240.0f, 1e-5f);

    FrameRateManager::RestoreDefaults();
    EXPECT_FLOAT_EQ(FrameRateManager::fixedStep, 1.0f / 60.0f);
    EXPECT_FLOAT_EQ(FrameRateManager::maxFrameTime, 0.025f);
    Pass(0.005);
    EXPECT_EQ(engineUpdates.size(), 2u);
}
