#pragma once
#include "ArchiveFwd.h"
#include "BehaviorTablesData.h"

#include <functional>
#include <string>

class Observer;

// The calls a level load or save makes into the subsystems above the engine. Each provider fills its own
// members when it starts; an empty member means the section is written empty and dropped on reading.
struct LevelHooks
{
    // Closes every open menu before a save (menus).
    std::function<void()> closeAllMenus;
    // Completes or recreates the menu objects after a load (menus).
    std::function<void()> runMenuBuilders;

    // The sound system, re-subscribed after a load to exactly the event types the file lists. Borrowed.
    Observer* soundObserver = nullptr;

    // The behaviour factory's command contexts and behaviour sets, for the writer (behaviours).
    std::function<BehaviorTablesData()> getTables;
    // Returns an empty text when the tables can be installed, else what is wrong with them.
    std::function<std::string(const BehaviorTablesData&)> checkTables;
    // Replaces both tables and rebuilds every live behaviour machine; cannot fail.
    std::function<void(const BehaviorTablesData&)> replaceTables;

    // Writes the background block: "Version_Number" and the background's fields (drawing).
    std::function<void(LevelOArchive&)> saveBackground;
    // Reads the background block (versioned) or "BackGround" (unversioned) without changing anything, and
    // returns the call that installs what it read.
    std::function<std::function<void()>(LevelIArchive&, bool versioned)> stageBackground;
};

// The process-wide hook table; providers assign their members at start-up.
LevelHooks& GetLevelHooks();
// Empties every member: a clean start for tests.
void ResetLevelHooks();
