#pragma once
#include "StagedLevel.h"

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

// Level files: the whole object world of a game state, saved to and loaded from "Levels/<name>.xml".
// Loading reads and checks the whole file first (staging) and changes nothing when it is malformed.

// The module names of the level loaded last.
const std::vector<std::string>& GetLevelModuleNames();
// Replaces the module names, as a level load does.
void SetLevelModuleNames(std::vector<std::string> names);

// Unpauses, closes the menus and writes the running world to "Levels/<name>.xml" through a checked
// temporary file. True when the file was replaced; on failure prints an ERROR line and keeps the old file.
// "Files_" writes nothing and returns false.
bool SaveLevel(const std::string& name);
// Writes the running world, in the versioned form, to a stream.
void SaveLevelTo(std::ostream& out);

// Reads and checks a whole level without changing anything. Throws LevelFormatError.
std::unique_ptr<StagedLevel> StageLevel(const std::string& bytes, bool versioned, const std::string& source);
// Replaces the running world with a staged level.
void CommitLevel(StagedLevel& level);

// Loads "Levels/<name>.xml" over the running world. A missing or unreadable file and "Files_" do nothing;
// a malformed file throws LevelFormatError and changes nothing.
void LoadLevel(const std::string& name, bool versioned);
// LoadLevel versioned, and unversioned when that throws, after a WARNING line with the first error; a
// second failure propagates.
void LoadLevelWithFallback(const std::string& name);
