#include "CCSM.h"

#include "CCSMFactory.h"
#include "LevelArchive.h"
#include "Prototypes.h"
#include "TypeIds.h"

#include <iostream>

namespace
{
const char* const kBehaviorNameElement = "BehaviorName";
} // namespace

// Marks a machine as walking for the length of one update, and disposes of what the walk retired.
class CCSMWalkScope
{
  public:
    explicit CCSMWalkScope(const CCSM& machine) : retired(machine.retired) { ++retired->walkDepth; }
    ~CCSMWalkScope()
    {
        if (--retired->walkDepth == 0)
            retired->DisposeAll();
    }
    CCSMWalkScope(const CCSMWalkScope&) = delete;
    CCSMWalkScope& operator=(const CCSMWalkScope&) = delete;

    // False once a call made during the walk destroyed the machine.
    bool MachineAlive() const { return retired->machineAlive; }

  private:
    std::shared_ptr<CCSMRetired> retired;
};

void CCSMRetired::DisposeAll()
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
        states[id] = std::move(copy);
    }
    for (const auto& [id, command] : source.commands)
    {
        std::unique_ptr<Command> copy = command->Clone();
        copy->SetOwner(this);
        commands[id] = std::move(copy);
    }
}

CCSM::~CCSM()
{
    // Destroyed by one of its own commands, the machine leaves its states and commands to the walk.
    Clear();
    retired->machineAlive = false;
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
    if (!name.empty() || behaviorName.empty())
        behaviorName = name;
    behaviorSet = gCCSMFactory != nullptr ? gCCSMFactory->GetBehaviorSet(behaviorName) : DefaultBehaviorSet();
    BuildStates();
    BuildCommands();
    PushState(behaviorSet.initialState);
}

void CCSM::BuildStates()
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
    }
}

void CCSM::BuildCommands()
{
    std::vector<StateId> ids;
    for (const auto& entry : states)
        ids.push_back(entry.first);
    for (StateId id : ids)
        if (const State* state = GetState(id))
            BuildCommandsOf(*state);
}

void CCSM::BuildCommandsOf(const State& state)
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
    }
}

void CCSM::StoreState(std::unique_ptr<State> state)
{
    State* stored = state.get();
    stored->SetOwner(this);
    std::unique_ptr<State>& slot = states[stored->GetId()];
    std::unique_ptr<State> replaced = std::move(slot);
    slot = std::move(state);
    DisposeState(std::move(replaced));
    stored->Init();
}

void CCSM::StoreCommand(std::unique_ptr<Command> command)
{
    Command* stored = command.get();
    stored->SetOwner(this);
    std::unique_ptr<Command>& slot = commands[stored->GetId()];
    std::unique_ptr<Command> replaced = std::move(slot);
    slot = std::move(command);
    DisposeCommand(std::move(replaced));
    stored->Init();
}

void CCSM::DisposeState(std::unique_ptr<State> state)
{
    if (state == nullptr)
        return;
    if (retired->walkDepth > 0)
    {
        retired->states.push_back(std::move(state));
        return;
    }
    state->Shutdown();
}

void CCSM::DisposeCommand(std::unique_ptr<Command> command)
{
    if (command == nullptr)
        return;
    if (retired->walkDepth > 0)
    {
        retired->commands.push_back(std::move(command));
        return;
    }
    command->Shutdown();
}

bool CCSM::PushKnownState(StateId id)
{
    if (GetState(id) == nullptr)
        return false;
    if (State* top = GetTopState())
        top->Exit(id);
    stateStack.push_back(id);
    if (State* pushed = GetState(id))
        pushed->Enter();
    CancelDisallowedCommands();
    return true;
}

void CCSM::PushState(StateId id)
{
    PushKnownState(id);
}

void CCSM::PopState()
{
    if (stateStack.empty())
        return;
    const StateId uncovered = stateStack.size() >= 2 ? stateStack[stateStack.size() - 2] : kStateNull;
    if (State* top = GetTopState())
        top->Exit(uncovered);
    if (!stateStack.empty())
        stateStack.pop_back();
    if (State* top = GetTopState())
        top->Enter();
    CancelDisallowedCommands();
}

void CCSM::ChangeState(StateId id)
{
    if (stateStack.empty())
    {
        PushState(id);
        return;
    }
    if (State* top = GetTopState())
        top->Exit(id);
    if (!stateStack.empty())
        stateStack.pop_back();
    if (State* top = GetTopState())
        top->Enter();
    // The pop stands even when the new state is missing; the queue must then follow the uncovered top.
    if (!PushKnownState(id))
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
    stateStack.clear();
    activeCommands.clear();
    freeSlots.clear();
    std::map<StateId, std::unique_ptr<State>> oldStates = std::move(states);
    std::map<CommandId, std::unique_ptr<Command>> oldCommands = std::move(commands);
    states.clear();
    commands.clear();
    for (auto& entry : oldStates)
        DisposeState(std::move(entry.second));
    for (auto& entry : oldCommands)
        DisposeCommand(std::move(entry.second));
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
    CCSMWalkScope walk(*this);
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
        if (!walk.MachineAlive())
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
    auto found = states.find(id);
    return found != states.end() ? found->second.get() : nullptr;
}

Command* CCSM::GetCommand(CommandId id) const
{
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
