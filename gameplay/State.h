#pragma once
#include "BehaviorIds.h"

#include <memory>
#include <string>
#include <vector>

class CCSM;

// One state of a behaviour machine: while it is the top of the stack, it decides which commands the
// machine accepts (its command context) and gets one Update per engine update.
class State
{
  public:
    explicit State(StateId id) : id(id) {}
    virtual ~State() = default;

    // A new state of the same class and id, whose context name and allowed commands come from the
    // behaviour factory's context of that name as it stands now (empty when unknown or no factory).
    virtual std::unique_ptr<State> Clone(const std::string& contextName) const = 0;
    // Runs once after the copy is stored in a machine and given its owner.
    virtual void Init() {}
    // Runs just before the machine deletes the state.
    virtual void Shutdown() {}
    // The state has become the top of the stack.
    virtual void Enter() {}
    // The state stops being the top; nextStateId is the state about to be on top (0 when none).
    virtual void Exit(StateId nextStateId) { (void)nextStateId; }
    // Runs on the top state once per update, after the queued commands.
    virtual void Update(float dt) { (void)dt; }

    StateId GetId() const { return id; }
    const std::string& GetContextName() const { return contextName; }
    const std::vector<CommandId>& GetAllowedCommands() const { return allowedCommands; }
    // Whether the state's context accepts the command.
    bool Allows(CommandId command) const;
    // The machine that holds this state; null for a factory prototype.
    CCSM* GetOwner() const { return owner; }
    void SetOwner(CCSM* machine) { owner = machine; }

  protected:
    State(const State&) = default;
    State& operator=(const State&) = default;

    // Replaces the context name and allowed commands by the factory's context of that name.
    void TakeContext(const std::string& name);

    CCSM* owner = nullptr;
    StateId id;
    std::string contextName;
    std::vector<CommandId> allowedCommands;
};

// State 0: accepts what its context allows and does nothing else.
class NullState : public State
{
  public:
    NullState() : State(kStateNull) {}

    std::unique_ptr<State> Clone(const std::string& contextName) const override;
};
