#pragma once
// Reading and writing single elements of level archives, without Boost's archive headers.
#include "ArchiveFwd.h"

#include <cstdint>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

// The one error of malformed level data: "element <n> '<name>': <reason>", optionally after the source.
class LevelFormatError : public std::runtime_error
{
  public:
    using std::runtime_error::runtime_error;
};

// Reads one top-level element and throws LevelFormatError when its name is not `name`, its text is not
// a value of the type, or the archive fails. A bool must be 0 or 1.
void ReadField(LevelIArchive& archive, const char* name, bool& value);
void ReadField(LevelIArchive& archive, const char* name, std::int32_t& value);
void ReadField(LevelIArchive& archive, const char* name, std::uint32_t& value);
void ReadField(LevelIArchive& archive, const char* name, std::int64_t& value);
void ReadField(LevelIArchive& archive, const char* name, std::uint64_t& value);
void ReadField(LevelIArchive& archive, const char* name, float& value);
void ReadField(LevelIArchive& archive, const char* name, double& value);
void ReadField(LevelIArchive& archive, const char* name, std::string& value);

// Throws LevelFormatError naming the element `name` at the archive's place and the reason.
[[noreturn]] void FailElement(const LevelIArchive& archive, const char* name, const std::string& reason);

// Reads a count element and rejects one larger than the bytes left in the source, before the caller
// allocates anything for it.
std::uint64_t ReadCount(LevelIArchive& archive, const char* name);

// Reads a collection in Boost's own form (count, item_version, items), rejecting an impossible count
// before anything is allocated.
void ReadVector(LevelIArchive& archive, const char* name, std::vector<std::uint32_t>& items);
void ReadVector(LevelIArchive& archive, const char* name, std::vector<std::int32_t>& items);
void ReadVector(LevelIArchive& archive, const char* name, std::vector<std::string>& items);
void ReadSet(LevelIArchive& archive, const char* name, std::set<std::uint32_t>& items);

// Writes one element. Non-finite floats are written as 0 with a "WARNING" line, because the archive
// cannot read back what it writes for them.
void WriteField(LevelOArchive& archive, const char* name, bool value);
void WriteField(LevelOArchive& archive, const char* name, std::int32_t value);
void WriteField(LevelOArchive& archive, const char* name, std::uint32_t value);
void WriteField(LevelOArchive& archive, const char* name, std::int64_t value);
void WriteField(LevelOArchive& archive, const char* name, std::uint64_t value);
void WriteField(LevelOArchive& archive, const char* name, float value);
void WriteField(LevelOArchive& archive, const char* name, double value);
void WriteField(LevelOArchive& archive, const char* name, const std::string& value);

// Writes a collection in the form ReadVector and ReadSet read.
void WriteVector(LevelOArchive& archive, const char* name, const std::vector<std::uint32_t>& items);
void WriteVector(LevelOArchive& archive, const char* name, const std::vector<std::int32_t>& items);
void WriteVector(LevelOArchive& archive, const char* name, const std::vector<std::string>& items);
void WriteSet(LevelOArchive& archive, const char* name, const std::set<std::uint32_t>& items);

// True when the name can be an XML element name (the archive refuses any other).
bool IsValidElementName(const std::string& name);
