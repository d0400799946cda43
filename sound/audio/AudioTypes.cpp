#include "AudioTypes.h"

#include <cstdio>
#include <cstring>

namespace audio
{

const char* ErrorString(Result result)
{
    switch (result)
    {
    case Result::Ok:
        return "No errors.";
    case Result::InvalidHandle:
        return "An invalid object handle was used.";
    case Result::InvalidParam:
        return "An invalid parameter was passed to this function.";
    case Result::FileNotFound:
        return "File not found.";
    case Result::FileBad:
        return "Error loading file.";
    case Result::BankFormat:
        return "Unsupported file or audio format.";
    case Result::BankVersion:
        return "The bank was built by an incompatible version of the packer.";
    case Result::WaveFormat:
        return "A sound inside the bank could not be decoded.";
    case Result::BankAlreadyLoaded:
        return "The specified bank has already been loaded.";
    case Result::EventNotFound:
        return "The requested event, parameter, bus or vca could not be found.";
    case Result::NotInitialized:
        return "This command failed because System::initialize was not called.";
    case Result::AlreadyInitialized:
        return "Cannot call this command after System::initialize.";
    case Result::HeaderMismatch:
        return "There is a version mismatch between the header and the library.";
    case Result::WrongOutput:
        return "This call needs the manual output.";
    }
    return "Unknown error.";
}

bool Guid::operator==(const Guid& other) const
{
    return data1 == other.data1 && data2 == other.data2 && data3 == other.data3 &&
           std::memcmp(data4, other.data4, sizeof data4) == 0;
}

std::size_t GuidHash::operator()(const Guid& id) const
{
    std::size_t hash = 1469598103934665603ull;
    auto mix = [&hash](std::uint64_t value) { hash = (hash ^ value) * 1099511628211ull; };
    mix(id.data1);
    mix(id.data2);
    mix(id.data3);
    for (std::uint8_t byte : id.data4)
        mix(byte);
    return hash;
}

namespace
{
int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads `digits` hex digits at text[at], or returns false.
bool ReadHex(const char* text, std::size_t at, int digits, std::uint64_t* value)
{
    std::uint64_t result = 0;
    for (int i = 0; i < digits; ++i)
    {
        const int digit = HexValue(text[at + i]);
        if (digit < 0)
            return false;
        result = result * 16 + static_cast<std::uint64_t>(digit);
    }
    *value = result;
    return true;
}
} // namespace

Result ParseID(const char* text, Guid* id)
{
    if (text == nullptr || id == nullptr)
        return Result::InvalidParam;
    // {8-4-4-4-12}: 38 characters with dashes at fixed places.
    static const char kShape[] = "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
    const std::size_t length = std::strlen(text);
    if (length != sizeof kShape - 1)
        return Result::InvalidParam;
    for (std::size_t i = 0; i < length; ++i)
    {
        const char want = kShape[i];
        if (want == 'X' ? HexValue(text[i]) < 0 : text[i] != want)
            return Result::InvalidParam;
    }

    Guid parsed;
    std::uint64_t value = 0;
    ReadHex(text, 1, 8, &value);
    parsed.data1 = static_cast<std::uint32_t>(value);
    ReadHex(text, 10, 4, &value);
    parsed.data2 = static_cast<std::uint16_t>(value);
    ReadHex(text, 15, 4, &value);
    parsed.data3 = static_cast<std::uint16_t>(value);
    const std::size_t byteStarts[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (int i = 0; i < 8; ++i)
    {
        ReadHex(text, byteStarts[i], 2, &value);
        parsed.data4[i] = static_cast<std::uint8_t>(value);
    }
    *id = parsed;
    return Result::Ok;
}

std::string FormatID(const Guid& id)
{
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", id.data1, id.data2,
                  id.data3, id.data4[0], id.data4[1], id.data4[2], id.data4[3], id.data4[4], id.data4[5],
                  id.data4[6], id.data4[7]);
    return text;
}

} // namespace audio
