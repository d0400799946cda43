#include "CCSM.h"

#include "CCSMFactory.h"
#include "Engine.h"
#include "LevelArchive.h"
#include "Prototypes.h"
#include "TypeIds.h"

#include <exception>
#include <iostream>
#include <utility>

namespace
{
const char* const kBehaviorNameElement = "BehaviorName";
void ReportExitError(StateId state, const std::string& message)
{
    std::cerr << "Behavior state error in: " << StateName(state) << "::Exit.  Exception thrown: " << message
              << "\n";
}
} // namespace

// Opened by every machine call that runs states or commands. The outermost one disposes of what the
// calls retired, and each one can tell whether the machine was destroyed under it.
class CCSMCallScope
{
  public:
    explicit CCSMCallScope(const CCSM& machine) : record(machine.callRecord) { ++record->callDepth; }
    ~CCSMCallScope()
    {
        if (--record->callDepth == 0)
            record->DisposeAll();
    }
    CCSMCallScope(const CCSMCallScope&) = delete;
    CCSMCallScope& operator=(const CCSMCallScope&) = delete;

    // False once something this call ran destroyed the machine; the call must then touch nothing of it.
    bool MachineAlive() const { return record->machineAlive; }

  private:
    std::shared_ptr<CCSMCallRecord> record;
};

void CCSMCallRecord::DisposeAll()
{
    std::vector<std::unique_ptr<State>> oldStates = std::move(states);
    std::vector<std::unique_ptr<Command>> oldCommands = std::move(commands);
    states.clear();
    commands.clear();
    for (auto& state : oldStates)
        state->Shutdown();
    for (auto& command : oldCommands)
        command->Shutdown();
}

CCSM::CCSM() : Component(kClassName, ComponentTypeId::kCCSM), behaviorSet(DefaultBehaviorSet())
{
    RegisterComponentPrototype(*this);
}

CCSM::CCSM(const CCSM& source)
    : Component(source), behaviorSet(source.behaviorSet), stateStack(source.stateStack),
      activeCommands(source.activeCommands), freeSlots(source.freeSlots), behaviorName(source.behaviorName)
{
    owner = 0;
    for (const auto& [id, state] : source.states)
    {
        std::unique_ptr<State> copy = state->Clone(state->GetContextName());
        copy->SetOwner(this);
        if (id < kIndexedIds)
            stateIndex[id] = copy.get();
        states[id] = std::move(copy);
    }
    for (const auto& [id, command] : source.commands)
    {
        std::unique_ptr<Command> copy = command->Clone();
        copy->SetOwner(this);
        if (id < kIndexedIds)
            commandIndex[id] = copy.get();
        commands[id] = std::move(copy);
    }
}

CCSM::~CCSM()
{
    // Destroyed under one of its own calls, the machine leaves its states and commands to that call.
    Clear();
    callRecord->machineAlive = false;
}

void CCSM::SetOwner(std::uint32_t ownerId)
{
    Component::SetOwner(ownerId);
    for (auto& entry : states)
        entry.second->SetOwner(this);
    for (auto& entry : commands)
        entry.second->SetOwner(this);
}

std::unique_ptr<Component> CCSM::Clone() const
{
    return std::make_unique<CCSM>(*this);
}

std::unique_ptr<Component> CCSM::Load(LevelIArchive& archive)
{
    // Records load into the class prototype one after another; starting empty keeps one machine's
    // states out of the next one's.
    Clear();
    ReadField(archive, kBehaviorNameElement, behaviorName);
    SetBehavior("");
    return Clone();
}

void CCSM::Save(LevelOArchive& archive) const
{
    WriteField(archive, kBehaviorNameElement, behaviorName);
}

void CCSM::SetBehavior(const std::string& name)
{
    CCSMCallScope call(*this);
    if (!name.empty() || behaviorName.empty())
        behaviorName = name;
    behaviorSet = gCCSMFactory != nullptr ? gCCSMFactory->GetBehaviorSet(behaviorName) : DefaultBehaviorSet();
    if (!BuildStates(call) || !BuildCommands(call))
        return;
    if (GetState(behaviorSet.initialState) != nullptr)
        PushKnownState(behaviorSet.initialState, call);
}

