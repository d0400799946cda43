#include "CCSMFactory.h"
#include "CCSMSystem.h"
#include "Engine.h"
#include "GamePrototypes.h"
#include "MetaHooks.h"
#include "PlaceholderSystem.h"
#include "SystemManager.h"
#include "SystemSlots.h"

#include <gtest/gtest.h>

TEST(GameStartup, RunsAndShutsDownWithTheRealBehaviourFactoryAndSystem)
{
    {
        // The game's own slots, but no window: this test needs no display.
        SystemFactories factories = MakeGameSystemFactories();
        factories[slotWindowProvider] = [] { return std::make_unique<PlaceholderSystem>(estWindowProvider); };
        factories[slotInput] = [] { return std::make_unique<PlaceholderSystem>(estInputSystem); };
        Engine engine(factories);
        engine.Init();
        RegisterAllPrototypes();
        EXPECT_NE(dynamic_cast<CCSMFactory*>(engine.Systems()[slotBehaviorFactory].get()), nullptr);
        ASSERT_NE(gCCSMFactory, nullptr);
        EXPECT_EQ(gCCSMFactory->StatePrototypeCount(), kStateCount);
        EXPECT_EQ(gCCSMFactory->CommandPrototypeCount(), kCommandCount);
        EXPECT_NE(dynamic_cast<CCSMSystem*>(SystemManager::GetSystem(kCCSMSystemSlot)), nullptr);
        EXPECT_TRUE(static_cast<bool>(MetaHooks::editBehavior));
        engine.Update(1.0f / 60.0f);
        engine.Shutdown();
    }
    EXPECT_EQ(gCCSMFactory, nullptr);
    MetaHooks::Reset();
}
