#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Plain copies of the behaviour factory's tables, so the level files can read and write them without
// the engine knowing any gameplay type. The gameplay side converts to and from its own tables.

// A named list of the command ids a state accepts, in the order they were added.
struct CommandContextData
{
    std::string name;
    std::vector<std::uint32_t> allowedCommandIds;

    bool operator==(const CommandContextData&) const = default;
};

// One state of a behaviour set and the name of the command context it uses.
struct BehaviorData
{
    std::uint32_t stateId = 0;
    std::string contextName;

    bool operator==(const BehaviorData&) const = default;
};

// A named set of states a machine is built from, and the state it starts in.
struct BehaviorSetData
{
    std::string name;
    std::uint32_t initialStateId = 0;
    std::vector<BehaviorData> entries;

    bool operator==(const BehaviorSetData&) const = default;
};

// Every command context and behaviour set, each list in its stored order (duplicates kept).
struct BehaviorTablesData
{
    std::vector<CommandContextData> contexts;
    std::vector<BehaviorSetData> sets;

    bool operator==(const BehaviorTablesData&) const = default;
};
