#include "Engine.h"
#include "EventManager.h"
#include "GameObjectFactory.h"
#include "GameStateManager.h"
#include "GameStateRequest.h"
#include "PlaceholderSystem.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace
{
constexpr Tag kWorldTag = kTagPlayer;

// A state that builds a small world of tagged objects and notes what the finders showed it meanwhile.
class WorldState : public GameState
{
  public:
    WorldState(std::uint32_t index, int objectCount) : GameState(index), objectCount(objectCount) {}

    void Load() override
    {
        seenAtLoad = gGameObjectFactory->GetObjectsWithTag(kWorldTag).size();
        for (int i = 0; i < objectCount; ++i)
        {
            GameObject* object = gGameObjectFactory->CreateObject();
            object->tag = kWorldTag;
            object->SetName("World " + std::to_string(GetIndex()));
            own.push_back(object->id);
        }
    }
    void Init() override
    {
        // What a screen does when it binds to its objects: it must find its own, never the old ones.
        seenAtInit = gGameObjectFactory->GetObjectsWithTag(kWorldTag).size();
        found = gGameObjectFactory->GetObjectByName("World " + std::to_string(GetIndex()));
        foundOld = gGameObjectFactory->GetObjectByName("World 9") != nullptr && GetIndex() != 9;
    }
    void Update(float) override
    {
        // Reads the object it bound to; the sanitizer build catches a freed one.
        if (found != nullptr)
            lastSeenId = found->id;
    }
    void Exit() override {}
    void Unload() override { own.clear(); }

    int objectCount;
    std::vector<std::uint32_t> own;
    std::size_t seenAtLoad = 0;
    std::size_t seenAtInit = 0;
    GameObject* found = nullptr;
    bool foundOld = false;
    std::uint32_t lastSeenId = 0;
};
} // namespace

// The engine's creation order puts the manager before the object factory, so a switch's queued objects
// are destroyed in the same engine update, and nothing of the old world reaches the new state.
TEST(StateSwitchWorld, OnlyTheNewWorldSurvivesASwitch)
{
    ResetObjectModel();
    EventManager::Reset();
    WorldState* first = nullptr;
    WorldState* second = nullptr;
    SystemFactories factories;
    factories[slotGameStateManager] = [&]
    {
        return std::make_unique<GameStateManager>(
            [&]
            {
                std::vector<std::unique_ptr<GameState>> list;
                for (std::uint32_t i = 0; i < GameStateIndex::Count; ++i)
                {
                    auto state = std::make_unique<WorldState>(i, i == 9 ? 40 : 25);
                    if (i == 9)
                        first = state.get();
                    if (i == 10)
                        second = state.get();
                    list.push_back(std::move(state));
                }
                return list;
            });
    };
    factories[slotObjectFactory] = [] { return std::make_unique<GameObjectFactory>(); };
    {
        Engine engine(factories);
        engine.Init();
        engine.Update(1.0f / 60.0f);
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(first->own.size(), 40u);
        EXPECT_EQ(gGameObjectFactory->GetObjectsWithTag(kWorldTag).size(), 40u);

        RequestGameState(10);
        engine.Update(1.0f / 60.0f);
        EXPECT_EQ(second->seenAtLoad, 0u);
        EXPECT_EQ(second->seenAtInit, 25u);
        EXPECT_FALSE(second->foundOld);
        ASSERT_NE(second->found, nullptr);

        // After the update only the second world remains: the old ids are free again.
        std::size_t live = 0;
        for (const auto& object : gGameObjectFactory->Objects())
            live += object != nullptr ? 1 : 0;
        EXPECT_EQ(live, 25u);
        for (std::uint32_t id : second->own)
            EXPECT_NE(gGameObjectFactory->GetObject(id), nullptr);

        engine.Update(1.0f / 60.0f);
        engine.Shutdown();
    }
    ResetObjectModel();
}