bool CCSM::BuildStates(const CCSMCallScope& call)
{
    const BehaviorSet set = behaviorSet;
    for (const Behavior& entry : set.entries)
    {
        if (entry.tag == kStateNull)
            continue;
        const State* prototype =
            gCCSMFactory != nullptr ? gCCSMFactory->FindStatePrototype(entry.tag) : nullptr;
        if (prototype == nullptr)
        {
            std::cout << "WARNING: behavior set \"" << set.name << "\" names state " << entry.tag
                      << ", which has no prototype; skipped.\n";
            continue;
        }
        StoreState(prototype->Clone(entry.name));
        if (!call.MachineAlive())
            return false;
    }
    return true;
}

bool CCSM::BuildCommands(const CCSMCallScope& call)
{
    std::vector<StateId> ids;
    for (const auto& entry : states)
        ids.push_back(entry.first);
    for (StateId id : ids)
    {
        if (const State* state = GetState(id); state != nullptr && !BuildCommandsOf(*state, call))
            return false;
    }
    return true;
}

bool CCSM::BuildCommandsOf(const State& state, const CCSMCallScope& call)
{
    const std::string contextName = state.GetContextName();
    const std::vector<CommandId> allowed = state.GetAllowedCommands();
    for (CommandId id : allowed)
    {
        const Command* prototype = gCCSMFactory != nullptr ? gCCSMFactory->FindCommandPrototype(id) : nullptr;
        if (prototype == nullptr)
        {
            std::cout << "WARNING: command context \"" << contextName << "\" names command " << id
                      << ", which has no prototype; skipped.\n";
            continue;
        }
        StoreCommand(prototype->Clone());
        if (!call.MachineAlive())
            return false;
    }
    return true;
}

void CCSM::StoreState(std::unique_ptr<State> state)
{
    State* stored = state.get();
    stored->SetOwner(this);
    std::unique_ptr<State>& slot = states[stored->GetId()];
    if (stored->GetId() < kIndexedIds)
        stateIndex[stored->GetId()] = stored;
    RetireState(std::exchange(slot, std::move(state)));
    stored->Init();
}

void CCSM::StoreCommand(std::unique_ptr<Command> command)
{
    Command* stored = command.get();
    stored->SetOwner(this);
    std::unique_ptr<Command>& slot = commands[stored->GetId()];
    if (stored->GetId() < kIndexedIds)
        commandIndex[stored->GetId()] = stored;
    RetireCommand(std::exchange(slot, std::move(command)));
    stored->Init();
}

void CCSM::RetireState(std::unique_ptr<State> state)
{
    if (state != nullptr)
        callRecord->states.push_back(std::move(state));
}

void CCSM::RetireCommand(std::unique_ptr<Command> command)
{
    if (command != nullptr)
        callRecord->commands.push_back(std::move(command));
}

bool CCSM::ExitTop(StateId nextStateId, const CCSMCallScope& call)
{
    State* top = GetTopState();
    if (top == nullptr)
        return true;
    const StateId exiting = top->GetId();
    // A failing Exit must not stop the change: the machine would stay in the state it tried to leave.
    try
    {
        top->Exit(nextStateId);
    }
    catch (const std::exception& error)
    {
        ReportExitError(exiting, error.what());
    }
    catch (...)
    {
        ReportExitError(exiting, kUnknownExceptionMessage);
    }
    return call.MachineAlive();
}

bool CCSM::EnterTop(const CCSMCallScope& call)
{
    if (State* top = GetTopState())
        top->Enter();
    return call.MachineAlive();
}

void CCSM::PushKnownState(StateId id, const CCSMCallScope& call)
{
    if (!ExitTop(id, call))
        return;
    // The Exit may have cleared the machine or rebuilt it without this state.
    if (GetState(id) != nullptr)
    {
        stateStack.push_back(id);
        if (!EnterTop(call))
            return;
    }
    CancelDisallowedCommands();
}

void CCSM::PushState(StateId id)
{
    CCSMCallScope call(*this);
    if (GetState(id) != nullptr)
        PushKnownState(id, call);
}

void CCSM::PopState()
{
    CCSMCallScope call(*this);
    if (stateStack.empty())
        return;
    const StateId uncovered = stateStack.size() >= 2 ? stateStack[stateStack.size() - 2] : kStateNull;
    if (!ExitTop(uncovered, call))
        return;
    if (!stateStack.empty())
        stateStack.pop_back();
    if (!EnterTop(call))
        return;
    CancelDisallowedCommands();
}

void CCSM::ChangeState(StateId id)
{
    CCSMCallScope call(*this);
    if (!stateStack.empty())
    {
        if (!ExitTop(id, call))
            return;
        if (!stateStack.empty())
            stateStack.pop_back();
        if (!EnterTop(call))
            return;
    }
    // The pop stands even when the new state is missing; the queue must then follow the uncovered top.
    if (GetState(id) != nullptr)
        PushKnownState(id, call);
    else
        CancelDisallowedCommands();
}

