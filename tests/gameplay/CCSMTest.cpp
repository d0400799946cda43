#include "BehaviorSpies.h"
#include "Prototypes.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace
{
using Log = std::vector<std::string>;

class CCSMTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        factory.Init();
        RegisterSpies(factory);
        AddMatchBehaviorTables(factory);
        // Players can also be grabbed in these tests, so a push can refuse their queued moves.
        factory.AddBehaviorSet({"Grabbable Player", 1, {{1, "OnGround Context"}, {3, "Grabbed Context"}}});
        factory.AddContext({"Everything", {0, 1, 2, 3}});
        factory.AddBehaviorSet({"With Null", 1, {{1, "Everything"}}});
        SpyLog().clear();
    }
    void TearDown() override
    {
        factory.Exit();
        ResetPrototypes();
    }

    // Queue entries as text: "-" for a free slot.
    static std::string Queue(const CCSM& machine)
    {
        std::string text;
        for (const auto& entry : machine.GetActiveCommands())
            text +=
                (text.empty() ? "" : " ") + (entry.has_value() ? std::to_string(*entry) : std::string("-"));
        return text;
    }

    CCSMFactory factory;
};

// ---- Queue timing ----

TEST_F(CCSMTest, SingleUpdateCommandRunsOnceOnTheNextUpdateAndItsSlotIsFreedOneUpdateLater)
{
    CCSM machine;
    machine.SetBehavior("Player Behavior");
    SpyLog().clear();

    ASSERT_TRUE(machine.HandleCommand(kCommandMoveLeft));
    EXPECT_EQ(machine.GetCommand(kCommandMoveLeft)->GetStatus(), csExecute);
    EXPECT_TRUE(SpyLog().empty());

    machine.RunUpdate(0.5f);
    EXPECT_EQ(SpyLog(), (Log{"Execute 1 0.5", "StateUpdate 1 0.5"}));
    EXPECT_EQ(machine.GetCommand(kCommandMoveLeft)->GetStatus(), csFinished);
    EXPECT_EQ(Queue(machine), "1");

    machine.RunUpdate(0.5f);
    EXPECT_EQ(CountLog("Execute 1 0.5"), 1);
    EXPECT_EQ(Queue(machine), "-");
    EXPECT_EQ(machine.GetFreeSlots(), (std::vector<std::uint32_t>{0}));

    ASSERT_TRUE(machine.HandleCommand(kCommandMoveRight));
    EXPECT_EQ(Queue(machine), "2");
    EXPECT_TRUE(machine.GetFreeSlots().empty());
}

TEST_F(CCSMTest, FreedSlotsAreReusedLastFreedFirst)
{
    CCSM machine;
    machine.SetBehavior("Player Behavior");
    machine.HandleCommand(kCommandMoveLeft);
    machine.HandleCommand(kCommandMoveRight);
    machine.HandleCommand(kCommandJump);
    machine.RunUpdate(0.1f);
    machine.RunUpdate(0.1f);
    EXPECT_EQ(Queue(machine), "- - -");
    EXPECT_EQ(machine.GetFreeSlots(), (std::vector<std::uint32_t>{0, 1, 2}));

    machine.HandleCommand(kCommandGrab);
    machine.HandleCommand(kCommandThrow);
    EXPECT_EQ(Queue(machine), "- 8 6");
}

