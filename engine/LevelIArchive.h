#pragma once
// The input archive every Load takes. Heavy: include it only in the .cpp files that read archives.
#include "LevelArchive.h"

#include <boost/archive/xml_iarchive.hpp>
#include <boost/serialization/nvp.hpp>

#include <cstdint>
#include <exception>
#include <istream>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

// Boost's XML input archive, made strict: Boost skips the element-name check for top-level elements,
// and every element of our files is top-level, so the name is checked here for each element read.
class LevelIArchive : public boost::archive::xml_iarchive
{
  public:
    // Reads the archive header from the stream; sourceName (a file name) prefixes every error message.
    // A stream that holds no archive throws LevelFormatError. The closing tag is never checked.
    explicit LevelIArchive(std::istream& stream, std::string sourceName = {}, unsigned int flags = 0);

    // The name of the tag the parser read last.
    const std::string& LastTagName() const;
    // The bytes between the read position and the end of the source (a large bound when unknown).
    std::uint64_t BytesLeft() const;
    // The name of the source, empty for a stream without one.
    const std::string& SourceName() const { return sourceName; }

    // Opens a top-level element and checks its name.
    void BeginElement(const char* name);
    // Closes the element opened last and checks its name.
    void EndElement(const char* name);
    // Reads the text of the open element as a plain value.
    template <typename T> void ReadValue(T& value) { this->load(value); }
    // Reads a nested element (inside an open one) by name, checking both of its tags. Boost's own check of
    // nested closing tags reads past the expected name when the file's name is longer, so it is off and
    // this one stands in for it.
    // A class value (a std::pair of a map) is read by Boost, which then leaves its own members unchecked.
    template <typename T> void ReadNested(const char* name, T& value)
    {
        if constexpr (std::is_arithmetic_v<T> || std::is_same_v<T, std::string>)
        {
            load_start(name);
            CheckNestedTag(name);
            this->load(value);
            load_end(name);
        }
        else
        {
            *this >> boost::serialization::make_nvp(name, value);
        }
        CheckNestedTag(name);
    }

    // Throws LevelFormatError naming the current element and the reason.
    [[noreturn]] void Fail(const char* name, const std::string& reason) const;
    // Throws LevelFormatError for an exception met while reading the element `name`; a LevelFormatError
    // passes unchanged.
    [[noreturn]] void Rethrow(const char* name, std::exception_ptr error) const;
    // The 1-based number of the element being read, for messages.
    std::uint64_t ElementNumber() const { return elementNumber; }

  private:
    // Throws (for the enclosing element to report) when the tag read last is not `name`.
    void CheckNestedTag(const char* name) const
    {
        if (LastTagName() != name)
            throw std::runtime_error("found '" + LastTagName() + "' where '" + name + "' belongs");
    }

    std::istream& stream;
    std::string sourceName;
    std::uint64_t elementNumber = 0;
};

// Reads one element of any type Boost can load as a plain value, with the name check.
template <typename T> void ReadPlainField(LevelIArchive& archive, const char* name, T& value)
{
    try
    {
        archive.BeginElement(name);
        archive.ReadValue(value);
        archive.EndElement(name);
    }
    catch (...)
    {
        archive.Rethrow(name, std::current_exception());
    }
}

// Reads a collection in Boost's form into any container with push_back, checking the count against the
// bytes left before anything is allocated.
template <typename Container>
void ReadBoundedCollection(LevelIArchive& archive, const char* name, Container& items)
{
    try
    {
        archive.BeginElement(name);
        std::uint64_t count = 0;
        archive.ReadNested("count", count);
        if (count > archive.BytesLeft())
            archive.Fail(name, "count " + std::to_string(count) + " exceeds the bytes left");
        unsigned int itemVersion = 0;
        archive.ReadNested("item_version", itemVersion);
        Container read;
        for (std::uint64_t i = 0; i < count; ++i)
        {
            typename Container::value_type item{};
            archive.ReadNested("item", item);
            read.insert(read.end(), std::move(item));
        }
        archive.EndElement(name);
        items = std::move(read);
    }
    catch (...)
    {
        archive.Rethrow(name, std::current_exception());
    }
}
