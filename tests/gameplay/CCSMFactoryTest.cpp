#include "CCSMFactory.h"
#include "BallCommands.h"
#include "BallStates.h"
#include "PlayerCommands.h"
#include "PlayerStates.h"
#include "RoundCommands.h"
#include "StandInBehaviors.h"

#include <gtest/gtest.h>

namespace
{
class CCSMFactoryTest : public ::testing::Test
{
  protected:
    void SetUp() override { factory.Init(); }
    void TearDown() override { factory.Exit(); }

    CCSMFactory factory;
};

// Counts its live instances, so a test can see that replaced prototypes are deleted.
class CountedCommand : public Command
{
  public:
    explicit CountedCommand(CommandId id) : Command(id) { ++liveCount; }
    CountedCommand(const CountedCommand& other) : Command(other) { ++liveCount; }
    ~CountedCommand() override { --liveCount; }
    std::unique_ptr<Command> Clone() const override { return std::make_unique<CountedCommand>(*this); }

    static inline int liveCount = 0;
};
} // namespace

TEST_F(CCSMFactoryTest, PublishesItselfOnlyWhileThePointerIsEmpty)
{
    EXPECT_EQ(gCCSMFactory, &factory);
    EXPECT_EQ(factory.GetSystemType(), estCCSMFactory);
    {
        CCSMFactory second;
        EXPECT_EQ(gCCSMFactory, &factory);
    }
    EXPECT_EQ(gCCSMFactory, &factory);
}

TEST_F(CCSMFactoryTest, InitRegistersEveryStateAndCommandUnderItsOwnId)
{
    EXPECT_EQ(factory.StatePrototypeCount(), kStateCount);
    EXPECT_EQ(factory.CommandPrototypeCount(), kCommandCount);
    for (StateId id = 0; id < kStateCount; ++id)
    {
        const State* prototype = factory.FindStatePrototype(id);
        ASSERT_NE(prototype, nullptr) << id;
        EXPECT_EQ(prototype->GetId(), id);
        EXPECT_EQ(prototype->GetOwner(), nullptr);
        EXPECT_TRUE(prototype->GetAllowedCommands().empty());
    }
    for (CommandId id = 0; id < kCommandCount; ++id)
    {
        const Command* prototype = factory.FindCommandPrototype(id);
        ASSERT_NE(prototype, nullptr) << id;
        EXPECT_EQ(prototype->GetId(), id);
        EXPECT_EQ(prototype->GetStatus(), csFinished);
        EXPECT_EQ(prototype->GetOwner(), nullptr);
    }
    EXPECT_NE(dynamic_cast<const NullState*>(factory.FindStatePrototype(kStateNull)), nullptr);
    EXPECT_NE(dynamic_cast<const NullCommand*>(factory.FindCommandPrototype(kCommandNull)), nullptr);
    EXPECT_NE(dynamic_cast<const CommandJump*>(factory.FindCommandPrototype(kCommandJump)), nullptr);
    EXPECT_NE(dynamic_cast<const ScoreCommand*>(factory.FindCommandPrototype(kCommandScore)), nullptr);
    EXPECT_NE(dynamic_cast<const StateGrabbed*>(factory.FindStatePrototype(kStateGrabbed)), nullptr);
    EXPECT_NE(dynamic_cast<const StateInAir*>(factory.FindStatePrototype(kStateInAir)), nullptr);
    EXPECT_NE(dynamic_cast<const RoundEndCommand*>(factory.FindCommandPrototype(kCommandRoundEnd)), nullptr);
    auto* press = dynamic_cast<const StandInCommand*>(factory.FindCommandPrototype(kCommandPressMenuButton));
    ASSERT_NE(press, nullptr);
    EXPECT_EQ(press->GetName(), "PressMenuButton");
    EXPECT_EQ(factory.FindCommandPrototype(kCommandCount), nullptr);
}

