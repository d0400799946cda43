#include "PngFile.h"

#include <SDL_image.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <memory>

namespace
{
constexpr std::array<std::uint8_t, 8> kSignature = {137, 80, 78, 71, 13, 10, 26, 10};
// Length, type and CRC around every chunk's data.
constexpr std::size_t kChunkFrame = 12;
constexpr std::uint32_t kHeaderLength = 13;
// The PNG format keeps lengths and sizes below 2^31.
constexpr std::uint32_t kLargestValue = 0x7FFFFFFFu;

std::uint32_t ReadBigEndian(const std::uint8_t* bytes)
{
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}

std::array<std::uint32_t, 256> MakeCrcTable()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n)
    {
        std::uint32_t value = n;
        for (int bit = 0; bit < 8; ++bit)
            value = (value & 1u) != 0 ? 0xEDB88320u ^ (value >> 1) : value >> 1;
        table[n] = value;
    }
    return table;
}

bool IsType(const std::uint8_t* type, const char* expected)
{
    return std::memcmp(type, expected, 4) == 0;
}

struct SurfaceDeleter
{
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

std::string ImageError()
{
    return std::string("SDL_image Error: ") + IMG_GetError();
}

void CopyRows(const SDL_Surface& rgba, PngFile::Picture& picture)
{
    const std::size_t rowBytes = static_cast<std::size_t>(picture.width) * 4;
    picture.rgba.resize(rowBytes * picture.height);
    const auto* source = static_cast<const std::uint8_t*>(rgba.pixels);
    // GL reads rows tightly packed; the surface may pad them.
    for (std::uint32_t row = 0; row < picture.height; ++row)
        std::copy_n(source + static_cast<std::size_t>(row) * static_cast<std::size_t>(rgba.pitch), rowBytes,
                    picture.rgba.data() + row * rowBytes);
}
} // namespace

namespace PngFile
{
std::uint32_t Crc(const std::uint8_t* bytes, std::size_t size)
{
    static const std::array<std::uint32_t, 256> table = MakeCrcTable();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i)
        crc = table[(crc ^ bytes[i]) & 0xFFu] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

std::string CheckStructure(const std::uint8_t* bytes, std::size_t size, Size& header)
{
    if (size < kSignature.size() || !std::equal(kSignature.begin(), kSignature.end(), bytes))
        return "not a PNG file";
    std::size_t offset = kSignature.size();
    bool first = true;
    while (offset < size)
    {
        if (size - offset < kChunkFrame)
            return "a chunk runs past the end of the file";
        const std::uint32_t length = ReadBigEndian(bytes + offset);
        const std::uint8_t* type = bytes + offset + 4;
        if (length > kLargestValue || length > size - offset - kChunkFrame)
            return "a chunk runs past the end of the file";
        const std::uint8_t* data = type + 4;
        if (Crc(type, length + 4) != ReadBigEndian(data + length))
            return "a chunk's CRC is wrong";
        if (first)
        {
            if (!IsType(type, "IHDR") || length != kHeaderLength)
                return "the file does not start with its header";
            header.width = ReadBigEndian(data);
            header.height = ReadBigEndian(data + 4);
            if (header.width == 0 || header.height == 0 || header.width > kLargestValue ||
                header.height > kLargestValue)
                return "the header's size is invalid";
            first = false;
        }
        else if (IsType(type, "IHDR"))
            return "a second header";
        offset += kChunkFrame + length;
        if (IsType(type, "IEND"))
            return offset == size ? "" : "data after the end chunk";
    }
    return first ? "no header" : "no end chunk";
}

std::string Decode(const std::uint8_t* bytes, std::size_t size, std::uint32_t maxSide, Picture& picture)
{
    picture = Picture{};
    Size header;
    if (std::string problem = CheckStructure(bytes, size, header); !problem.empty())
        return problem;
    if (header.width > maxSide || header.height > maxSide)
        return "larger than " + std::to_string(maxSide) + " pixels each way";
    if (std::uint64_t{header.width} * header.height > kMaxPixels)
        return "more than " + std::to_string(kMaxPixels) + " pixels";

    if (size > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return "larger than a stream can hold";
    SDL_RWops* stream = SDL_RWFromConstMem(bytes, static_cast<int>(size));
    if (stream == nullptr)
        return ImageError();
    // The PNG decoder alone: content of any other format is refused whatever its name.
    SurfacePtr loaded(IMG_LoadPNG_RW(stream));
    SDL_RWclose(stream);
    if (loaded == nullptr)
        return ImageError();
    if (static_cast<std::uint32_t>(loaded->w) != header.width ||
        static_cast<std::uint32_t>(loaded->h) != header.height)
        return "decoded to a size other than its header's";
    // Every picture becomes four bytes a pixel in memory order, whatever its own format (RGB, paletted...).
    SurfacePtr rgba(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGBA32, 0));
    loaded.reset();
    if (rgba == nullptr)
        return std::string("SDL Error: ") + SDL_GetError();
    if (SDL_LockSurface(rgba.get()) != 0)
        return std::string("SDL Error: ") + SDL_GetError();
    picture.width = header.width;
    picture.height = header.height;
    CopyRows(*rgba, picture);
    SDL_UnlockSurface(rgba.get());
    return "";
}
} // namespace PngFile
