#include "Engine.h"
#include "FrameRateManager.h"
#include "LoggingSystem.h"
#include "StopSignal.h"

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{
std::vector<std::string> journal;

// Writes every lifecycle call into the journal, and throws from Update, Init or Exit when told to.
class JournalSystem : public EngineSystem
{
public:
    JournalSystem(SystemType type, std::string name_) : EngineSystem(type), name(std::move(name_)) {}
    ~JournalSystem() override { journal.push_back("~" + name); }
    void Init() override
    {
        journal.push_back("Init " + name);
        if (throwOnInit)
            throw std::runtime_error("no window");
    }
    void Update(float) override
    {
        journal.push_back("Update " + name);
        if (throwStandard)
            throw std::runtime_error("broken " + name);
        if (throwOther)
            throw 42;
    }
    void Exit() override
    {
        journal.push_back("Exit " + name);
        if (throwStandardOnExit)
            throw std::runtime_error("stuck " + name);
        if (throwOtherOnExit)
            throw 42;
    }

    std::string name;
    bool throwStandard = false;
    bool throwOther = false;
    bool throwOnInit = false;
    bool throwStandardOnExit = false;
    bool throwOtherOnExit = false;
};

SystemFactories JournalFactories(std::vector<JournalSystem*>* made = nullptr)
{
    static const SystemType types[kEngineSlotCount] = {
        estLogger,           estWindowProvider,    estInputSystem, estGraphics,  estSoundSystem,
        estGameStateManager, estGameObjectFactory, estCCSMFactory, estMenuSystem};
    SystemFactories factories;
    for (int slot = 0; slot < kEngineSlotCount; ++slot)
    {
        factories[slot] = [slot, made] {
            auto system = std::make_unique<JournalSystem>(types[slot], std::string(SystemTypeName(types[slot])));
            if (made)
                made->push_back(system.get());
            return system;
        };
    }
    return factories;
}

class EngineLifecycleTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        journal.clear();
        FrameRateManager::Reset();
        ClearStopRequest();
    }
    void TearDown() override
    {
        ClearStopRequest();
        std::signal(SIGTERM, SIG_DFL);
        std::signal(SIGINT, SIG_DFL);
    }
};
} // namespace

TEST_F(EngineLifecycleTest, SystemsStartInCreationOrderAndExitInReverse)
{
    {
        Engine engine(JournalFactories());
        engine.Init();
        journal.clear();
        engine.Shutdown();
    }
    const std::vector<std::string> expected = {
        "Exit estMenuSystem",       "~estMenuSystem",       "Exit estCCSMFactory",      "~estCCSMFactory",
        "Exit estGameObjectFactory", "~estGameObjectFactory", "Exit estGameStateManager", "~estGameStateManager",
        "Exit estSoundSystem",      "~estSoundSystem",      "Exit estGraphics",         "~estGraphics",
        "Exit estInputSystem",      "~estInputSystem",      "Exit estWindowProvider",   "~estWindowProvider",
        "Exit estLogger",           "~estLogger"};
    EXPECT_EQ(journal, expected);
}

TEST_F(EngineLifecycleTest, InitRunsInCreationOrderAfterTheFrameValuesAreSet)
{
    FrameRateManager::fixedStep = 1.0f;
    Engine engine(JournalFactories());
    engine.Init();
    EXPECT_FLOAT_EQ(FrameRateManager::fixedStep, 1.0f / 60.0f);
    ASSERT_EQ(journal.size(), 9u);
    EXPECT_EQ(journal.front(), "Init estLogger");
    EXPECT_EQ(journal[1], "Init estWindowProvider");
    EXPECT_EQ(journal.back(), "Init estMenuSystem");
}

