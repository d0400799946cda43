#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The match's level and its modules, as the level baker builds them.

// "LEVEL_1": the tables, the arena of BuildMatchWorld() dressed in the match's sprites, the spawn points,
// the jump binding, the HUD's look, the event text, the out-of-bounds zones, the menus, the background and
// the names of the modules a round end draws from.
void BuildLevel1();

// One module file the baker writes: the tags it replaces and the build that returns, per tag, the ids of
// the objects that replace them.
struct ModuleBakeTarget
{
    std::string name;
    std::vector<std::uint32_t> tags;
    std::vector<std::vector<std::uint32_t>> (*build)();
};

// The four modules LEVEL_1 names, then "DEFAULT_ALL", the fallback of a module that fails to load.
const std::vector<ModuleBakeTarget>& ModuleBakeTargets();
const ModuleBakeTarget* FindModuleBakeTarget(const std::string& name);
// Builds the module into an emptied world and writes "<outDir>/Modules/<name>.xml" through a checked
// file (staged back before it replaces the old one). Returns an empty text, else what went wrong.
std::string BakeModule(const ModuleBakeTarget& target, const std::string& outDir);
