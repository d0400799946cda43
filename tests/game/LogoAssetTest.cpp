#include "LogoGenerators.h"
#include "TextureGenerators.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace
{
const std::string kAssets = GLIMMOCK_ASSET_DIR;

// The PNG colour type byte of the header chunk (6 = 8-bit RGBA when the bit depth is 8).
std::pair<int, int> DepthAndColourType(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    char header[26] = {};
    file.read(header, sizeof header);
    return {static_cast<unsigned char>(header[24]), static_cast<unsigned char>(header[25])};
}

const std::uint8_t* At(const TextureImage& image, int x, int y)
{
    return &image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 4];
}

// The share of pixels in the rectangle whose alpha is at least 200.
double FilledShare(const TextureImage& image, int left, int top, int right, int bottom)
{
    int filled = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            filled += At(image, x, y)[3] >= 200 ? 1 : 0;
    return static_cast<double>(filled) / ((right - left) * (bottom - top));
}
} // namespace

TEST(LogoAssets, MakersLogoIsARedMarkWithItsEmblemLeftAndItsBarBelow)
{
    const std::string path = kAssets + "/Torvane_Logo_Red.png";
    EXPECT_EQ(DepthAndColourType(path), (std::pair<int, int>{8, 6}));
    const TextureImage logo = LoadTexturePng(path);
    ASSERT_EQ(logo.width, 1024);
    ASSERT_EQ(logo.height, 247);

    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{0, 0}, {1023, 0}, {1023, 246}})
        EXPECT_EQ(At(logo, x, y)[3], 0) << x << "," << y;
    // Transparent pixels keep the red, so filtering never darkens the edges.
    EXPECT_EQ(At(logo, 1023, 0)[0], 205);
    int left = logo.width;
    int right = -1;
    for (int y = 0; y < logo.height; ++y)
        for (int x = 0; x < logo.width; ++x)
            if (At(logo, x, y)[3] >= 128)
            {
                left = std::min(left, x);
                right = std::max(right, x);
                EXPECT_NEAR(At(logo, x, y)[0], 205, 2);
                EXPECT_NEAR(At(logo, x, y)[1], 35, 2);
            }
    EXPECT_GE(right - left + 1, 0.94 * logo.width);
    EXPECT_NEAR((left + right) / 2.0, logo.width / 2.0, 0.01 * logo.width);

    EXPECT_GT(FilledShare(logo, 20, 180, 200, 246), 0.95) << "emblem";
    EXPECT_GT(FilledShare(logo, 260, 222, 1000, 246), 0.95) << "bar";
    EXPECT_LT(FilledShare(logo, 260, 210, 1000, 216), 0.05) << "a gap between the name and the bar";
}

TEST(LogoAssets, TeamPictureIsOpaqueAndPaleAboveDeepBelow)
{
    const std::string path = kAssets + "/DriftthePaperCrane.png";
    EXPECT_EQ(DepthAndColourType(path), (std::pair<int, int>{8, 6}));
    const TextureImage picture = LoadTexturePng(path);
    ASSERT_EQ(picture.width, 1920);
    ASSERT_EQ(picture.height, 1080);
    long top = 0;
    long bottom = 0;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; x += 7)
        {
            const std::uint8_t* pixel = At(picture, x, y);
            ASSERT_EQ(pixel[3], 255);
            const int brightness = pixel[0] + pixel[1] + pixel[2];
            if (y < picture.height / 4)
                top += brightness;
            if (y >= picture.height * 3 / 4)
                bottom += brightness;
        }
    EXPECT_GT(top, 2 * bottom);
}

TEST(LogoAssets, TheToolRedrawsTheCommittedPixels)
{
    for (const char* name : {"Torvane_Logo_Red", "DriftthePaperCrane"})
    {
        const TextureGenerator* generator = FindTextureGenerator(name);
        ASSERT_NE(generator, nullptr) << name;
        const TextureImage drawn = generator->generate();
        const TextureImage committed = LoadTexturePng(kAssets + "/" + name + ".png");
        EXPECT_EQ(drawn.width, committed.width);
        EXPECT_EQ(drawn.height, committed.height);
        EXPECT_TRUE(drawn.pixels == committed.pixels) << name << " differs from the committed image";
    }
}
