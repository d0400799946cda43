#include "BehaviorSpies.h"
#include "CCSMSystem.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameplayPrototypes.h"
#include "Prototypes.h"
#include "Registries.h"
#include "SystemManager.h"
#include "TypeIds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

namespace
{
// The machine call that runs the states' Enter and Exit.
enum class Trigger
{
    Push,
    Pop,
    Change,
    Rebuild
};
// Where the trapped state does its damage.
enum class Hook
{
    Enter,
    Exit
};
// What the trapped state does to its own machine.
enum class Damage
{
    Clear,
    Rebuild,
    Remove
};
// Who makes the machine call: a collision script (no walk running) or a queued command (inside the walk).
enum class Caller
{
    Script,
    Command
};

struct TrapCase
{
    Trigger trigger;
    Hook hook;
    Damage damage;
    Caller caller;

    std::string Name() const
    {
        static const char* const triggers[] = {"push", "pop", "change", "rebuild"};
        static const char* const damages[] = {"Clear", "SetBehavior(\"\")", "removal"};
        return std::string(triggers[static_cast<int>(trigger)]) + ", " + damages[static_cast<int>(damage)] +
               " in " + (hook == Hook::Enter ? "Enter" : "Exit") + ", from " +
               (caller == Caller::Script ? "a script" : "a command");
    }
};

class CCSMLifetimeTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        objects.Init();
        behaviors.Init();
        RegisterSpies(behaviors);
        AddMatchBehaviorTables(behaviors);
        RegisterGameplayPrototypes();
        // The hooks are cloned into every machine and fire once each time the test arms them.
        for (StateId id : {kStateOnGround, kStateInAir})
        {
            SpyStatePrototype(behaviors, id).onEnter = [this](SpyState& state) {
                Spring(Hook::Enter, state);
            };
            SpyStatePrototype(behaviors, id).onExit = [this](SpyState& state) { Spring(Hook::Exit, state); };
        }
        SpyPrototype(behaviors, kCommandMoveLeft).onExecute = [this](SpyCommand& command) {
            if (std::exchange(commandArmed, false))
                Pull(*command.GetOwner());
        };
        SpyLog().clear();
    }
    void TearDown() override
    {
        objects.Exit();
        behaviors.Exit();
    }

    void Pull(CCSM& machine)
    {
        switch (current.trigger)
        {
        case Trigger::Push:
            machine.PushState(kStateInAir);
            break;
        case Trigger::Pop:
            machine.PopState();
            break;
        case Trigger::Change:
            machine.ChangeState(kStateOnGround);
            break;
        case Trigger::Rebuild:
            machine.SetBehavior("");
            break;
        }
    }
    void Spring(Hook hook, SpyState& state)
    {
        if (hook != current.hook || !std::exchange(trapArmed, false))
            return;
        CCSM& machine = *state.GetOwner();
        switch (current.damage)
        {
        case Damage::Clear:
            machine.Clear();
            break;
        case Damage::Rebuild:
            machine.SetBehavior("");
            break;
        case Damage::Remove:
            RemoveComponent(machine.GetOwner(), ComponentTypeId::kCCSM);
            break;
        }
    }

    // A player whose machine stands ready for the case's trigger: "OnGround" alone for a push or rebuild,
    // "InAir" over it for a pop or change.
    std::uint32_t NewPlayer()
    {
        GameObject& object = *objects.CreateObject();
        CCSM machine;
        object.AddComponent(machine);
        CCSM& attached = *MachineOf(object.id);
        attached.SetBehavior("Player Behavior");
        if (current.trigger == Trigger::Pop || current.trigger == Trigger::Change)
            attached.PushState(kStateInAir);
        return object.id;
    }
    static CCSM* MachineOf(std::uint32_t id)
    {
        GameObject* object = gGameObjectFactory->GetObject(id);
        return object != nullptr ? object->GetComponentAs<CCSM>(ComponentTypeId::kCCSM) : nullptr;
    }
    static System& BehaviorSystem() { return *SystemManager::GetSystem(kCCSMSystemSlot); }

    GameObjectFactory objects;
    CCSMFactory behaviors;
    TrapCase current{};
    bool trapArmed = false;
    bool commandArmed = false;
};

