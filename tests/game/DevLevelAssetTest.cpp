#include "TextureGenerators.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace
{
const std::string kAssets = GLIMMOCK_ASSET_DIR;

const std::uint8_t* At(const TextureImage& image, int x, int y)
{
    return &image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 4];
}
} // namespace

// The committed rock is 8-bit RGBA and decodes to exactly what the texture tool makes: a purple,
// opaque body with transparent corners.
TEST(DevLevelAssets, PurpleSpaceRockIsTheToolsPurpleRock)
{
    const std::string path = kAssets + "/PurpleSpaceRock.png";
    std::ifstream file(path, std::ios::binary);
    char header[26] = {};
    file.read(header, sizeof header);
    EXPECT_EQ(static_cast<unsigned char>(header[24]), 8);
    EXPECT_EQ(static_cast<unsigned char>(header[25]), 6);

    const TextureGenerator* generator = FindTextureGenerator("PurpleSpaceRock");
    ASSERT_NE(generator, nullptr);
    const TextureImage made = generator->generate();
    const TextureImage committed = LoadTexturePng(path);
    ASSERT_EQ(committed.width, 64);
    ASSERT_EQ(committed.height, 64);
    EXPECT_EQ(committed.pixels, made.pixels);

    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{63, 0}, std::pair{0, 63}, std::pair{63, 63}})
        EXPECT_EQ(At(committed, x, y)[3], 0) << x << "," << y;
    const std::uint8_t* centre = At(committed, 32, 32);
    EXPECT_EQ(centre[3], 255);
    EXPECT_GT(centre[2], centre[1]);
    EXPECT_GT(centre[0], centre[1]);
}