TEST_F(CCSMTest, CommandHandedInDuringTheWalkRunsInTheSameWalkOnlyWhenAppended)
{
    SpyPrototype(factory, kCommandMoveLeft).onExecute = [](SpyCommand& self) {
        self.GetOwner()->HandleCommand(kCommandMoveRight);
    };
    CCSM appended;
    appended.SetBehavior("Player Behavior");
    appended.HandleCommand(kCommandMoveLeft);
    SpyLog().clear();
    appended.RunUpdate(1.0f);
    EXPECT_EQ(SpyLog(), (Log{"Execute 1 1", "Execute 2 1", "StateUpdate 1 1"}));

    // A freed slot below the running entry takes the new command, which then waits for the next update.
    CCSM lower;
    lower.SetBehavior("Player Behavior");
    lower.HandleCommand(kCommandMoveDown);
    lower.RunUpdate(1.0f);
    lower.HandleCommand(kCommandMoveLeft);
    SpyLog().clear();
    lower.RunUpdate(1.0f);
    EXPECT_EQ(SpyLog(), (Log{"Execute 1 1", "StateUpdate 1 1"}));
    EXPECT_EQ(Queue(lower), "2 1");
    SpyLog().clear();
    lower.RunUpdate(1.0f);
    EXPECT_EQ(SpyLog(), (Log{"Execute 2 1", "StateUpdate 1 1"}));
}

TEST_F(CCSMTest, CommandHandedInTwiceRunsTwicePerUpdateAsOneObject)
{
    SpyPrototype(factory, kCommandMoveLeft).executeResult = 0;
    CCSM machine;
    machine.SetBehavior("Player Behavior");
    machine.HandleCommand(kCommandMoveLeft);
    machine.HandleCommand(kCommandMoveLeft);
    EXPECT_EQ(Queue(machine), "1 1");
    SpyLog().clear();
    machine.RunUpdate(0.25f);
    machine.RunUpdate(0.25f);
    EXPECT_EQ(CountLog("Execute 1 0.25"), 4);
}

TEST_F(CCSMTest, QueueGrowsOnlyWhileTheRepeatedCommandKeepsExecuteStatus)
{
    CCSM machine;
    machine.SetBehavior("Player Behavior");
    for (int update = 0; update < 10; ++update)
    {
        machine.HandleCommand(kCommandMoveLeft);
        machine.HandleCommand(kCommandMoveLeft);
        machine.RunUpdate(0.1f);
    }
    EXPECT_LE(machine.GetActiveCommands().size(), 3u);
}

TEST_F(CCSMTest, NullCommandQueuesAndIsFreedAtTheNextUpdate)
{
    CCSM machine;
    machine.SetBehavior("With Null");
    ASSERT_TRUE(machine.HandleCommand(kCommandNull));
    EXPECT_EQ(Queue(machine), "0");
    machine.RunUpdate(0.1f);
    EXPECT_EQ(Queue(machine), "-");
    EXPECT_EQ(machine.GetFreeSlots(), (std::vector<std::uint32_t>{0}));
}

// ---- Stack changes ----

TEST_F(CCSMTest, PushPopAndChangeRunEnterAndExitWithTheNextState)
{
    CCSM machine;
    machine.SetBehavior("Player Behavior");
    EXPECT_EQ(CountLog("Enter 1"), 1);
    SpyLog().clear();

    machine.PushState(kStateInAir);
    EXPECT_EQ(SpyLog(), (Log{"Exit 1 2", "Enter 2"}));
    SpyLog().clear();

    machine.PopState();
    EXPECT_EQ(SpyLog(), (Log{"Exit 2 1", "Enter 1"}));
    EXPECT_EQ(machine.GetStateStack(), (std::vector<StateId>{1}));

    machine.PushState(kStateInAir);
    SpyLog().clear();
    // A landing: the uncovered state is entered, then exited again by the push.
    machine.ChangeState(kStateOnGround);
    EXPECT_EQ(SpyLog(), (Log{"Exit 2 1", "Enter 1", "Exit 1 1", "Enter 1"}));
    EXPECT_EQ(machine.GetStateStack(), (std::vector<StateId>{1, 1}));
}

TEST_F(CCSMTest, QueuedCommandRefusedByAPushRunsCancelFromTheNextUpdate)
{
    SpyPrototype(factory, kCommandMoveLeft).executeResult = 0;
    CCSM machine;
    machine.SetBehavior("Grabbable Player");
    machine.HandleCommand(kCommandMoveLeft);
    machine.RunUpdate(0.1f);
    machine.PushState(kStateGrabbed);
    EXPECT_EQ(machine.GetCommand(kCommandMoveLeft)->GetStatus(), csCancel);
    SpyLog().clear();
    machine.RunUpdate(0.1f);
    EXPECT_EQ(SpyLog(), (Log{"Cancel 1 0.1", "StateUpdate 3 0.1"}));
    EXPECT_EQ(machine.GetCommand(kCommandMoveLeft)->GetStatus(), csFinished);
    machine.RunUpdate(0.1f);
    EXPECT_EQ(Queue(machine), "-");
}

