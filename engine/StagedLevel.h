#pragma once
#include "BehaviorTablesData.h"
#include "LevelRecords.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class GameObject;

// A registry section read from a file: every object's entries in one buffer, in ascending object id and,
// within an object, ascending type id. One buffer for the whole level rather than a container per object:
// a large level stages thousands of objects, and committing and freeing it then touches no node per object.
template <typename Staged> struct StagedSection
{
    struct Object
    {
        std::uint32_t id = 0;
        std::uint32_t end = 0; // this object's entries run from the previous object's end to here
    };
    struct Entry
    {
        std::uint32_t typeId = 0;
        Staged staged;
    };
    std::vector<Object> objects; // ascending ids; an object may have no entries
    std::vector<Entry> entries;
};

// A whole level read and checked but not installed: committing it cannot fail on its content.
struct StagedLevel
{
    std::string source;
    bool versioned = false; // the file's own flag
    std::vector<std::string> moduleNames;

    std::uint32_t lastId = 0;
    std::vector<std::unique_ptr<GameObject>> objects; // indexed by id; null entries are free
    std::vector<std::pair<std::string, std::unique_ptr<GameObject>>> prefabs;
    std::vector<std::uint32_t> freeIds;
    std::vector<std::uint32_t> destroyList;

    std::vector<std::pair<std::string, StagedComponents>> componentPrefabs;
    StagedSection<std::unique_ptr<Component>> components;
    std::vector<std::pair<std::string, StagedScripts>> scriptPrefabs;
    StagedSection<StagedScript> scripts;

    std::vector<std::int32_t> soundEventTypes;
    bool hasTables = false; // false when no table hook reads them
    BehaviorTablesData tables;
    std::function<void()> commitBackground; // empty when no background hook reads it

    StagedLevel();
    ~StagedLevel();
    StagedLevel(StagedLevel&&) noexcept;
    StagedLevel& operator=(StagedLevel&&) noexcept;
};
