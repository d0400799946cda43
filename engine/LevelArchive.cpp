#include "LevelIArchive.h"

#include <boost/archive/archive_exception.hpp>
#include <boost/archive/impl/basic_xml_grammar.hpp>
#include <boost/archive/xml_oarchive.hpp>
#include <boost/serialization/set.hpp>
#include <boost/serialization/string.hpp>
#include <boost/serialization/vector.hpp>

#include <charconv>
#include <cmath>
#include <iostream>
#include <limits>

namespace
{
// Used when the source cannot tell its size: large enough for any real level, far below a harmful count.
constexpr std::uint64_t kUnknownSourceBound = std::uint64_t{1} << 26;
// The root element every archive starts with.
constexpr const char* kArchiveHeaderName = "boost_serialization";

template <typename T> void WritePlain(LevelOArchive& archive, const char* name, const T& value)
{
    archive << boost::serialization::make_nvp(name, value);
}

template <typename T> T FiniteOrZero(const char* name, T value)
{
    if (std::isfinite(value))
        return value;
    std::cout << "WARNING: the non-finite value of " << name << " is written as 0\n";
    return T{0};
}
} // namespace

// The base is built without the header so that its destructor never checks the closing tag: it would
// throw from a destructor (and end the program) after any read that stopped early or failed. Nested tags
// are checked by ReadNested instead of by the base.
LevelIArchive::LevelIArchive(std::istream& stream_, std::string sourceName_, unsigned int flags)
    : boost::archive::xml_iarchive(stream_, flags | boost::archive::no_header | boost::archive::no_xml_tag_checking),
      stream(stream_),
      sourceName(std::move(sourceName_))
{
    if ((flags & boost::archive::no_header) != 0)
        return;
    try
    {
        init();
    }
    catch (...)
    {
        Rethrow(kArchiveHeaderName, std::current_exception());
    }
}

const std::string& LevelIArchive::LastTagName() const
{
    return gimpl->rv.object_name;
}

std::uint64_t LevelIArchive::BytesLeft() const
{
    if (!stream.good())
        return 0;
    const std::istream::pos_type position = stream.tellg();
    if (position == std::istream::pos_type(-1))
        return kUnknownSourceBound;
    stream.seekg(0, std::ios::end);
    const std::istream::pos_type end = stream.tellg();
    stream.seekg(position);
    if (end == std::istream::pos_type(-1) || end < position)
        return kUnknownSourceBound;
    return static_cast<std::uint64_t>(end - position);
}

void LevelIArchive::BeginElement(const char* name)
{
    ++elementNumber;
    load_start(name);
    if (LastTagName() != name)
        Fail(name, "found element '" + LastTagName() + "'");
}

void LevelIArchive::EndElement(const char* name)
{
    load_end(name);
    if (LastTagName() != name)
        Fail(name, "closed by '" + LastTagName() + "'");
}

void LevelIArchive::Fail(const char* name, const std::string& reason) const
{
    std::string message;
    if (!sourceName.empty())
        message = sourceName + ": ";
    message += "element " + std::to_string(elementNumber) + " '" + name + "': " + reason;
    throw LevelFormatError(message);
}

void FailElement(const LevelIArchive& archive, const char* name, const std::string& reason)
{
    archive.Fail(name, reason);
}

void LevelIArchive::Rethrow(const char* name, std::exception_ptr error) const
{
    try
    {
        std::rethrow_exception(error);
    }
    catch (const LevelFormatError&)
    {
        throw;
    }
    catch (const std::exception& other)
    {
        Fail(name, other.what());
    }
    catch (...)
    {
        Fail(name, "unreadable");
    }
}

void ReadField(LevelIArchive& archive, const char* name, bool& value)
{
    // Read as a number: anything but 0 or 1 is damage, not a silent true.
    int number = 0;
    ReadPlainField(archive, name, number);
    if (number != 0 && number != 1)
        archive.Fail(name, "a bool must be 0 or 1, not " + std::to_string(number));
    value = number == 1;
}

void ReadField(LevelIArchive& archive, const char* name, std::int32_t& value)
{
    ReadPlainField(archive, name, value);
}

