#include "PngFile.h"
#include "PngBytes.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>

namespace
{
using namespace png_bytes;

const std::uint8_t* Bytes(const std::string& file)
{
    return reinterpret_cast<const std::uint8_t*>(file.data());
}

std::string Check(const std::string& file)
{
    PngFile::Size header;
    return PngFile::CheckStructure(Bytes(file), file.size(), header);
}

std::string Decode(const std::string& file, std::uint32_t maxSide, PngFile::Picture& picture)
{
    return PngFile::Decode(Bytes(file), file.size(), maxSide, picture);
}

// A 2 x 2 BMP, as a drop may bring under a .png name.
std::string Bitmap()
{
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 2, 2, 32, SDL_PIXELFORMAT_RGBA32);
    std::vector<char> buffer(4096);
    SDL_RWops* out = SDL_RWFromMem(buffer.data(), static_cast<int>(buffer.size()));
    SDL_SaveBMP_RW(surface, out, 0);
    const auto size = static_cast<std::size_t>(SDL_RWtell(out));
    SDL_RWclose(out);
    SDL_FreeSurface(surface);
    return std::string(buffer.data(), size);
}
} // namespace

TEST(PngFile, DecodesSoundPicturesToExactRgbaRows)
{
    const std::vector<std::uint8_t> rgba = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    PngFile::Picture picture;
    ASSERT_EQ(Decode(Picture(2, 2, rgba), 2, picture), "");
    EXPECT_EQ(picture.width, 2u);
    EXPECT_EQ(picture.height, 2u);
    EXPECT_EQ(picture.rgba, rgba);

    // Three-byte pixels gain an opaque alpha; odd row lengths come out tightly packed.
    const std::vector<std::uint8_t> rgb = {10, 20, 30, 40, 50, 60, 70, 80, 90};
    ASSERT_EQ(Decode(Picture(1, 3, rgb, 2), 8, picture), "");
    EXPECT_EQ(picture.rgba, (std::vector<std::uint8_t>{10, 20, 30, 255, 40, 50, 60, 255, 70, 80, 90, 255}));
}

TEST(PngFile, RefusesEveryStructuralFaultBeforeAnyDecoderSeesIt)
{
    const std::string good = Picture(1, 1, {9, 9, 9, 9});
    const std::string idat = Chunk("IDAT", Stored(std::string(5, '\0')));
    const std::string end = Chunk("IEND", "");
    std::string badCrc = good;
    badCrc[40] ^= 1;
    std::string wrapping = Signature() + Header(1, 1);
    AppendBigEndian(wrapping, 0xFFFFFFF8u);
    wrapping += "tEXt" + std::string(20, 'a');

    struct Case
    {
        const char* what;
        std::string file;
        const char* problem;
    };
    const Case cases[] = {
        {"empty", "", "not a PNG file"},
        {"a bitmap", Bitmap(), "not a PNG file"},
        {"a GIF", "GIF89a" + std::string(40, '\0'), "not a PNG file"},
        {"the signature alone", Signature(), "no header"},
        {"a transparency chunk past the end", TruncatedTransparency(),
         "a chunk runs past the end of the file"},
        {"a length that wraps the offset", wrapping, "a chunk runs past the end of the file"},
        {"a cut chunk frame", good.substr(0, good.size() - 3), "a chunk runs past the end of the file"},
        {"a wrong CRC", badCrc, "a chunk's CRC is wrong"},
        {"text before the header", Signature() + Chunk("tEXt", "a") + Header(1, 1) + idat + end,
         "the file does not start with its header"},
        {"a short header", Signature() + Chunk("IHDR", std::string(12, '\1')) + idat + end,
         "the file does not start with its header"},
        {"zero width", Signature() + Header(0, 1) + idat + end, "the header's size is invalid"},
        {"a height of 2^31", Signature() + Header(1, 0x80000000u) + idat + end,
         "the header's size is invalid"},
        {"two headers", Signature() + Header(1, 1) + Header(1, 1) + idat + end, "a second header"},
        {"no end chunk", Signature() + Header(1, 1) + idat, "no end chunk"},
        {"bytes after the end chunk", good + "x", "data after the end chunk"},
    };
    for (const Case& test : cases)
    {
        EXPECT_EQ(Check(test.file), test.problem) << test.what;
        PngFile::Picture picture;
        EXPECT_EQ(Decode(test.file, 16384, picture), test.problem) << test.what;
        EXPECT_TRUE(picture.rgba.empty() && picture.width == 0) << test.what;
    }
    EXPECT_EQ(TruncatedTransparency().size(), 85u);
    EXPECT_EQ(Check(good), "");
    EXPECT_EQ(PngFile::Crc(Bytes("IEND"), 4), 0xAE426082u) << "the value every PNG ends with";
}

TEST(PngFile, RefusesSizesBeyondTheLimitsAndContentTheDecoderRejects)
{
    PngFile::Picture picture;
    // A sound structure that claims a gigabyte of pixels is refused without decoding.
    const std::string huge = HugeClaim();
    EXPECT_EQ(huge.size(), 68u);
    EXPECT_EQ(Check(huge), "");
    EXPECT_EQ(Decode(huge, 16384, picture), "more than 67108864 pixels");

    const std::string wide = Picture(20000, 1, std::vector<std::uint8_t>(80000, 200));
    EXPECT_EQ(Decode(wide, 16384, picture), "larger than 16384 pixels each way");
    const std::string tall = Picture(1, 5, std::vector<std::uint8_t>(20, 200));
    EXPECT_EQ(Decode(tall, 4, picture), "larger than 4 pixels each way");
    EXPECT_EQ(Decode(tall, 5, picture), "") << "the limit itself is allowed";
    EXPECT_EQ(picture.rgba.size(), 20u);

    // Sound chunks around pixel data that is not a zlib stream: the decoder's own error, nothing kept.
    const std::string garbled =
        Signature() + Header(2, 2) + Chunk("IDAT", "not deflate at all") + Chunk("IEND", "");
    const std::string problem = Decode(garbled, 16384, picture);
    EXPECT_EQ(problem.rfind("SDL_image Error: ", 0), 0u) << problem;
    EXPECT_TRUE(picture.rgba.empty());
}