TEST_F(CCSMTest, FinishedCommandRefusedByAPushGetsOneCancel)
{
    CCSM machine;
    machine.SetBehavior("Grabbable Player");
    machine.HandleCommand(kCommandMoveLeft);
    machine.RunUpdate(0.1f);
    machine.PushState(kStateGrabbed);
    SpyLog().clear();
    machine.RunUpdate(0.1f);
    machine.RunUpdate(0.1f);
    EXPECT_EQ(CountLog("Cancel 1 0.1"), 1);
    EXPECT_EQ(Queue(machine), "-");
}

TEST_F(CCSMTest, PoppingTheLastStateEntersNothingAndCancelsEverything)
{
    SpyPrototype(factory, kCommandMoveLeft).executeResult = 0;
    CCSM machine;
    machine.SetBehavior("Player Behavior");
    machine.HandleCommand(kCommandMoveLeft);
    SpyLog().clear();
    machine.PopState();
    EXPECT_EQ(SpyLog(), (Log{"Exit 1 0"}));
    EXPECT_TRUE(machine.GetStateStack().empty());
    EXPECT_EQ(machine.GetCommand(kCommandMoveLeft)->GetStatus(), csCancel);
    EXPECT_FALSE(machine.HandleCommand(kCommandMoveLeft));

    SpyLog().clear();
    machine.PopState();
    machine.RunUpdate(0.1f);
    EXPECT_EQ(SpyLog(), (Log{"Cancel 1 0.1"}));

    machine.ChangeState(kStateInAir);
    EXPECT_EQ(machine.GetStateStack(), (std::vector<StateId>{2}));
}

TEST_F(CCSMTest, UnknownIdsChangeNothingButAFailedChangeKeepsItsPop)
{
    CCSM machine;
    machine.SetBehavior("Player Behavior");
    machine.PushState(kStateInAir);
    machine.PushState(42);
    machine.PushState(kStateGrabbed);
    EXPECT_EQ(machine.GetStateStack(), (std::vector<StateId>{1, 2}));
    EXPECT_FALSE(machine.HandleCommand(42));
    EXPECT_FALSE(machine.HandleCommand(0xFFFFFFFFu));
    EXPECT_EQ(machine.GetState(42), nullptr);

    SpyPrototype(factory, kCommandMoveLeft).executeResult = 0;
    machine.ChangeState(kStateGrabbed);
    EXPECT_EQ(machine.GetStateStack(), (std::vector<StateId>{1}));
}

TEST_F(CCSMTest, AThrowingExitIsReportedOnceAndTheChangeCompletes)
{
    SpyStatePrototype(factory, kStateInAir).onExit = [](SpyState&) {
        throw std::runtime_error("lost footing");
    };
    SpyStatePrototype(factory, kStateGrabbed).onExit = [](SpyState&) { throw 3; };
    CCSM machine;
    machine.SetBehavior("Player Behavior");
    machine.PushState(kStateInAir);
    SpyLog().clear();

    testing::internal::CaptureStderr();
    machine.ChangeState(kStateOnGround);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Behavior state error in: InAir::Exit.  Exception thrown: lost footing\n");
    EXPECT_EQ(SpyLog(), (Log{"Exit 2 1", "Enter 1", "Exit 1 1", "Enter 1"}));
    EXPECT_EQ(machine.GetStateStack(), (std::vector<StateId>{1, 1}));

    // Pops complete too, whatever was thrown.
    CCSM grabbed;
    grabbed.SetBehavior("Grabbable Player");
    grabbed.PushState(kStateGrabbed);
    SpyLog().clear();
    testing::internal::CaptureStderr();
    grabbed.PopState();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Behavior state error in: Grabbed::Exit.  Exception thrown: UNKOWN\n");
    EXPECT_EQ(SpyLog(), (Log{"Exit 3 1", "Enter 1"}));
    EXPECT_EQ(grabbed.GetStateStack(), (std::vector<StateId>{1}));
    SpyLog().clear();
    grabbed.RunUpdate(0.1f);
    EXPECT_EQ(SpyLog(), (Log{"StateUpdate 1 0.1"}));
}