TEST_F(CCSMFactoryTest, ExitDeletesThePrototypesAndKeepsTheTables)
{
    factory.AddContext({"Ctx", {1, 2}});
    factory.AddBehaviorSet({"Set", 1, {{1, "Ctx"}}});
    factory.Exit();
    EXPECT_EQ(factory.StatePrototypeCount(), 0u);
    EXPECT_EQ(factory.CommandPrototypeCount(), 0u);
    EXPECT_EQ(factory.GetContext("Ctx").allowedCommands, (std::vector<CommandId>{1, 2}));
    EXPECT_EQ(factory.GetBehaviorSet("Set").initialState, 1u);
}

TEST_F(CCSMFactoryTest, RegisteringOverAnIdDeletesTheReplacedPrototypeAndIgnoresNull)
{
    factory.RegisterCommand(std::make_unique<CountedCommand>(kCommandJump));
    EXPECT_EQ(CountedCommand::liveCount, 1);
    factory.RegisterCommand(std::make_unique<CountedCommand>(kCommandJump));
    EXPECT_EQ(CountedCommand::liveCount, 1);
    factory.RegisterCommand(nullptr);
    factory.RegisterState(nullptr);
    EXPECT_EQ(factory.CommandPrototypeCount(), kCommandCount);
    factory.RegisterCommand(std::make_unique<StandInCommand>(kCommandJump));
    EXPECT_EQ(CountedCommand::liveCount, 0);
}

TEST_F(CCSMFactoryTest, LookupsReturnTheFirstOfDuplicateNamesOrTheDefaults)
{
    factory.AddBehaviorSet({"Twice", 1, {{1, "A"}}});
    factory.AddBehaviorSet({"Twice", 2, {{2, "B"}}});
    factory.AddContext({"Ctx", {7}});
    factory.AddContext({"Ctx", {8}});

    EXPECT_EQ(factory.GetBehaviorSet("Twice").initialState, 1u);
    EXPECT_EQ(factory.GetContext("Ctx").allowedCommands, (std::vector<CommandId>{7}));
    EXPECT_EQ(factory.GetBehaviorNames(), (std::vector<std::string>{"Twice", "Twice"}));

    BehaviorSet unknown = factory.GetBehaviorSet("twice");
    EXPECT_EQ(unknown.name, "");
    EXPECT_EQ(unknown.initialState, kStateNull);
    ASSERT_EQ(unknown.entries.size(), 1u);
    EXPECT_EQ(unknown.entries[0].tag, kStateNull);
    EXPECT_EQ(unknown.entries[0].name, "");
    CommandContext missing = factory.GetContext("Nope");
    EXPECT_EQ(missing.name, "");
    EXPECT_TRUE(missing.allowedCommands.empty());
    EXPECT_EQ(factory.FindContext("Nope"), nullptr);
}

TEST_F(CCSMFactoryTest, FindContextEditsTheStoredContextInPlace)
{
    factory.AddContext({"ManagerModeEditor Context", {16}});
    for (int run = 0; run < 2; ++run)
    {
        CommandContext* context = factory.FindContext("ManagerModeEditor Context");
        ASSERT_NE(context, nullptr);
        if (std::find(context->allowedCommands.begin(), context->allowedCommands.end(), kCommandRoundEnd) ==
            context->allowedCommands.end())
            context->allowedCommands.push_back(kCommandRoundEnd);
    }
    EXPECT_EQ(factory.GetContext("ManagerModeEditor Context").allowedCommands,
              (std::vector<CommandId>{16, kCommandRoundEnd}));
}

TEST_F(CCSMFactoryTest, NamesChangedStaysSetAndTheNamesFollowEveryChange)
{
    EXPECT_TRUE(factory.NamesChanged());
    EXPECT_TRUE(factory.GetBehaviorNames().empty());
    EXPECT_TRUE(factory.NamesChanged());
    factory.AddBehaviorSet({"One", 0, {}});
    EXPECT_EQ(factory.GetBehaviorNames(), (std::vector<std::string>{"One"}));
    factory.ReplaceTables({});
    EXPECT_TRUE(factory.GetBehaviorNames().empty());
    EXPECT_TRUE(factory.NamesChanged());
}

