#pragma once
#include "BehaviorIds.h"

#include <string>
#include <vector>

// A named list of the command ids a state accepts, in the order they were added.
struct CommandContext
{
    std::string name;
    std::vector<CommandId> allowedCommands;
};

// One state of a behaviour set (its tag) and the name of the command context it uses.
struct Behavior
{
    StateId tag = kStateNull;
    std::string name;
};

// The states a machine is built from, with their contexts, and the state it starts in.
struct BehaviorSet
{
    std::string name;
    StateId initialState = kStateNull;
    std::vector<Behavior> entries;
};

// The set held by a new or cleared machine and returned for unknown names: {"", 0, [(0, "")]}.
inline BehaviorSet DefaultBehaviorSet()
{
    return BehaviorSet{"", kStateNull, {Behavior{kStateNull, ""}}};
}
