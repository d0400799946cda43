#include "TextureGenerators.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

// The menus' committed pictures decode to exactly what the texture tool makes, as 8-bit RGBA files, and
// show what the menus rely on.
namespace
{
const std::string kAssets = GLIMMOCK_ASSET_DIR;

std::pair<int, int> DepthAndColourType(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    char header[26] = {};
    file.read(header, sizeof header);
    return {static_cast<unsigned char>(header[24]), static_cast<unsigned char>(header[25])};
}

std::vector<int> At(const TextureImage& image, int x, int y)
{
    const std::uint8_t* p = &image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}
} // namespace

TEST(MenuAssets, CommittedPicturesAreTheToolsPixels)
{
    struct Size
    {
        const char* name;
        int width;
        int height;
    };
    for (const Size& size : {Size{"BG1", 1920, 1080}, Size{"MenuButtonBase", 250, 100}, Size{"MenuLogo", 1024, 256},
                             Size{"MenuBorder", 512, 512}, Size{"MenuBorderDetail", 1024, 64},
                             Size{"MenuPanel", 256, 256}, Size{"MenuBackdrop", 4, 4},
                             Size{"ControlsCard", 1024, 576}, Size{"VictoryOrange", 1024, 512},
                             Size{"VictoryBlue", 1024, 512}})
    {
        SCOPED_TRACE(size.name);
        const std::string path = kAssets + "/" + size.name + ".png";
        EXPECT_EQ(DepthAndColourType(path), (std::pair<int, int>{8, 6}));
        const TextureGenerator* generator = FindTextureGenerator(size.name);
        ASSERT_NE(generator, nullptr);
        const TextureImage made = generator->generate();
        const TextureImage committed = LoadTexturePng(path);
        EXPECT_EQ(made.width, size.width);
        EXPECT_EQ(made.height, size.height);
        ASSERT_EQ(committed.width, made.width);
        ASSERT_EQ(committed.height, made.height);
        EXPECT_TRUE(committed.pixels == made.pixels) << "regenerate with the regenerate_textures target";
    }
}

TEST(MenuAssets, PicturesShowWhatTheMenusNeed)
{
    const TextureImage button = FindTextureGenerator("MenuButtonBase")->generate();
    EXPECT_EQ(At(button, 125, 50), (std::vector<int>{110, 110, 130, 255})) << "grey centre";
    EXPECT_EQ(At(button, 125, 2), (std::vector<int>{255, 255, 255, 255})) << "white rim";
    EXPECT_EQ(At(button, 0, 0)[3], 0) << "transparent corner";

    const TextureImage backdrop = FindTextureGenerator("MenuBackdrop")->generate();
    EXPECT_EQ(At(backdrop, 3, 3), (std::vector<int>{8, 8, 16, 200}));

    const TextureImage sky = FindTextureGenerator("BG1")->generate();
    bool opaque = true;
    for (std::size_t i = 3; i < sky.pixels.size(); i += 4)
        opaque = opaque && sky.pixels[i] == 255;
    EXPECT_TRUE(opaque);
    const std::vector<int> top = At(sky, 5, 1);
    EXPECT_GT(top[2], top[0]) << "navy at the top";

    // The logo's letters: orange on the left half, blue on the right.
    const TextureImage logo = FindTextureGenerator("MenuLogo")->generate();
    int orange = 0;
    int blue = 0;
    for (int y = 0; y < logo.height; ++y)
        for (int x = 0; x < logo.width; ++x)
        {
            const std::vector<int> p = At(logo, x, y);
            if (p[3] < 250)
                continue;
            if (x < logo.width / 2 && p[0] > 200 && p[2] < 100)
                ++orange;
            if (x >= logo.width / 2 && p[2] > 200 && p[0] < 100)
                ++blue;
        }
    EXPECT_GT(orange, 5000);
    EXPECT_GT(blue, 5000);

    const TextureImage bar = FindTextureGenerator("MenuBorderDetail")->generate();
    EXPECT_GT(At(bar, 20, 32)[0], At(bar, 20, 32)[2]) << "orange at the left";
    EXPECT_GT(At(bar, 1000, 32)[2], At(bar, 1000, 32)[0]) << "blue at the right";
}
