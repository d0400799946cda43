#include "CCSMFactory.h"

#include "BehaviorPrototypes.h"

#include <algorithm>

CCSMFactory* gCCSMFactory = nullptr;

namespace
{
template <typename Record> const Record* FindByName(const std::vector<Record>& list, const std::string& name)
{
    auto found =
        std::find_if(list.begin(), list.end(), [&name](const Record& record) { return record.name == name; });
    return found != list.end() ? &*found : nullptr;
}
} // namespace

CCSMFactory::CCSMFactory() : EngineSystem(estCCSMFactory)
{
    PublishOnce(gCCSMFactory, this);
}

CCSMFactory::~CCSMFactory()
{
    UnpublishIfOwner(gCCSMFactory, this);
}

void CCSMFactory::Init()
{
    RegisterBehaviorPrototypes(*this);
}

void CCSMFactory::Exit()
{
    statePrototypes.clear();
    commandPrototypes.clear();
}

BehaviorSet CCSMFactory::GetBehaviorSet(const std::string& name) const
{
    const BehaviorSet* found = FindByName(behaviorSets, name);
    return found != nullptr ? *found : DefaultBehaviorSet();
}

CommandContext CCSMFactory::GetContext(const std::string& name) const
{
    const CommandContext* found = FindByName(contexts, name);
    return found != nullptr ? *found : CommandContext{};
}

CommandContext* CCSMFactory::FindContext(const std::string& name)
{
    return const_cast<CommandContext*>(FindByName(contexts, name));
}

void CCSMFactory::AddContext(CommandContext context)
{
    contexts.push_back(std::move(context));
    namesChanged = true;
}

void CCSMFactory::AddBehaviorSet(BehaviorSet set)
{
    behaviorSets.push_back(std::move(set));
    namesChanged = true;
}

std::vector<std::string> CCSMFactory::GetBehaviorNames()
{
    if (namesChanged)
    {
        behaviorNames.clear();
        for (const BehaviorSet& set : behaviorSets)
            behaviorNames.push_back(set.name);
    }
    return behaviorNames;
}

void CCSMFactory::RegisterCommand(std::unique_ptr<Command> prototype)
{
    if (prototype == nullptr)
        return;
    prototype->SetOwner(nullptr);
    CommandId id = prototype->GetId();
    commandPrototypes[id] = std::move(prototype);
}

void CCSMFactory::RegisterState(std::unique_ptr<State> prototype)
{
    if (prototype == nullptr)
        return;
    prototype->SetOwner(nullptr);
    StateId id = prototype->GetId();
    statePrototypes[id] = std::move(prototype);
}

const Command* CCSMFactory::FindCommandPrototype(CommandId id) const
{
    auto found = commandPrototypes.find(id);
    return found != commandPrototypes.end() ? found->second.get() : nullptr;
}

const State* CCSMFactory::FindStatePrototype(StateId id) const
{
    auto found = statePrototypes.find(id);
    return found != statePrototypes.end() ? found->second.get() : nullptr;
}

BehaviorTablesData CCSMFactory::GetTables() const
{
    BehaviorTablesData tables;
    for (const CommandContext& context : contexts)
        tables.contexts.push_back(CommandContextData{context.name, context.allowedCommands});
    for (const BehaviorSet& set : behaviorSets)
    {
        BehaviorSetData data{set.name, set.initialState, {}};
        for (const Behavior& entry : set.entries)
            data.entries.push_back(BehaviorData{entry.tag, entry.name});
        tables.sets.push_back(std::move(data));
    }
    return tables;
}

void CCSMFactory::ReplaceTables(const BehaviorTablesData& tables)
{
    std::vector<CommandContext> newContexts;
    for (const CommandContextData& context : tables.contexts)
        newContexts.push_back(CommandContext{context.name, context.allowedCommandIds});
    std::vector<BehaviorSet> newSets;
    for (const BehaviorSetData& data : tables.sets)
    {
        BehaviorSet set{data.name, data.initialStateId, {}};
        for (const BehaviorData& entry : data.entries)
            set.entries.push_back(Behavior{entry.stateId, entry.contextName});
        newSets.push_back(std::move(set));
    }
    contexts = std::move(newContexts);
    behaviorSets = std::move(newSets);
    namesChanged = true;
}

void CCSMFactory::Reset()
{
    Exit();
    contexts.clear();
    behaviorSets.clear();
    behaviorNames.clear();
    namesChanged = true;
    Init();
}
