#pragma once
#include "LevelRecords.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class GameObject;

// Module files: pieces of level merged into the running one ("Modules/<name>.xml"). Each group replaces
// the objects of one tag with its own. A module is read and checked whole before anything changes.

// One object of a module with its components and scripts, not installed yet.
struct StagedModuleObject
{
    std::unique_ptr<GameObject> object;
    StagedComponents components;
    StagedScripts scripts;

    StagedModuleObject();
    ~StagedModuleObject();
    StagedModuleObject(StagedModuleObject&&) noexcept;
    StagedModuleObject& operator=(StagedModuleObject&&) noexcept;
};

// One group: the tag whose objects it replaces and its new objects.
struct StagedModuleGroup
{
    std::uint32_t tag = 0;
    std::vector<StagedModuleObject> objects;
};

// A whole module read and checked but not merged.
struct StagedModule
{
    std::string source;
    std::vector<std::uint32_t> tags; // the whole "Tags" list, as the event reports it
    std::vector<StagedModuleGroup> groups;
};

// Reads and checks a whole module without changing anything. Throws LevelFormatError.
StagedModule StageModule(const std::string& bytes, bool versioned, const std::string& source);
// Merges a staged module into the running level, then sends ModuleLoadedEvent with the tags and the new
// ids in reading order.
void CommitModule(StagedModule& module);
// Stages and commits "Modules/<name>.xml". A missing or unreadable file and "Files_" do nothing and send no
// event; a malformed file throws LevelFormatError and changes nothing.
void LoadModule(const std::string& name, bool versioned);
