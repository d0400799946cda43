#pragma once
#include "CCSM.h"
#include "CCSMFactory.h"
#include "GameObject.h"
#include "MatchBehaviorTables.h"
#include "TypeIds.h"

#include <functional>
#include <string>
#include <vector>

// The commands waiting in an object's machine, free slots left out.
inline std::vector<CommandId> QueuedCommands(GameObject& object)
{
    std::vector<CommandId> queued;
    for (const auto& entry : object.GetComponentAs<CCSM>(ComponentTypeId::kCCSM)->GetActiveCommands())
        if (entry)
            queued.push_back(*entry);
    return queued;
}

// What the spies did, in order, as short lines ("Execute 1 0.5", "Exit 2 1").
inline std::vector<std::string>& SpyLog()
{
    static std::vector<std::string> log;
    return log;
}

// The owner object ids of the top states updated, in order.
inline std::vector<std::uint32_t>& UpdatedOwners()
{
    static std::vector<std::uint32_t> owners;
    return owners;
}

inline std::string FormatTime(float dt)
{
    std::string text = std::to_string(dt);
    text.erase(text.find_last_not_of('0') + 1);
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    return text;
}

// A command whose results are set by the test; it logs each call with its dt. A hook may run inside
// Execute to hand in commands, change states or rebuild the machine.
class SpyCommand : public Command
{
  public:
    explicit SpyCommand(CommandId id, std::int32_t executeResult = 1, std::int32_t cancelResult = 1)
        : Command(id), executeResult(executeResult), cancelResult(cancelResult)
    {
    }

    std::unique_ptr<Command> Clone() const override { return std::make_unique<SpyCommand>(*this); }
    void Init() override
    {
        SpyLog().push_back("Init " + std::to_string(id));
        Command::Init();
    }
    void Shutdown() override { SpyLog().push_back("Shutdown " + std::to_string(id)); }
    std::int32_t Execute(float dt) override
    {
        SpyLog().push_back("Execute " + std::to_string(id) + " " + FormatTime(dt));
        if (onExecute)
            onExecute(*this);
        return executeResult;
    }
    std::int32_t Cancel(float dt) override
    {
        SpyLog().push_back("Cancel " + std::to_string(id) + " " + FormatTime(dt));
        return cancelResult;
    }
    std::int32_t Update(float dt) override
    {
        SpyLog().push_back("Update " + std::to_string(id) + " " + FormatTime(dt));
        return 1;
    }

    std::int32_t executeResult;
    std::int32_t cancelResult;
    std::function<void(SpyCommand&)> onExecute;
};

// A state that logs Init, Enter, Exit(next) and Update. A hook may run inside Enter or Exit; the state
// then logs "After Enter <id>" or "After Exit <id>", reading itself once the hook has returned.
class SpyState : public State
{
  public:
    explicit SpyState(StateId id) : State(id) {}

    std::unique_ptr<State> Clone(const std::string& contextName) const override
    {
        auto copy = std::make_unique<SpyState>(*this);
        copy->TakeContext(contextName);
        return copy;
    }
    void Init() override { SpyLog().push_back("StateInit " + std::to_string(id)); }
    void Enter() override
    {
        SpyLog().push_back("Enter " + std::to_string(id));
        if (onEnter)
        {
            onEnter(*this);
            SpyLog().push_back("After Enter " + std::to_string(id));
        }
    }
    void Exit(StateId next) override
    {
        SpyLog().push_back("Exit " + std::to_string(id) + " " + std::to_string(next));
        if (onExit)
        {
            onExit(*this);
            SpyLog().push_back("After Exit " + std::to_string(id));
        }
    }
    void Update(float dt) override
    {
        SpyLog().push_back("StateUpdate " + std::to_string(id) + " " + FormatTime(dt));
        if (owner != nullptr)
            UpdatedOwners().push_back(owner->GetOwner());
    }

    std::function<void(SpyState&)> onEnter;
    std::function<void(SpyState&)> onExit;
};

// Registers spies over every stand-in, so each call shows in the log.
inline void RegisterSpies(CCSMFactory& factory)
{
    for (StateId id = 1; id < kStateCount; ++id)
        factory.RegisterState(std::make_unique<SpyState>(id));
    for (CommandId id = 1; id < kCommandCount; ++id)
        factory.RegisterCommand(std::make_unique<SpyCommand>(id));
}

// The spy prototype of a command id, to set its results or hook before machines clone it.
inline SpyCommand& SpyPrototype(CCSMFactory& factory, CommandId id)
{
    return const_cast<SpyCommand&>(dynamic_cast<const SpyCommand&>(*factory.FindCommandPrototype(id)));
}

// The spy prototype of a state id, to hook its Enter or Exit before machines clone it.
inline SpyState& SpyStatePrototype(CCSMFactory& factory, StateId id)
{
    return const_cast<SpyState&>(dynamic_cast<const SpyState&>(*factory.FindStatePrototype(id)));
}

// Counts the log lines equal to the text.
inline int CountLog(const std::string& line)
{
    int count = 0;
    for (const std::string& entry : SpyLog())
        count += entry == line ? 1 : 0;
    return count;
}
