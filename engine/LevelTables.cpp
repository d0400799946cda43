#include "LevelTables.h"

#include "LevelArchive.h"
#include "LevelFileNames.h"
#include "LevelIArchive.h"

using namespace LevelElements;

namespace
{
// Ids are stored signed in the file although the tables hold them unsigned.
std::int32_t AsStored(std::uint32_t id)
{
    return static_cast<std::int32_t>(id);
}

bool IsWritten(const BehaviorData& behavior)
{
    return behavior.stateId != 0 && !behavior.contextName.empty();
}

void WriteContexts(LevelOArchive& ar, const std::vector<CommandContextData>& contexts)
{
    WriteField(ar, kContextsSize, static_cast<std::uint32_t>(contexts.size()));
    for (const CommandContextData& context : contexts)
    {
        WriteField(ar, kContextName, context.name);
        WriteField(ar, kContextSize, static_cast<std::uint32_t>(context.allowedCommandIds.size()));
        for (std::uint32_t id : context.allowedCommandIds)
            WriteField(ar, kContextTag, AsStored(id));
    }
}

void WriteSets(LevelOArchive& ar, const std::vector<BehaviorSetData>& sets)
{
    WriteField(ar, kSetsSize, static_cast<std::uint32_t>(sets.size()));
    for (const BehaviorSetData& set : sets)
    {
        std::uint32_t size = 0;
        for (const BehaviorData& behavior : set.entries)
            size += IsWritten(behavior) ? 1 : 0;
        WriteField(ar, kSetName, set.name);
        WriteField(ar, kSetInitState, AsStored(set.initialStateId));
        WriteField(ar, kSetSize, size);
        for (const BehaviorData& behavior : set.entries)
        {
            if (!IsWritten(behavior))
                continue;
            WriteField(ar, kBehaviorTag, AsStored(behavior.stateId));
            WriteField(ar, kBehaviorName, behavior.contextName);
        }
    }
}

std::vector<CommandContextData> ReadContexts(LevelIArchive& ar)
{
    std::vector<CommandContextData> contexts;
    const std::uint64_t count = ReadCount(ar, kContextsSize);
    for (std::uint64_t i = 0; i < count; ++i)
    {
        CommandContextData context;
        ReadField(ar, kContextName, context.name);
        const std::uint64_t size = ReadCount(ar, kContextSize);
        for (std::uint64_t j = 0; j < size; ++j)
        {
            std::int32_t id = 0;
            ReadField(ar, kContextTag, id);
            context.allowedCommandIds.push_back(static_cast<std::uint32_t>(id));
        }
        contexts.push_back(std::move(context));
    }
    return contexts;
}

std::vector<BehaviorSetData> ReadSets(LevelIArchive& ar)
{
    std::vector<BehaviorSetData> sets;
    const std::uint64_t count = ReadCount(ar, kSetsSize);
    for (std::uint64_t i = 0; i < count; ++i)
    {
        BehaviorSetData set;
        std::int32_t initState = 0;
        ReadField(ar, kSetName, set.name);
        ReadField(ar, kSetInitState, initState);
        set.initialStateId = static_cast<std::uint32_t>(initState);
        const std::uint64_t size = ReadCount(ar, kSetSize);
        for (std::uint64_t j = 0; j < size; ++j)
        {
            BehaviorData behavior;
            std::int32_t tag = 0;
            ReadField(ar, kBehaviorTag, tag);
            ReadField(ar, kBehaviorName, behavior.contextName);
            behavior.stateId = static_cast<std::uint32_t>(tag);
            set.entries.push_back(std::move(behavior));
        }
        sets.push_back(std::move(set));
    }
    return sets;
}
} // namespace

void WriteBehaviorTables(LevelOArchive& ar, const BehaviorTablesData& tables)
{
    WriteContexts(ar, tables.contexts);
    WriteSets(ar, tables.sets);
}

BehaviorTablesData ReadBehaviorTables(LevelIArchive& ar)
{
    BehaviorTablesData tables;
    tables.contexts = ReadContexts(ar);
    tables.sets = ReadSets(ar);
    return tables;
}
