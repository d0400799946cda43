#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The checks a PNG picture from outside (a dropped file, a file of the asset folder) passes before any
// decoder sees it, and its decoding from memory. Nothing here needs a GL context.
namespace PngFile
{
// 8192 x 8192: four bytes a pixel keeps a decoded picture within 256 MiB.
inline constexpr std::uint64_t kMaxPixels = 64ull * 1024 * 1024;

struct Size
{
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// A picture decoded to tightly packed RGBA rows, top row first.
struct Picture
{
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> rgba;
};

// The CRC-32 a chunk carries over its type and data.
std::uint32_t Crc(const std::uint8_t* bytes, std::size_t size);

// Checks the chunk structure: the signature, IHDR first, every chunk inside the file with its CRC right,
// IEND last. Returns an empty text and the header's size when it holds, else what is wrong.
std::string CheckStructure(const std::uint8_t* bytes, std::size_t size, Size& header);

// Checks the structure and the size (at most maxSide each way and kMaxPixels in all), then decodes with
// the PNG decoder alone, so other formats named .png are refused. Returns an empty text on success, else
// why the picture was refused.
std::string Decode(const std::uint8_t* bytes, std::size_t size, std::uint32_t maxSide, Picture& picture);
} // namespace PngFile
