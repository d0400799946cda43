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
    std::vector<std::pair<std::uint32_t, StagedComponents>> components; // ascending object ids
    std::vector<std::pair<std::string, StagedScripts>> scriptPrefabs;
    std::vector<std::pair<std::uint32_t, StagedScripts>> scripts; // ascending object ids

    std::vector<std::int32_t> soundEventTypes;
    bool hasTables = false; // false when no table hook reads them
    BehaviorTablesData tables;
    std::function<void()> commitBackground; // empty when no background hook reads it

    StagedLevel();
    ~StagedLevel();
    StagedLevel(StagedLevel&&) noexcept;
    StagedLevel& operator=(StagedLevel&&) noexcept;
};