bool CCSM::HandleCommand(CommandId id)
{
    State* top = GetTopState();
    if (top == nullptr || !top->Allows(id))
        return false;
    Command* command = GetCommand(id);
    if (command == nullptr)
        return false;
    command->SetStatus(csExecute);
    StoreInQueue(id);
    return true;
}

void CCSM::StoreInQueue(CommandId id)
{
    while (!freeSlots.empty())
    {
        const std::uint32_t slot = freeSlots.back();
        freeSlots.pop_back();
        if (slot < activeCommands.size() && !activeCommands[slot].has_value())
        {
            activeCommands[slot] = id;
            return;
        }
    }
    activeCommands.push_back(id);
}

void CCSM::Clear()
{
    CCSMCallScope call(*this);
    stateStack.clear();
    activeCommands.clear();
    freeSlots.clear();
    std::map<StateId, std::unique_ptr<State>> oldStates = std::move(states);
    std::map<CommandId, std::unique_ptr<Command>> oldCommands = std::move(commands);
    states.clear();
    commands.clear();
    stateIndex.fill(nullptr);
    commandIndex.fill(nullptr);
    for (auto& entry : oldStates)
        RetireState(std::move(entry.second));
    for (auto& entry : oldCommands)
        RetireCommand(std::move(entry.second));
    behaviorSet = DefaultBehaviorSet();
}

void CCSM::CancelDisallowedCommands()
{
    State* top = GetTopState();
    for (const std::optional<CommandId>& entry : activeCommands)
    {
        if (!entry.has_value() || (top != nullptr && top->Allows(*entry)))
            continue;
        if (Command* command = GetCommand(*entry))
            command->SetStatus(csCancel);
    }
}

void CCSM::RunUpdate(float dt)
{
    CCSMCallScope call(*this);
    // Commands may queue commands, so the length is re-read and no reference into the queue is held.
    for (std::size_t index = 0; index < activeCommands.size(); ++index)
    {
        if (!activeCommands[index].has_value())
            continue;
        Command* command = GetCommand(*activeCommands[index]);
        if (command == nullptr || command->GetStatus() == csFinished)
        {
            activeCommands[index].reset();
            freeSlots.push_back(static_cast<std::uint32_t>(index));
            continue;
        }
        std::int32_t result = 0;
        switch (command->GetStatus())
        {
        case csExecute:
            result = command->Execute(dt);
            break;
        case csUpdate:
            result = command->Update(dt);
            break;
        case csCancel:
            result = command->Cancel(dt);
            break;
        default:
            continue;
        }
        if (!call.MachineAlive())
            return;
        if (result != 1 || index >= activeCommands.size() || !activeCommands[index].has_value())
            continue;
        if (Command* finished = GetCommand(*activeCommands[index]))
            finished->SetStatus(csFinished);
    }
    if (State* top = GetTopState())
        top->Update(dt);
}

State* CCSM::GetState(StateId id) const
{
    if (id < kIndexedIds)
        return stateIndex[id];
    auto found = states.find(id);
    return found != states.end() ? found->second.get() : nullptr;
}

Command* CCSM::GetCommand(CommandId id) const
{
    if (id < kIndexedIds)
        return commandIndex[id];
    auto found = commands.find(id);
    return found != commands.end() ? found->second.get() : nullptr;
}

State* CCSM::GetTopState() const
{
    return stateStack.empty() ? nullptr : GetState(stateStack.back());
}

void CCSM::DrawEditor()
{
    DrawFieldEditors(Descriptors(), *this);
}

const DescriptorList<CCSM>& CCSM::Descriptors()
{
    static const DescriptorList<CCSM> descriptors = []
    {
        DescriptorList<CCSM> list;
        FieldOptions options;
        options.firstVersion = 1;
        options.save = false;
        // The set's name, not the behaviour name: after an unknown name nothing is preselected.
        auto currentSet = [](const CCSM& machine) { return machine.GetBehaviorSet().name; };
        auto rebuild = [](CCSM& machine, const std::string& chosen)
        {
            machine.Clear();
            machine.SetBehavior(chosen);
        };
        list.push_back(std::make_unique<MetaCCSM<CCSM>>("CCSM Comp", options, currentSet, rebuild));
        return list;
    }();
    return descriptors;
}
