#include "CCSMSystem.h"
#include "BehaviorEditor.h"
#include "BehaviorSpies.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStats.h"
#include "GameplayPrototypes.h"
#include "LevelIArchive.h"
#include "MetaHooks.h"
#include "Prototypes.h"
#include "Registries.h"
#include "SystemManager.h"
#include "TimeManipulator.h"
#include "TypeIds.h"

#include <boost/archive/xml_oarchive.hpp>
#include <gtest/gtest.h>
#include <imgui.h>

#include <sstream>

namespace
{
using Log = std::vector<std::string>;
using Ids = std::vector<std::uint32_t>;

class CCSMSystemTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
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

    // A new object carrying a machine of the named set; returns the attached machine.
    CCSM* AddMachine(GameObject& object, const std::string& behaviorName)
    {
        CCSM machine;
        object.AddComponent(machine);
        CCSM* attached = object.GetComponentAs<CCSM>(ComponentTypeId::kCCSM);
        attached->SetBehavior(behaviorName);
        return attached;
    }
    GameObject& NewPlayer()
    {
        GameObject* object = objects.CreateObject();
        AddMachine(*object, "Player Behavior");
        return *object;
    }
    static CCSM* MachineOf(std::uint32_t id)
    {
        GameObject* object = gGameObjectFactory->GetObject(id);
        return object != nullptr ? object->GetComponentAs<CCSM>(ComponentTypeId::kCCSM) : nullptr;
    }
    static System& BehaviorSystem() { return *SystemManager::GetSystem(kCCSMSystemSlot); }

    GameObjectFactory objects;
    CCSMFactory behaviors;
};

TEST_F(CCSMSystemTest, RegistrationInstallsTheSystemOnceAndKeepsItsObjects)
{
    System* installed = &BehaviorSystem();
    EXPECT_NE(dynamic_cast<CCSMSystem*>(installed), nullptr);
    EXPECT_FALSE(SystemManager::IsPlaceholder(kCCSMSystemSlot));
    GameObject& player = NewPlayer();
    RegisterGameplayPrototypes();
    EXPECT_EQ(&BehaviorSystem(), installed);
    EXPECT_EQ(BehaviorSystem().ObjectIds().count(player.id), 1u);
    ASSERT_NE(FindComponentPrototype("CCSM"), nullptr);
    ASSERT_NE(FindComponentPrototype("GameStats"), nullptr);
    EXPECT_EQ(FindComponentPrototype("CCSM")->GetOwner(), 0u);
    EXPECT_EQ(BehaviorSystem().ObjectIds().count(0), 0u);
}

TEST_F(CCSMSystemTest, RunsMachinesInAscendingIdOrderSkippingDoomedHiddenAndRemovedOnes)
{
    for (int i = 0; i < 6; ++i)
        NewPlayer();
    // Id 2 comes back last-freed-first, so it is created after id 6 but still runs second.
    objects.QueueDestroy(2);
    objects.DestroyQueuedObjects();
    GameObject& reused = NewPlayer();
    ASSERT_EQ(reused.id, 2u);

    objects.QueueDestroy(3);
    objects.GetObject(4)->SetFlag(kFlagHidden, true);
    RemoveComponent(5, ComponentTypeId::kCCSM);
    ASSERT_EQ(BehaviorSystem().ObjectIds().count(5), 1u);
    BehaviorSystem().Update(0.1f);
    EXPECT_EQ(UpdatedOwners(), (Ids{1, 2, 6}));
}

TEST_F(CCSMSystemTest, ActiveTimeManipulatorScalesTheMachinesTime)
{
    GameObject& fast = NewPlayer();
    GameObject& idle = NewPlayer();
    TimeManipulator doubled;
    doubled.SetSpeed(2.0f);
    doubled.SetPersistent(true);
    fast.AddComponent(doubled);
    TimeManipulator inactive;
    inactive.SetSpeed(3.0f);
    idle.AddComponent(inactive);
    MachineOf(fast.id)->HandleCommand(kCommandJump);
    SpyLog().clear();
    BehaviorSystem().Update(0.5f);
    EXPECT_EQ(SpyLog(), (Log{"Execute 7 1", "StateUpdate 1 1", "StateUpdate 1 0.5"}));
}

TEST_F(CCSMSystemTest, ObjectsCreatedOrQueuedDuringTheWalkAreLeftAlone)
{
    GameObject& first = NewPlayer();
    NewPlayer();
    SpyPrototype(behaviors, kCommandGrab).onExecute = [this](SpyCommand&) {
        objects.QueueDestroy(2);
        NewPlayer();
    };
    // The spy prototype changed after the machines were built, so rebuild the first one.
    CCSM* machine = MachineOf(first.id);
    machine->Clear();
    machine->SetBehavior("Player Behavior");
    machine->HandleCommand(kCommandGrab);
    UpdatedOwners().clear();
    BehaviorSystem().Update(0.1f);
    EXPECT_EQ(UpdatedOwners(), (Ids{1}));
    UpdatedOwners().clear();
    BehaviorSystem().Update(0.1f);
    EXPECT_EQ(UpdatedOwners(), (Ids{1, 3}));
}