TEST_F(EngineLifecycleTest, OnlyTheFirstEngineAndLoggerArePublishedAndBothAreClearedOnDestruction)
{
    {
        Engine first(JournalFactories());
        EXPECT_TRUE(first.running);
        EXPECT_EQ(gEngine, &first);
        Engine second(JournalFactories());
        EXPECT_FALSE(second.running);
        EXPECT_EQ(gEngine, &first);

        LoggingSystem logger;
        LoggingSystem another;
        EXPECT_EQ(gLoggingSystem, &logger);
    }
    EXPECT_EQ(gEngine, nullptr);
    EXPECT_EQ(gLoggingSystem, nullptr);
}

TEST_F(EngineLifecycleTest, AFailingUpdateIsReportedAndTheOthersStillRun)
{
    std::vector<JournalSystem*> made;
    Engine engine(JournalFactories(&made));
    engine.Init();
    made[3]->throwStandard = true; // graphics
    made[4]->throwOther = true;    // sound
    journal.clear();

    testing::internal::CaptureStderr();
    engine.Update(0.016f);
    const std::string errors = testing::internal::GetCapturedStderr();

    EXPECT_EQ(errors, "Engine system error in: estGraphics.  Exception thrown: broken estGraphics\n"
                      "Engine system error in: estSoundSystem.  Exception thrown: UNKOWN\n");
    EXPECT_EQ(journal.size(), 9u);
    EXPECT_EQ(journal.back(), "Update estMenuSystem");

    // The next frame runs the failing system again.
    testing::internal::CaptureStderr();
    engine.Update(0.016f);
    EXPECT_FALSE(testing::internal::GetCapturedStderr().empty());
    EXPECT_EQ(journal.size(), 18u);
}

TEST_F(EngineLifecycleTest, ShutdownReportsEveryFailingExitAndStillExitsAndDestroysTheRest)
{
    std::vector<JournalSystem*> made;
    Engine engine(JournalFactories(&made));
    engine.Init();
    made[slotGraphics]->throwOtherOnExit = true;
    made[slotGameStateManager]->throwStandardOnExit = true;
    journal.clear();

    testing::internal::CaptureStderr();
    EXPECT_NO_THROW(engine.Shutdown());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Engine system error in: estGameStateManager.  Exception thrown: stuck estGameStateManager\n"
              "Engine system error in: estGraphics.  Exception thrown: UNKOWN\n");
    EXPECT_EQ(journal.size(), 18u);
    EXPECT_EQ(journal.back(), "~estLogger");
    EXPECT_TRUE(engine.Systems().empty());
}

TEST_F(EngineLifecycleTest, AFailedInitExitsTheSystemsAlreadyStartedThenRethrows)
{
    std::vector<JournalSystem*> made;
    SystemFactories factories = JournalFactories(&made);
    auto inner = factories[slotGraphics];
    factories[slotGraphics] = [inner, &made] {
        auto system = inner();
        made.back()->throwOnInit = true;
        return system;
    };
    Engine engine(factories);
    EXPECT_THROW(engine.Init(), std::runtime_error);
    const std::vector<std::string> expected = {"Init estLogger",     "Init estWindowProvider", "Init estInputSystem",
                                               "Init estGraphics",   "Exit estInputSystem",    "Exit estWindowProvider",
                                               "Exit estLogger"};
    EXPECT_EQ(journal, expected);
    journal.clear();
    engine.Shutdown();
    EXPECT_EQ(journal.size(), 9u); // destroyed, no second Exit
    EXPECT_EQ(journal.front(), "~estMenuSystem");
}

TEST_F(EngineLifecycleTest, AStopSignalEndsTheLoopAfterTheCurrentPassAndEveryExitRuns)
{
    InstallStopSignalHandlers();
    Engine engine(JournalFactories());
    double now = 0.0;
    int passes = 0;
    engine.SetClock([&] {
        if (++passes == 3)
            std::raise(SIGTERM);
        now += 0.02;
        return now;
    });
    engine.SetPhysicsStep([](float) {});
    engine.Init();
    journal.clear();
    engine.Run();
    EXPECT_FALSE(engine.running);
    EXPECT_EQ(passes, 3);
    engine.Shutdown();
    EXPECT_EQ(journal[27], "Exit estMenuSystem");
    EXPECT_EQ(journal.back(), "~estLogger");
}