TEST_F(CCSMFactoryTest, TablesRoundTripThroughThePlainFormAndReplaceWholesale)
{
    factory.AddContext({"OnGround Context", {4, 1, 2}});
    factory.AddContext({"", {}});
    factory.AddBehaviorSet({"Ball Behavior", 4, {{4, "UnGrabbed Context"}, {0, ""}, {3, "Grabbed Context"}}});
    BehaviorTablesData tables = factory.GetTables();
    ASSERT_EQ(tables.contexts.size(), 2u);
    EXPECT_EQ(tables.contexts[0], (CommandContextData{"OnGround Context", {4, 1, 2}}));
    ASSERT_EQ(tables.sets.size(), 1u);
    EXPECT_EQ(tables.sets[0].initialStateId, 4u);
    ASSERT_EQ(tables.sets[0].entries.size(), 3u);
    EXPECT_EQ(tables.sets[0].entries[1], (BehaviorData{0, ""}));

    BehaviorTablesData fromFile;
    fromFile.contexts.push_back({"Loaded", {0xFFFFFFFFu, 12}});
    fromFile.sets.push_back({"Manager Behavior", 6, {{6, "Loaded"}}});
    factory.ReplaceTables(fromFile);
    EXPECT_EQ(factory.GetTables(), fromFile);
    EXPECT_EQ(factory.GetContext("OnGround Context").name, "");
    EXPECT_EQ(factory.GetBehaviorNames(), (std::vector<std::string>{"Manager Behavior"}));
}

TEST_F(CCSMFactoryTest, ResetReturnsToTheFreshlyInitialisedFactory)
{
    factory.AddContext({"Ctx", {1}});
    factory.AddBehaviorSet({"Set", 1, {}});
    factory.RegisterCommand(std::make_unique<CountedCommand>(kCommandGrab));
    factory.Reset();
    EXPECT_EQ(CountedCommand::liveCount, 0);
    EXPECT_TRUE(factory.GetTables().contexts.empty());
    EXPECT_TRUE(factory.GetTables().sets.empty());
    EXPECT_EQ(factory.CommandPrototypeCount(), kCommandCount);
    EXPECT_NE(dynamic_cast<const CommandGrab*>(factory.FindCommandPrototype(kCommandGrab)), nullptr);
}

TEST_F(CCSMFactoryTest, ClonedStatesTakeTheFactorysCurrentContextNotTheSources)
{
    factory.AddContext({"Ctx", {1, 2}});
    std::unique_ptr<State> first = factory.FindStatePrototype(kStateOnGround)->Clone("Ctx");
    EXPECT_EQ(first->GetContextName(), "Ctx");
    EXPECT_EQ(first->GetAllowedCommands(), (std::vector<CommandId>{1, 2}));
    EXPECT_TRUE(first->Allows(2));
    EXPECT_FALSE(first->Allows(3));

    factory.FindContext("Ctx")->allowedCommands = {7};
    std::unique_ptr<State> second = first->Clone("Ctx");
    EXPECT_EQ(second->GetId(), kStateOnGround);
    EXPECT_EQ(second->GetAllowedCommands(), (std::vector<CommandId>{7}));

    std::unique_ptr<State> unknown = first->Clone("Missing");
    EXPECT_EQ(unknown->GetContextName(), "");
    EXPECT_TRUE(unknown->GetAllowedCommands().empty());
}

TEST(StateCloneWithoutFactory, TakesAnEmptyContext)
{
    ASSERT_EQ(gCCSMFactory, nullptr);
    NullState prototype;
    std::unique_ptr<State> copy = prototype.Clone("Anything");
    EXPECT_EQ(copy->GetContextName(), "");
    EXPECT_TRUE(copy->GetAllowedCommands().empty());
}

TEST(NullCommandTest, IgnoresEveryStatus)
{
    NullCommand command;
    command.SetStatus(csExecute);
    EXPECT_EQ(command.GetStatus(), csFinished);
    std::unique_ptr<Command> copy = command.Clone();
    EXPECT_EQ(copy->GetId(), kCommandNull);
    EXPECT_EQ(copy->Execute(0.016f), 1);
}