// ---- Building sets ----

TEST_F(CCSMTest, PlayerBehaviorStartsOnGroundAndRefusesMoveUp)
{
    CCSM machine;
    machine.SetBehavior("Player Behavior");
    EXPECT_EQ(machine.GetBehaviorName(), "Player Behavior");
    EXPECT_EQ(machine.GetStateStack(), (std::vector<StateId>{1}));
    EXPECT_EQ(machine.GetStateCount(), 2u);
    EXPECT_EQ(machine.GetCommandCount(), 7u);
    EXPECT_FALSE(machine.HandleCommand(kCommandMoveUp));
    EXPECT_TRUE(machine.HandleCommand(kCommandJump));
    machine.PushState(kStateInAir);
    EXPECT_FALSE(machine.HandleCommand(kCommandJump));
    EXPECT_EQ(machine.GetState(kStateInAir)->GetContextName(), "InAir Context");
    EXPECT_EQ(machine.GetState(kStateInAir)->GetOwner(), &machine);
    EXPECT_EQ(machine.GetCommand(kCommandGrab)->GetOwner(), &machine);
}

TEST_F(CCSMTest, BallBehaviorSkipsStateZeroBuildsStateFourTwiceAndItsCommandsLast)
{
    CCSM machine;
    machine.SetBehavior("Ball Behavior");
    EXPECT_EQ(machine.GetStateStack(), (std::vector<StateId>{4}));
    EXPECT_EQ(machine.GetStateCount(), 2u);
    EXPECT_EQ(machine.GetState(kStateNull), nullptr);
    EXPECT_EQ(CountLog("StateInit 4"), 2);
    EXPECT_EQ(CountLog("StateInit 3"), 1);
    // States are walked by id: state 3 builds 9-11, then state 4 builds them again over it. The
    // replaced ones are shut down only when SetBehavior returns.
    Log commandLog;
    for (const std::string& line : SpyLog())
        if (line.rfind("Init ", 0) == 0 || line.rfind("Shutdown ", 0) == 0)
            commandLog.push_back(line);
    EXPECT_EQ(commandLog, (Log{"Init 9", "Init 10", "Init 11", "Init 9", "Init 10", "Init 11", "Shutdown 9",
                               "Shutdown 10", "Shutdown 11"}));
    EXPECT_EQ(machine.GetCommandCount(), 3u);
    EXPECT_TRUE(machine.HandleCommand(kCommandScore));
}

TEST_F(CCSMTest, EmptyNameRebuildKeepsTheNameAndPushesOnTop)
{
    CCSM machine;
    machine.SetBehavior("Player Behavior");
    machine.PushState(kStateInAir);
    machine.SetBehavior("");
    EXPECT_EQ(machine.GetBehaviorName(), "Player Behavior");
    EXPECT_EQ(machine.GetStateStack(), (std::vector<StateId>{1, 2, 1}));
    EXPECT_EQ(machine.GetBehaviorSet().name, "Player Behavior");
}

TEST_F(CCSMTest, UnknownSetGivesTheDefaultSetAndKeepsTheStack)
{
    CCSM machine;
    machine.SetBehavior("Player Behavior");
    machine.SetBehavior("No Such Behavior");
    EXPECT_EQ(machine.GetBehaviorName(), "No Such Behavior");
    EXPECT_EQ(machine.GetBehaviorSet().name, "");
    EXPECT_EQ(machine.GetStateStack(), (std::vector<StateId>{1}));
    EXPECT_TRUE(machine.HandleCommand(kCommandJump));

    CCSM empty;
    empty.SetBehavior("");
    EXPECT_TRUE(empty.GetStateStack().empty());
    EXPECT_FALSE(empty.HandleCommand(kCommandNull));
}

