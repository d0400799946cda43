#include "TextureGenerators.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// The match's committed sprites against the tool that makes them.
namespace
{
const std::string kAssets = GLIMMOCK_ASSET_DIR;

struct Expected
{
    std::string name;
    int width;
    int height;
    // A sprite drawn over the scene: its corners must not show.
    bool transparentCorners;
};

const std::vector<Expected> kMatchTextures = {
    {"Human1.1", 80, 144, true},
    {"Human2.1", 80, 144, true},
    {"Astronaut_red_side", 80, 144, true},
    {"Astronaut_blue_side", 80, 144, true},
    {"Balls", 64, 64, true},
    {"Goal_Orange", 64, 160, false},
    {"Goal_Blue", 64, 160, false},
    {"Floor_Rock", 1920, 40, false},
    {"Pedestal_Rock", 100, 80, false},
    {"Floor_Rock_Ledge", 775, 40, false},
    {"Floor_Rock_Island", 230, 40, false},
    {"Platform_Metal", 100, 20, false},
    {"Platform_Orange", 80, 20, false},
    {"Platform_Blue", 80, 20, false},
    {"Platform_Hover", 100, 20, false},
    {"Wall_Steel", 200, 460, false},
    {"Lava", 128, 32, false},
    {"HUD_Panel", 128, 64, true},
    {"HUD_Pip", 64, 64, true},
};

int ColourType(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    char header[26] = {};
    file.read(header, sizeof header);
    // Bit depth 8 and colour type 6 (RGBA).
    return static_cast<unsigned char>(header[24]) * 100 + static_cast<unsigned char>(header[25]);
}

const std::uint8_t* At(const TextureImage& image, int x, int y)
{
    return &image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 4];
}

// Sums of red and blue over the opaque pixels.
std::pair<long, long> RedAndBlue(const TextureImage& image)
{
    long red = 0;
    long blue = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (At(image, x, y)[3] == 255)
            {
                red += At(image, x, y)[0];
                blue += At(image, x, y)[2];
            }
    return {red, blue};
}
} // namespace

TEST(MatchTextures, CommittedFilesAreTheToolsPixelsAtTheTabledSizes)
{
    std::uintmax_t bytes = 0;
    for (const Expected& expected : kMatchTextures)
    {
        SCOPED_TRACE(expected.name);
        const std::string path = kAssets + "/" + expected.name + ".png";
        ASSERT_TRUE(std::filesystem::exists(path));
        bytes += std::filesystem::file_size(path);
        EXPECT_EQ(ColourType(path), 806);
        const TextureGenerator* generator = FindTextureGenerator(expected.name);
        ASSERT_NE(generator, nullptr);
        const TextureImage committed = LoadTexturePng(path);
        const TextureImage fresh = generator->generate();
        EXPECT_EQ(committed.width, expected.width);
        EXPECT_EQ(committed.height, expected.height);
        EXPECT_EQ(fresh.width, committed.width);
        EXPECT_EQ(fresh.height, committed.height);
        EXPECT_TRUE(fresh.pixels == committed.pixels);
        if (!expected.transparentCorners)
            continue;
        for (const auto& [x, y] :
             std::vector<std::pair<int, int>>{{0, 0},
                                              {committed.width - 1, 0},
                                              {0, committed.height - 1},
                                              {committed.width - 1, committed.height - 1}})
            EXPECT_EQ(At(committed, x, y)[3], 0) << x << "," << y;
    }
    EXPECT_LT(bytes, 4u * 1024 * 1024);
}

