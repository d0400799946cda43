#pragma once
#include "AudioTypes.h"

#include <cstdint>
#include <string>
#include <vector>

// Our bank file: a little-endian RIFF-style "GBNK" form holding a header ("BKHD"), the events ("EVTS"),
// one chunk per whole WAV file ("WAVE", indexed in file order) and the strings table ("STRS").
// The packer writes it and the audio layer reads it through the same code.
namespace audio
{

inline constexpr std::uint32_t kBankVersion = 1;

enum class BankKind : std::uint32_t
{
    Normal = 0,
    Master = 1,
    Strings = 2,
};

// One point of a layer's gain curve over the event's first parameter.
struct GainPoint
{
    float position = 0.0f;
    float gain = 1.0f;
};

struct LayerRecord
{
    std::vector<std::uint32_t> waves; // the variants, indices of WAVE chunks
    bool loop = false;
    std::vector<GainPoint> gain; // empty: full gain
};

struct ParameterRecord
{
    std::string name;
    float minimum = 0.0f;
    float maximum = 0.0f;
    float defaultValue = 0.0f;
};

struct EventRecord
{
    Guid id;
    std::string path;     // "event:/Category/Name"
    float fadeOut = 0.0f; // seconds
    bool hasParameter = false;
    ParameterRecord parameter;
    std::vector<LayerRecord> layers;
};

struct BankFile
{
    Guid id;
    std::uint32_t version = kBankVersion;
    BankKind kind = BankKind::Normal;
    std::vector<EventRecord> events;
    std::vector<std::vector<std::uint8_t>> waves; // whole WAV files
    std::vector<std::string> strings;             // "{GUID} event:/path"
};

// Serialises a bank; the same input always gives the same bytes.
std::vector<std::uint8_t> WriteBank(const BankFile& bank);
// Parses and checks a bank image; every size is checked against the bytes left before it is used.
Result ReadBank(const std::uint8_t* data, std::size_t size, BankFile* bank);
// The content rules both sides enforce: known kind, layers with valid wave indices, finite numbers,
// a default inside its range, gain points in ascending order.
Result ValidateBank(const BankFile& bank);

} // namespace audio