void ReadField(LevelIArchive& archive, const char* name, std::uint32_t& value)
{
    // Read wide, so that "-1" or 4294967296 are refused instead of wrapping.
    std::int64_t wide = 0;
    ReadPlainField(archive, name, wide);
    if (wide < 0 || wide > std::numeric_limits<std::uint32_t>::max())
        archive.Fail(name, std::to_string(wide) + " is out of range");
    value = static_cast<std::uint32_t>(wide);
}

void ReadField(LevelIArchive& archive, const char* name, std::int64_t& value)
{
    ReadPlainField(archive, name, value);
}

void ReadField(LevelIArchive& archive, const char* name, std::uint64_t& value)
{
    // Parsed from the text: a stream would turn "-1" into the largest value without complaint.
    std::string text;
    ReadPlainField(archive, name, text);
    std::uint64_t parsed = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, parsed);
    if (text.empty() || error != std::errc() || stop != end)
        archive.Fail(name, "'" + text + "' is not an unsigned number");
    value = parsed;
}

void ReadField(LevelIArchive& archive, const char* name, float& value)
{
    ReadPlainField(archive, name, value);
}

void ReadField(LevelIArchive& archive, const char* name, double& value)
{
    ReadPlainField(archive, name, value);
}

void ReadField(LevelIArchive& archive, const char* name, std::string& value)
{
    ReadPlainField(archive, name, value);
}

std::uint64_t ReadCount(LevelIArchive& archive, const char* name)
{
    std::uint64_t count = 0;
    ReadField(archive, name, count);
    if (count > archive.BytesLeft())
        archive.Fail(name, "count " + std::to_string(count) + " exceeds the bytes left");
    return count;
}

void ReadVector(LevelIArchive& archive, const char* name, std::vector<std::uint32_t>& items)
{
    ReadBoundedCollection(archive, name, items);
}

void ReadVector(LevelIArchive& archive, const char* name, std::vector<std::int32_t>& items)
{
    ReadBoundedCollection(archive, name, items);
}

void ReadVector(LevelIArchive& archive, const char* name, std::vector<std::string>& items)
{
    ReadBoundedCollection(archive, name, items);
}

void ReadSet(LevelIArchive& archive, const char* name, std::set<std::uint32_t>& items)
{
    ReadBoundedCollection(archive, name, items);
}

void WriteField(LevelOArchive& archive, const char* name, bool value)
{
    WritePlain(archive, name, value);
}

void WriteField(LevelOArchive& archive, const char* name, std::int32_t value)
{
    WritePlain(archive, name, value);
}

void WriteField(LevelOArchive& archive, const char* name, std::uint32_t value)
{
    WritePlain(archive, name, value);
}

void WriteField(LevelOArchive& archive, const char* name, std::int64_t value)
{
    WritePlain(archive, name, value);
}

void WriteField(LevelOArchive& archive, const char* name, std::uint64_t value)
{
    WritePlain(archive, name, value);
}

void WriteField(LevelOArchive& archive, const char* name, float value)
{
    WritePlain(archive, name, FiniteOrZero(name, value));
}

void WriteField(LevelOArchive& archive, const char* name, double value)
{
    WritePlain(archive, name, FiniteOrZero(name, value));
}

void WriteField(LevelOArchive& archive, const char* name, const std::string& value)
{
    WritePlain(archive, name, value);
}

void WriteVector(LevelOArchive& archive, const char* name, const std::vector<std::uint32_t>& items)
{
    WritePlain(archive, name, items);
}

void WriteVector(LevelOArchive& archive, const char* name, const std::vector<std::int32_t>& items)
{
    WritePlain(archive, name, items);
}

void WriteVector(LevelOArchive& archive, const char* name, const std::vector<std::string>& items)
{
    WritePlain(archive, name, items);
}

void WriteSet(LevelOArchive& archive, const char* name, const std::set<std::uint32_t>& items)
{
    WritePlain(archive, name, items);
}

bool IsValidElementName(const std::string& name)
{
    // The characters the archive accepts in a name; a name also may not start with a digit, '-' or '.'.
    if (name.empty())
        return false;
    const auto isNameChar = [](char c)
    {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
               c == '-' || c == '.' || c == ':';
    };
    for (char c : name)
    {
        if (!isNameChar(c))
            return false;
    }
    const char first = name.front();
    return !((first >= '0' && first <= '9') || first == '-' || first == '.');
}
