#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// The plain types of our audio layer: results, GUIDs, parameter descriptions and playback states.
namespace audio
{

// The header version a caller of System::create states; a different one is refused.
inline constexpr unsigned int kHeaderVersion = 0x11000;

// Every call returns one of these; the numbers are stable and printed in error lines.
enum class Result : int
{
    Ok = 0,
    InvalidHandle = 1,
    InvalidParam = 2,
    FileNotFound = 3,
    FileBad = 4,
    BankFormat = 5,
    BankVersion = 6,
    WaveFormat = 7,
    BankAlreadyLoaded = 8,
    EventNotFound = 9,
    NotInitialized = 10,
    AlreadyInitialized = 11,
    HeaderMismatch = 12,
    WrongOutput = 13,
};

// One fixed text per result.
const char* ErrorString(Result result);

// A 128-bit id, fields in the order its text form shows them.
struct Guid
{
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::uint8_t data4[8] = {};

    bool operator==(const Guid& other) const;
    bool operator!=(const Guid& other) const { return !(*this == other); }
};

struct GuidHash
{
    std::size_t operator()(const Guid& id) const;
};

// Parses exactly "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" (hex digits); on failure *id is left unchanged.
Result ParseID(const char* text, Guid* id);
// The text form ParseID accepts, upper-case hex.
std::string FormatID(const Guid& id);

// An event's first parameter, as createInstance's instances see it.
struct ParameterDescription
{
    std::string name;
    int index = 0;
    float minimum = 0.0f;
    float maximum = 0.0f;
    float defaultValue = 0.0f;
    int type = 0;
};

enum class PlaybackState : int
{
    Playing,
    Sustaining,
    Stopped,
    Starting,
    Stopping,
};

enum class StopMode : int
{
    AllowFadeout = 0,
    Immediate,
};

} // namespace audio