TEST_F(CCSMSystemTest, CommandRemovingItsOwnMachineEndsThatMachinesWalk)
{
    GameObject& player = NewPlayer();
    NewPlayer();
    SpyPrototype(behaviors, kCommandGrab).onExecute = [](SpyCommand& self) {
        RemoveComponent(self.GetOwner()->GetOwner(), ComponentTypeId::kCCSM);
    };
    CCSM* machine = MachineOf(player.id);
    machine->Clear();
    machine->SetBehavior("Player Behavior");
    machine->HandleCommand(kCommandGrab);
    machine->HandleCommand(kCommandJump);
    BehaviorSystem().Update(0.1f);
    EXPECT_EQ(MachineOf(player.id), nullptr);
    EXPECT_EQ(CountLog("Execute 7 0.1"), 0);
    EXPECT_EQ(UpdatedOwners(), (Ids{2}));
}

TEST_F(CCSMSystemTest, RebuildAllPushesOnTopOfEveryLiveMachineWithTheSameSkips)
{
    GameObject& player = NewPlayer();
    GameObject& hidden = NewPlayer();
    GameObject& doomed = NewPlayer();
    GameObject& ball = *objects.CreateObject();
    AddMachine(ball, "Ball Behavior");
    hidden.SetFlag(kFlagHidden, true);
    objects.QueueDestroy(doomed.id);
    RebuildAll();
    EXPECT_EQ(MachineOf(player.id)->GetStateStack(), (std::vector<StateId>{1, 1}));
    EXPECT_EQ(MachineOf(hidden.id)->GetStateStack(), (std::vector<StateId>{1}));
    EXPECT_EQ(MachineOf(doomed.id)->GetStateStack(), (std::vector<StateId>{1}));
    EXPECT_EQ(MachineOf(ball.id)->GetStateStack(), (std::vector<StateId>{4, 4}));
}

TEST_F(CCSMSystemTest, EmptyTablesThenRebuildAllKeepEveryStack)
{
    GameObject& player = NewPlayer();
    MachineOf(player.id)->PushState(kStateInAir);
    behaviors.ReplaceTables({});
    RebuildAll();
    CCSM* machine = MachineOf(player.id);
    EXPECT_EQ(machine->GetStateStack(), (std::vector<StateId>{1, 2}));
    EXPECT_EQ(machine->GetBehaviorName(), "Player Behavior");
    EXPECT_EQ(machine->GetBehaviorSet().name, "");
    EXPECT_TRUE(machine->HandleCommand(kCommandMoveLeft));
}

TEST_F(CCSMSystemTest, RebuildsCopiesPopsAndClearsWithQueuedCommandsLeaveNothingDangling)
{
    SpyPrototype(behaviors, kCommandMoveLeft).executeResult = 0;
    const std::uint32_t playerId = NewPlayer().id;
    CCSM* machine = MachineOf(playerId);
    machine->Clear();
    machine->SetBehavior("Player Behavior");
    machine->HandleCommand(kCommandMoveLeft);
    machine->HandleCommand(kCommandJump);
    BehaviorSystem().Update(0.1f);
    machine->HandleCommand(kCommandMoveLeft);
    RebuildAll();
    RebuildAll();
    EXPECT_EQ(machine->GetStateStack(), (std::vector<StateId>{1, 1, 1}));
    // The rebuilt commands are fresh clones, so what was queued is dropped at the next update.
    EXPECT_EQ(machine->GetCommand(kCommandMoveLeft)->GetStatus(), csFinished);

    std::unique_ptr<Component> copy = machine->Clone();
    auto& copied = dynamic_cast<CCSM&>(*copy);
    while (!copied.GetStateStack().empty())
        copied.PopState();
    copied.RunUpdate(0.1f);
    copied.Clear();
    BehaviorSystem().Update(0.1f);
    BehaviorSystem().Update(0.1f);
    EXPECT_EQ(CountLog("Execute 1 0.1"), 1);
    objects.QueueDestroy(playerId);
    objects.Update(0.1f);
    EXPECT_EQ(MachineOf(playerId), nullptr);
}

TEST_F(CCSMSystemTest, PrefabInstancesGetTheirOwnMachines)
{
    CCSM machine;
    machine.SetBehavior("Player Behavior");
    machine.HandleCommand(kCommandJump);
    objects.RegisterPrefab("Jumper", std::make_unique<GameObject>(), {&machine}, {});
    GameObject* instance = objects.CreateFromPrefab("Jumper");
    ASSERT_NE(instance, nullptr);
    CCSM* copy = MachineOf(instance->id);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetOwner(), instance->id);
    EXPECT_EQ(copy->GetActiveCommands(), machine.GetActiveCommands());
    EXPECT_EQ(copy->GetCommand(kCommandJump)->GetOwner(), copy);
    EXPECT_EQ(copy->GetCommand(kCommandJump)->GetStatus(), csExecute);
    BehaviorSystem().Update(0.1f);
    EXPECT_EQ(machine.GetCommand(kCommandJump)->GetStatus(), csExecute);
    EXPECT_EQ(CountLog("Execute 7 0.1"), 1);
}

