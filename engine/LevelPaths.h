#pragma once
#include <cstddef>
#include <string>

// Where level and module files live, relative to the working directory.
inline constexpr const char* kLevelFolder = "Levels/";
inline constexpr const char* kModuleFolder = "Modules/";
// The name the game passes for "no file"; loading or saving it does nothing.
inline constexpr const char* kSkippedFileName = "Files_";

// folder + name, with ".xml" appended unless the name already ends in it (so "X" and "X.xml" agree).
std::string LevelFilePath(const std::string& folder, const std::string& name);
// True for the name that stands for "no file".
bool IsSkippedFileName(const std::string& name);
// The file's first maxBytes bytes (the whole file when it is smaller), or false when it is not a regular
// file that can be opened.
bool ReadFileStart(const std::string& path, std::size_t maxBytes, std::string& bytes);