// A state that clears, rebuilds or removes its own machine from Enter or Exit, during a push, pop, change
// or rebuild that a script or a queued command made: the state and the command survive their own calls
// (AddressSanitizer reports any use after free), the calls stop once the machine is gone, and what is
// left behind works.
TEST_F(CCSMLifetimeTest, StatesThatClearRebuildOrRemoveTheirOwnMachineLeaveNothingDangling)
{
    int cases = 0;
    for (Trigger trigger : {Trigger::Push, Trigger::Pop, Trigger::Change, Trigger::Rebuild})
        for (Hook hook : {Hook::Enter, Hook::Exit})
            for (Damage damage : {Damage::Clear, Damage::Rebuild, Damage::Remove})
                for (Caller caller : {Caller::Script, Caller::Command})
                {
                    current = {trigger, hook, damage, caller};
                    SCOPED_TRACE(current.Name());
                    ++cases;
                    const std::uint32_t player = NewPlayer();
                    SpyLog().clear();
                    trapArmed = true;
                    if (caller == Caller::Script)
                        Pull(*MachineOf(player));
                    else
                    {
                        commandArmed = true;
                        MachineOf(player)->HandleCommand(kCommandMoveLeft);
                        MachineOf(player)->HandleCommand(kCommandMoveRight);
                        BehaviorSystem().Update(0.1f);
                    }
                    ASSERT_FALSE(trapArmed);
                    // The last call into a state or command, ignoring the shutdowns of what was retired.
                    std::string last;
                    for (const std::string& line : SpyLog())
                        if (line.rfind("Shutdown", 0) != 0)
                            last = line;
                    const std::string after =
                        std::string("After ") + (hook == Hook::Enter ? "Enter" : "Exit");
                    EXPECT_GE(std::count_if(
                                  SpyLog().begin(), SpyLog().end(),
                                  [&after](const std::string& line) { return line.rfind(after, 0) == 0; }),
                              1);

                    CCSM* machine = MachineOf(player);
                    if (damage == Damage::Remove)
                    {
                        EXPECT_EQ(machine, nullptr);
                        // Neither the interrupted call nor the walk went on with the destroyed machine.
                        EXPECT_EQ(last.rfind(after, 0), 0u) << last;
                    }
                    else if (damage == Damage::Clear)
                    {
                        ASSERT_NE(machine, nullptr);
                        EXPECT_TRUE(machine->GetStateStack().empty());
                        EXPECT_EQ(machine->GetStateCount() + machine->GetCommandCount(), 0u);
                        EXPECT_EQ(last.rfind(after, 0), 0u) << last;
                    }
                    else
                    {
                        ASSERT_NE(machine, nullptr);
                        ASSERT_FALSE(machine->GetStateStack().empty());
                        for (StateId id : machine->GetStateStack())
                            EXPECT_EQ(machine->GetState(id)->GetOwner(), machine);
                        BehaviorSystem().Update(0.1f);
                        SpyLog().clear();
                        ASSERT_TRUE(machine->HandleCommand(kCommandMoveRight));
                        BehaviorSystem().Update(0.1f);
                        EXPECT_EQ(CountLog("Execute 2 0.1"), 1);
                        EXPECT_EQ(SpyLog().back().rfind("StateUpdate", 0), 0u) << SpyLog().back();
                    }
                    objects.QueueDestroy(player);
                    objects.DestroyQueuedObjects();
                }
    EXPECT_EQ(cases, 48);
}

// Without AddressSanitizer too: what a command's rebuild and clear replace is shut down after the walk.
TEST_F(CCSMLifetimeTest, ReplacedCommandsAreShutDownOnlyWhenTheOutermostCallReturns)
{
    current.trigger = Trigger::Rebuild;
    const std::uint32_t player = NewPlayer();
    SpyPrototype(behaviors, kCommandMoveRight).onExecute = [](SpyCommand& command) {
        CCSM& machine = *command.GetOwner();
        machine.SetBehavior("");
        SpyLog().push_back("Rebuilt");
        machine.Clear();
        SpyLog().push_back("Cleared");
    };
    CCSM& machine = *MachineOf(player);
    machine.Clear();
    machine.SetBehavior("Player Behavior");
    machine.HandleCommand(kCommandMoveRight);
    SpyLog().clear();
    BehaviorSystem().Update(0.1f);
    // Every command the rebuild and the clear replaced, the running one included, is shut down once the
    // walk has ended: MoveRight is built once per state allowing it (three replaced), Jump once (two).
    ASSERT_GE(SpyLog().size(), 3u);
    EXPECT_EQ(SpyLog()[0], "Execute 2 0.1");
    const auto cleared = std::find(SpyLog().begin(), SpyLog().end(), "Cleared");
    ASSERT_NE(cleared, SpyLog().end());
    EXPECT_EQ(std::count(SpyLog().begin(), cleared, std::string("Shutdown 2")), 0);
    EXPECT_EQ(std::count(cleared, SpyLog().end(), std::string("Shutdown 2")), 3);
    EXPECT_EQ(CountLog("Shutdown 7"), 2);
}
} // namespace
