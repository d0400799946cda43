#include "BehaviorSpies.h"
#include "CCSMSystem.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameplayPrototypes.h"
#include "LevelFile.h"
#include "MetaHooks.h"
#include "Registries.h"
#include "StagedLevel.h"
#include "SystemManager.h"
#include "TypeIds.h"

#include <gtest/gtest.h>

#include <sstream>

namespace
{
class CCSMWalkTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ResetObjectModel();
        objects.Init();
        behaviors.Init();
        RegisterSpies(behaviors);
        AddMatchBehaviorTables(behaviors);
        RegisterGameplayPrototypes();
        SpyLog().clear();
        UpdatedOwners().clear();
    }
    void TearDown() override
    {
        objects.Exit();
        behaviors.Exit();
        MetaHooks::Reset();
    }

    void NewPlayer()
    {
        CCSM machine;
        GameObject* object = objects.CreateObject();
        object->AddComponent(machine);
        object->GetComponentAs<CCSM>(ComponentTypeId::kCCSM)->SetBehavior("Player Behavior");
    }
    static std::string SavedWorld()
    {
        std::ostringstream out;
        SaveLevelTo(out);
        return out.str();
    }
    static System& BehaviorSystem() { return *SystemManager::GetSystem(kCCSMSystemSlot); }

    GameObjectFactory objects;
    CCSMFactory behaviors;
};

// A level loaded by a command in mid-walk: the rest of the walk goes over the ids it began with, meeting
// the loaded objects under them (an id the level leaves free is skipped); an object new under an id
// beyond them waits for the next update, and the loading machine, replaced under its own call, stops.
TEST_F(CCSMWalkTest, ALevelLoadedByACommandMidWalkIsMetUnderTheIdsTheWalkBeganWith)
{
    for (int i = 0; i < 3; ++i)
        NewPlayer();
    const std::string threePlayers = SavedWorld();
    NewPlayer();
    objects.QueueDestroy(2);
    objects.DestroyQueuedObjects();
    const std::string withoutTheSecond = SavedWorld();

    std::unique_ptr<StagedLevel> start = StageLevel(threePlayers, true, "start.xml");
    CommitLevel(*start);
    std::unique_ptr<StagedLevel> next = StageLevel(withoutTheSecond, true, "next.xml");
    SpyPrototype(behaviors, kCommandGrab).onExecute = [&](SpyCommand&)
    {
        if (next)
            CommitLevel(*next);
        next.reset();
    };
    GameObject* loader = objects.GetObject(1);
    CCSM* machine = loader->GetComponentAs<CCSM>(ComponentTypeId::kCCSM);
    machine->Clear();
    machine->SetBehavior("Player Behavior");
    machine->HandleCommand(kCommandGrab);
    UpdatedOwners().clear();

    BehaviorSystem().Update(0.1f);
    EXPECT_EQ(UpdatedOwners(), (std::vector<std::uint32_t>{3}));
    EXPECT_EQ(BehaviorSystem().ObjectIds(), (std::set<std::uint32_t>{1, 3, 4}));

    UpdatedOwners().clear();
    BehaviorSystem().Update(0.1f);
    EXPECT_EQ(UpdatedOwners(), (std::vector<std::uint32_t>{1, 3, 4}));
}
} // namespace
