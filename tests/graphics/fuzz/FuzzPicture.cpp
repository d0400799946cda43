// Feeds every input to the checks and the in-memory decoding a dropped picture goes through. The image
// libraries are not instrumented, so this mostly finds hangs and runaway allocations; whatever is accepted
// must come out as whole RGBA rows of the header's size.
#include "PngFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace
{
// Smaller than any GL's limit, so an accepted picture stays within 16 MiB under the fuzzer's memory cap.
constexpr std::uint32_t kFuzzMaxSide = 2048;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    PngFile::Picture picture;
    if (!PngFile::Decode(data, size, kFuzzMaxSide, picture).empty())
    {
        if (!picture.rgba.empty() || picture.width != 0 || picture.height != 0)
            std::abort(); // a refused picture keeps nothing
        return 0;
    }
    PngFile::Size header;
    if (!PngFile::CheckStructure(data, size, header).empty() || header.width != picture.width ||
        header.height != picture.height || picture.width > kFuzzMaxSide || picture.height > kFuzzMaxSide ||
        picture.rgba.size() != std::size_t{picture.width} * picture.height * 4)
        std::abort();
    return 0;
}

#ifdef GLIMMOCK_LIBFUZZER
extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

namespace
{
std::uint32_t ReadBigEndian(const std::uint8_t* bytes)
{
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}
} // namespace

// Mutates as libFuzzer does, then, for every other input, mends the CRC of each chunk that lies inside the
// input, so mutations reach the decoder instead of stopping at the CRC check.
extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize,
                                               unsigned int seed)
{
    size = LLVMFuzzerMutate(data, size, maxSize);
    if ((seed & 1u) == 0)
        return size;
    std::size_t offset = 8;
    while (offset + 12 <= size)
    {
        const std::uint32_t length = ReadBigEndian(data + offset);
        if (length > size - offset - 12)
            break;
        const std::uint32_t crc = PngFile::Crc(data + offset + 4, std::size_t{length} + 4);
        std::uint8_t* stored = data + offset + 8 + length;
        for (int i = 0; i < 4; ++i)
            stored[i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
        offset += std::size_t{length} + 12;
    }
    return size;
}
#endif