// ---- Persistence ----

std::string SaveMachines(const std::vector<const CCSM*>& machines)
{
    std::ostringstream stream;
    {
        boost::archive::xml_oarchive archive(stream);
        for (const CCSM* machine : machines)
            machine->Save(archive);
    }
    return stream.str();
}

TEST_F(CCSMSystemTest, SavesOnlyTheBehaviorName)
{
    CCSM machine;
    machine.SetBehavior("Player Behavior");
    machine.HandleCommand(kCommandJump);
    const std::string text = SaveMachines({&machine});
    EXPECT_NE(text.find("<BehaviorName>Player Behavior</BehaviorName>"), std::string::npos) << text;
    EXPECT_EQ(text.find("OnGround"), std::string::npos) << text;
}

TEST_F(CCSMSystemTest, MachinesLoadedThroughThePrototypeStartFromNothing)
{
    CCSM player;
    player.SetBehavior("Player Behavior");
    CCSM ball;
    ball.SetBehavior("Ball Behavior");
    std::istringstream stream(SaveMachines({&player, &ball}));
    LevelIArchive archive(stream);
    Component* prototype = FindComponentPrototype("CCSM");
    ASSERT_NE(prototype, nullptr);
    std::unique_ptr<Component> loadedPlayer = prototype->Load(archive);
    std::unique_ptr<Component> loadedBall = prototype->Load(archive);

    auto& first = dynamic_cast<CCSM&>(*loadedPlayer);
    EXPECT_EQ(first.GetStateStack(), (std::vector<StateId>{1}));
    auto& second = dynamic_cast<CCSM&>(*loadedBall);
    EXPECT_EQ(second.GetBehaviorName(), "Ball Behavior");
    EXPECT_EQ(second.GetStateStack(), (std::vector<StateId>{4}));
    EXPECT_EQ(second.GetStateCount(), 2u);
    EXPECT_NE(second.GetState(kStateGrabbed), nullptr);
    EXPECT_EQ(second.GetState(kStateOnGround), nullptr);
    EXPECT_EQ(second.GetOwner(), 0u);
}

TEST_F(CCSMSystemTest, MisnamedBehaviorNameElementThrows)
{
    CCSM machine;
    std::string text = SaveMachines({&machine});
    text.replace(text.find("BehaviorName"), 12, "BehaviourNam");
    std::istringstream stream(text);
    LevelIArchive archive(stream);
    EXPECT_THROW(FindComponentPrototype("CCSM")->Load(archive), LevelFormatError);
}

// ---- Editor ----

class EditorFrame
{
  public:
    EditorFrame()
    {
        context = ImGui::CreateContext();
        ImGuiIO& io = ImGui::GetIO();
        io.DisplaySize = ImVec2(800.0f, 600.0f);
        io.IniFilename = nullptr;
        unsigned char* pixels = nullptr;
        int width = 0;
        int height = 0;
        io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);
        ImGui::NewFrame();
    }
    ~EditorFrame()
    {
        ImGui::EndFrame();
        ImGui::DestroyContext(context);
    }

  private:
    ImGuiContext* context = nullptr;
};

TEST_F(CCSMSystemTest, EditorsDrawInOneFrameAndTheComboRebuildsFromTheChosenSet)
{
    behaviors.AddBehaviorSet({"Player Behavior", 2, {}});
    behaviors.AddBehaviorSet({"", 0, {}});
    GameObject& player = NewPlayer();
    GameStats stats;
    player.AddComponent(stats);
    CCSM* machine = MachineOf(player.id);
    machine->PushState(kStateInAir);
    {
        EditorFrame frame;
        machine->DrawEditor();
        player.GetComponent(ComponentTypeId::kGameStats)->DrawEditor();
    }
    EXPECT_EQ(machine->GetStateStack(), (std::vector<StateId>{1, 2}));

    std::string shown;
    MetaHooks::editBehavior = [&shown](const std::string&, std::string& behaviorName) {
        shown = behaviorName;
        behaviorName = "Ball Behavior";
        return true;
    };
    EditorFrame frame;
    machine->DrawEditor();
    EXPECT_EQ(shown, "Player Behavior");
    EXPECT_EQ(machine->GetStateStack(), (std::vector<StateId>{4}));
    EXPECT_EQ(machine->GetState(kStateInAir), nullptr);

    machine->SetBehavior("Unknown Behavior");
    machine->DrawEditor();
    EXPECT_EQ(shown, "");
}

TEST_F(CCSMSystemTest, ComboDrawsWithNoSetsAndWithDuplicateNames)
{
    std::string name = "Player Behavior";
    {
        EditorFrame frame;
        EXPECT_FALSE(EditBehaviorCombo("CCSM Comp", name));
        behaviors.ReplaceTables({});
        EXPECT_FALSE(EditBehaviorCombo("CCSM Comp", name));
    }
    EXPECT_EQ(name, "Player Behavior");
}
} // namespace
