#pragma once
#include "BehaviorSet.h"
#include "Command.h"
#include "Component.h"
#include "Metadata.h"
#include "State.h"

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CCSMCallScope;

// What the running calls of one machine share: how deeply they nest, whether the machine still exists,
// and the states and commands replaced meanwhile, which stay alive until the outermost call returns.
struct CCSMCallRecord
{
    int callDepth = 0;
    bool machineAlive = true;
    std::vector<std::unique_ptr<State>> states;
    std::vector<std::unique_ptr<Command>> commands;

    // Shuts down and deletes what was retired.
    void DisposeAll();
};

// The behaviour machine: a stack of states whose top decides which commands the object accepts, and a
// list of queued commands that CCSMSystem runs from the next update on. The stack and the queue hold
// ids and look the objects up at each use, so a state or command replaced by a rebuild is never reached
// through a stale pointer.
class CCSM : public Component
{
  public:
    static constexpr const char* kClassName = "CCSM";
    static constexpr std::uint32_t kVersion = 1;

    // An empty machine with the default behaviour set; the first one stores the class prototype.
    CCSM();
    // Copies the machine: the copy gets its own clones, in the same positions and with the same
    // statuses; its owner id is 0 until SetOwner.
    CCSM(const CCSM& source);
    CCSM& operator=(const CCSM&) = delete;
    ~CCSM() override;

    // Stores the owner id and makes this machine the owner of every state and command.
    void SetOwner(std::uint32_t ownerId) override;
    std::unique_ptr<Component> Clone() const override;
    // Reads "BehaviorName" and rebuilds from it, starting from an empty machine; returns a clone.
    std::unique_ptr<Component> Load(LevelIArchive& archive) override;
    // Writes "BehaviorName" only.
    void Save(LevelOArchive& archive) const override;
    // Draws the "Change Behavior" combo.
    void DrawEditor() override;
    std::uint32_t GetVersion() const override { return kVersion; }

    // Every machine call below may run during a walk or from inside a state's Enter or Exit, and those
    // may clear, rebuild or remove this machine: replaced states and commands are deleted only when the
    // outermost call returns, and a call whose machine was destroyed under it returns at once.
    // An exception from a state's Exit is reported and the change completes.

    // Builds the states and commands of the named behaviour set (an empty name keeps a non-empty
    // current name) and pushes its initial state. It never clears: a rebuild pushes on top.
    void SetBehavior(const std::string& name);
    // Pushes the state of that id over the current top; an id the machine lacks does nothing.
    void PushState(StateId id);
    // Pops the top state; does nothing on an empty stack.
    void PopState();
    // Replaces the top state by the state of that id, keeping the depth.
    void ChangeState(StateId id);
    // Queues the command when the top state allows it and the machine has it; returns whether it did.
    bool HandleCommand(CommandId id);
    // Deletes every state and command and empties the stack and queue; the behaviour name stays.
    void Clear();
    // Cancels every queued command the top state does not allow (all of them when there is no top).
    void CancelDisallowedCommands();

    // Runs the queued commands by status, then the top state's Update: one update of this machine.
    void RunUpdate(float dt);

    // The state of that id, or null.
    State* GetState(StateId id) const;
    // The command of that id, or null.
    Command* GetCommand(CommandId id) const;
    // The top of the stack, or null.
    State* GetTopState() const;

    const std::string& GetBehaviorName() const { return behaviorName; }
    const BehaviorSet& GetBehaviorSet() const { return behaviorSet; }
    // The state ids on the stack, bottom first.
    const std::vector<StateId>& GetStateStack() const { return stateStack; }
    // The queue: a command id per entry, or nothing in a free slot.
    const std::vector<std::optional<CommandId>>& GetActiveCommands() const { return activeCommands; }
    // The free slots of the queue, the next one to be used last.
    const std::vector<std::uint32_t>& GetFreeSlots() const { return freeSlots; }
    std::size_t GetStateCount() const { return states.size(); }
    std::size_t GetCommandCount() const { return commands.size(); }

    // "CCSM Comp": shows the current set's name and rebuilds the machine from the chosen set.
    static const DescriptorList<CCSM>& Descriptors();

  private:
    friend class CCSMCallScope;

    void PushKnownState(StateId id, const CCSMCallScope& call);
    bool ExitTop(StateId nextStateId, const CCSMCallScope& call);
    bool EnterTop(const CCSMCallScope& call);
    bool BuildStates(const CCSMCallScope& call);
    bool BuildCommands(const CCSMCallScope& call);
    bool BuildCommandsOf(const State& state, const CCSMCallScope& call);
    void StoreState(std::unique_ptr<State> state);
    void StoreCommand(std::unique_ptr<Command> command);
    void RetireState(std::unique_ptr<State> state);
    void RetireCommand(std::unique_ptr<Command> command);
    void StoreInQueue(CommandId id);

    BehaviorSet behaviorSet;
    std::map<CommandId, std::unique_ptr<Command>> commands;
    std::map<StateId, std::unique_ptr<State>> states;
    // The tables' entries by id, for the lookups every update makes; ids beyond them use the tables.
    static constexpr std::size_t kIndexedIds = 32;
    std::array<Command*, kIndexedIds> commandIndex{};
    std::array<State*, kIndexedIds> stateIndex{};
    std::vector<StateId> stateStack;
    std::vector<std::optional<CommandId>> activeCommands;
    std::vector<std::uint32_t> freeSlots;
    std::string behaviorName;

    // Every running call holds this record too, so it outlives a machine destroyed under the call.
    std::shared_ptr<CCSMCallRecord> callRecord = std::make_shared<CCSMCallRecord>();
};