TEST_F(CCSMTest, IdsWithoutPrototypesAreSkippedWithAWarning)
{
    factory.AddContext({"Odd Context", {99, 1}});
    factory.AddBehaviorSet({"Odd Behavior", 42, {{42, "Odd Context"}, {1, "Odd Context"}}});
    CCSM machine;
    ::testing::internal::CaptureStdout();
    machine.SetBehavior("Odd Behavior");
    const std::string output = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(output.find("WARNING: behavior set \"Odd Behavior\" names state 42"), std::string::npos)
        << output;
    EXPECT_NE(output.find("WARNING: command context \"Odd Context\" names command 99"), std::string::npos)
        << output;
    EXPECT_EQ(output.rfind("WARNING", 0), 0u);
    // The initial state was not built, so nothing is pushed.
    EXPECT_TRUE(machine.GetStateStack().empty());
    machine.PushState(kStateOnGround);
    EXPECT_FALSE(machine.HandleCommand(99));
    EXPECT_TRUE(machine.HandleCommand(kCommandMoveLeft));
}

TEST_F(CCSMTest, ClearEmptiesTheMachineButKeepsTheName)
{
    CCSM machine;
    machine.SetBehavior("Player Behavior");
    machine.HandleCommand(kCommandJump);
    SpyLog().clear();
    machine.Clear();
    EXPECT_EQ(CountLog("Shutdown 7"), 1);
    EXPECT_EQ(machine.GetBehaviorName(), "Player Behavior");
    EXPECT_EQ(machine.GetBehaviorSet().name, "");
    EXPECT_EQ(machine.GetStateCount() + machine.GetCommandCount(), 0u);
    EXPECT_TRUE(machine.GetStateStack().empty());
    EXPECT_TRUE(machine.GetActiveCommands().empty());
    machine.SetBehavior("");
    EXPECT_EQ(machine.GetStateStack(), (std::vector<StateId>{1}));
}

// ---- Lifetimes ----

TEST_F(CCSMTest, CommandThatRebuildsItsOwnMachineDuringExecuteIsDroppedSafely)
{
    SpyPrototype(factory, kCommandMoveLeft).onExecute = [](SpyCommand& self) {
        CCSM* machine = self.GetOwner();
        machine->SetBehavior("");
        machine->HandleCommand(kCommandMoveRight);
    };
    CCSM machine;
    machine.SetBehavior("Player Behavior");
    machine.HandleCommand(kCommandMoveLeft);
    machine.HandleCommand(kCommandMoveLeft);
    machine.RunUpdate(0.1f);
    // The fresh MoveLeft has status Finished, so its second entry never ran.
    EXPECT_EQ(CountLog("Execute 1 0.1"), 1);
    EXPECT_EQ(CountLog("Execute 2 0.1"), 1);
    EXPECT_EQ(machine.GetStateStack(), (std::vector<StateId>{1, 1}));
    machine.RunUpdate(0.1f);
    machine.RunUpdate(0.1f);
    EXPECT_EQ(CountLog("Execute 1 0.1"), 1);
}

TEST_F(CCSMTest, CommandThatClearsItsOwnMachineEndsTheWalk)
{
    SpyPrototype(factory, kCommandMoveLeft).onExecute = [](SpyCommand& self) { self.GetOwner()->Clear(); };
    CCSM machine;
    machine.SetBehavior("Player Behavior");
    machine.HandleCommand(kCommandMoveLeft);
    machine.HandleCommand(kCommandMoveRight);
    SpyLog().clear();
    machine.RunUpdate(0.1f);
    EXPECT_EQ(SpyLog(), (Log{"Execute 1 0.1", "Shutdown 1", "Shutdown 2", "Shutdown 4", "Shutdown 5",
                             "Shutdown 6", "Shutdown 7", "Shutdown 8"}));
    EXPECT_TRUE(machine.GetActiveCommands().empty());
}