TEST(MatchTextures, TeamsShareOneFigureInTheirOwnColoursAndTheArenaReadsAsDrawn)
{
    const TextureImage orange = FindTextureGenerator("Human1.1")->generate();
    const TextureImage blue = FindTextureGenerator("Human2.1")->generate();
    const TextureImage red = FindTextureGenerator("Astronaut_red_side")->generate();
    ASSERT_EQ(orange.pixels.size(), blue.pixels.size());
    int figure = 0;
    for (std::size_t i = 3; i < orange.pixels.size(); i += 4)
    {
        ASSERT_EQ(orange.pixels[i], blue.pixels[i]) << "pixel " << i / 4;
        ASSERT_EQ(orange.pixels[i], red.pixels[i]) << "pixel " << i / 4;
        figure += orange.pixels[i] == 255 ? 1 : 0;
    }
    // A figure, not a box: between a fifth and two thirds of the frame.
    EXPECT_GT(figure, 80 * 144 / 5);
    EXPECT_LT(figure, 80 * 144 * 2 / 3);
    const auto [orangeRed, orangeBlue] = RedAndBlue(orange);
    const auto [blueRed, blueBlue] = RedAndBlue(blue);
    EXPECT_GT(orangeRed, orangeBlue);
    EXPECT_GT(blueBlue, blueRed);
    // The figure faces +x: the dark visor is right of the helmet's centre, the backpack's grey left.
    const auto luma = [](const std::uint8_t* p) { return p[0] * 0.3 + p[1] * 0.59 + p[2] * 0.11; };
    EXPECT_LT(luma(At(orange, 56, 32)), 90.0);
    EXPECT_GT(luma(At(orange, 32, 30)), 180.0);

    // The ball: a bright core, violet body (blue and red over green), nothing at the rim.
    const TextureImage ball = FindTextureGenerator("Balls")->generate();
    EXPECT_GT(At(ball, 32, 32)[1], 200);
    const std::uint8_t* body = At(ball, 32, 12);
    EXPECT_GT(body[2], body[1] + 100);
    EXPECT_GT(body[0], body[1]);
    EXPECT_EQ(At(ball, 0, 32)[3], 0);
    EXPECT_EQ(At(ball, 32, 63)[3], 0);

    // Goals: an opaque frame round a fill near alpha 0.3, each in its team colour.
    const TextureImage goalOrange = FindTextureGenerator("Goal_Orange")->generate();
    const TextureImage goalBlue = FindTextureGenerator("Goal_Blue")->generate();
    EXPECT_EQ(At(goalOrange, 2, 80)[3], 255);
    EXPECT_NEAR(At(goalOrange, 32, 84)[3], 77, 30);
    EXPECT_GT(RedAndBlue(goalOrange).first, RedAndBlue(goalOrange).second);
    EXPECT_GT(RedAndBlue(goalBlue).second, RedAndBlue(goalBlue).first);

    // The wall mirrors exactly; the lava is opaque; the floor's lip is lighter than its body.
    const TextureImage wall = FindTextureGenerator("Wall_Steel")->generate();
    for (int y = 0; y < wall.height; y += 7)
        for (int x = 0; x < wall.width / 2; ++x)
            ASSERT_EQ(std::vector<std::uint8_t>(At(wall, x, y), At(wall, x, y) + 4),
                      std::vector<std::uint8_t>(At(wall, wall.width - 1 - x, y),
                                                At(wall, wall.width - 1 - x, y) + 4))
                << x << "," << y;
    const TextureImage lava = FindTextureGenerator("Lava")->generate();
    for (std::size_t i = 3; i < lava.pixels.size(); i += 4)
        ASSERT_EQ(lava.pixels[i], 255);
    const TextureImage floor = FindTextureGenerator("Floor_Rock")->generate();
    EXPECT_GT(luma(At(floor, 500, 1)), luma(At(floor, 500, 30)));

    // The HUD's pip is white with a clear margin; its panel is see-through.
    const TextureImage pip = FindTextureGenerator("HUD_Pip")->generate();
    EXPECT_EQ(At(pip, 32, 32)[3], 255);
    EXPECT_EQ(At(pip, 32, 2)[3], 0);
    const TextureImage panel = FindTextureGenerator("HUD_Panel")->generate();
    EXPECT_GT(At(panel, 64, 32)[3], 100);
    EXPECT_LT(At(panel, 64, 32)[3], 240);
}
