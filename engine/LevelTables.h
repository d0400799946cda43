#pragma once
#include "ArchiveFwd.h"
#include "BehaviorTablesData.h"

// The behaviour tables block of a level file: command contexts, then behaviour sets.

// Writes both tables; behaviours with state id 0 or no context name are left out.
void WriteBehaviorTables(LevelOArchive& ar, const BehaviorTablesData& tables);
// Reads both tables. Throws LevelFormatError.
BehaviorTablesData ReadBehaviorTables(LevelIArchive& ar);
