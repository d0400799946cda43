#pragma once
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

// Writes module files from the running world, for tools and tests (the game only reads modules).

// Writes "Modules/<name>.xml" through a checked temporary file, as levels are saved: group i replaces the
// objects tagged tags[i] with the objects of groups[i] (ids of the running world). Parent ids are
// written as 0 (so a load removes no unrelated script) and families as {0}. True when the file was
// replaced; on failure prints an ERROR line and keeps the old file.
bool SaveModule(const std::string& name, const std::vector<std::uint32_t>& tags,
                const std::vector<std::vector<std::uint32_t>>& groups, bool versioned = true);
// Writes the module to a stream.
void SaveModuleTo(std::ostream& out, const std::vector<std::uint32_t>& tags,
                  const std::vector<std::vector<std::uint32_t>>& groups, bool versioned = true);