TEST_F(CCSMTest, ChangingStatesInsideTheWalkCancelsWhatTheNewTopRefuses)
{
    SpyPrototype(factory, kCommandMoveLeft).onExecute = [](SpyCommand& self) {
        self.GetOwner()->PushState(kStateGrabbed);
    };
    SpyPrototype(factory, kCommandMoveRight).executeResult = 0;
    CCSM machine;
    machine.SetBehavior("Grabbable Player");
    machine.HandleCommand(kCommandMoveLeft);
    machine.HandleCommand(kCommandMoveRight);
    SpyLog().clear();
    machine.RunUpdate(0.1f);
    EXPECT_EQ(CountLog("Execute 2 0.1"), 0);
    EXPECT_EQ(CountLog("Cancel 2 0.1"), 1);
}

// ---- Copying ----

TEST_F(CCSMTest, CloneCopiesEntriesStatusesAndFreeSlotsIntoItsOwnObjects)
{
    SpyPrototype(factory, kCommandMoveDown).executeResult = 0;
    CCSM source;
    source.SetOwner(7);
    source.SetBehavior("Player Behavior");
    source.PushState(kStateInAir);
    source.HandleCommand(kCommandMoveLeft);
    source.HandleCommand(kCommandMoveLeft);
    source.HandleCommand(kCommandMoveDown);
    source.RunUpdate(0.1f);
    source.RunUpdate(0.1f);
    source.HandleCommand(kCommandGrab);
    ASSERT_EQ(Queue(source), "6 - 4");
    ASSERT_EQ(source.GetFreeSlots(), (std::vector<std::uint32_t>{1}));

    std::unique_ptr<Component> copied = source.Clone();
    auto& copy = dynamic_cast<CCSM&>(*copied);
    EXPECT_EQ(copy.GetOwner(), 0u);
    EXPECT_EQ(copy.GetBehaviorName(), "Player Behavior");
    EXPECT_EQ(copy.GetStateStack(), source.GetStateStack());
    EXPECT_EQ(copy.GetActiveCommands(), source.GetActiveCommands());
    EXPECT_EQ(copy.GetFreeSlots(), source.GetFreeSlots());
    for (CommandId id : {kCommandMoveLeft, kCommandMoveDown, kCommandGrab, kCommandJump})
    {
        ASSERT_NE(copy.GetCommand(id), nullptr);
        EXPECT_NE(copy.GetCommand(id), source.GetCommand(id));
        EXPECT_EQ(copy.GetCommand(id)->GetStatus(), source.GetCommand(id)->GetStatus()) << id;
        EXPECT_EQ(copy.GetCommand(id)->GetOwner(), &copy);
    }
    EXPECT_EQ(copy.GetState(kStateInAir)->GetOwner(), &copy);
    EXPECT_NE(copy.GetState(kStateInAir), source.GetState(kStateInAir));

    copy.SetOwner(9);
    copy.PopState();
    copy.HandleCommand(kCommandJump);
    SpyLog().clear();
    copy.RunUpdate(0.1f);
    EXPECT_EQ(source.GetStateStack(), (std::vector<StateId>{1, 2}));
    EXPECT_EQ(source.GetCommand(kCommandJump)->GetStatus(), csFinished);
    EXPECT_EQ(source.GetOwner(), 7u);
}

TEST_F(CCSMTest, ClonedStatesTakeTheFactorysCurrentContext)
{
    CCSM source;
    source.SetBehavior("Player Behavior");
    factory.FindContext("OnGround Context")->allowedCommands.push_back(kCommandMoveUp);
    std::unique_ptr<Component> copied = source.Clone();
    auto& copy = dynamic_cast<CCSM&>(*copied);
    EXPECT_TRUE(copy.GetState(kStateOnGround)->Allows(kCommandMoveUp));
    EXPECT_FALSE(source.GetState(kStateOnGround)->Allows(kCommandMoveUp));
}
} // namespace
