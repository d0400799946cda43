#include "GameObject.h"
#include "GameObjectFactory.h"
#include "Registries.h"
#include "Renderer.h"
#include "SystemManager.h"
#include "VisibleObjects.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace
{
class VisibleObjectsTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ResetObjectModel();
        factory = std::make_unique<GameObjectFactory>();
        factory->Init();
    }
    void TearDown() override
    {
        factory->Exit();
        factory.reset();
        ResetObjectModel();
    }

    GameObject* NewSprite()
    {
        GameObject* object = factory->CreateObject();
        Renderer renderer;
        object->AddComponent(renderer);
        return object;
    }

    std::unique_ptr<GameObjectFactory> factory;
};

// A drawing walk visits the members it began with, found again at each step: an object created on the way
// waits for the next walk, and objects queued, hidden or destroyed on the way are skipped.
TEST_F(VisibleObjectsTest, ObjectsCreatedOrDestroyedByAVisitAreHandledAsTheWalkBegan)
{
    for (int i = 0; i < 5; ++i)
        NewSprite();
    const System& sprites = *SystemManager::GetSystem(kBasicRendererSlot);
    std::vector<std::uint32_t> visited;
    ForEachVisibleObject(sprites,
                         [&](GameObject& object)
                         {
                             visited.push_back(object.id);
                             if (object.id != 1)
                                 return;
                             NewSprite();
                             factory->QueueDestroy(2);
                             factory->GetObject(3)->SetFlag(kFlagHidden, true);
                             factory->DestroyObjectKeepingId(4);
                         });
    EXPECT_EQ(visited, (std::vector<std::uint32_t>{1, 5}));

    visited.clear();
    ForEachVisibleObject(sprites, [&](GameObject& object) { visited.push_back(object.id); });
    EXPECT_EQ(visited, (std::vector<std::uint32_t>{1, 5, 6}));
}
} // namespace
