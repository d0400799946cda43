#include "TextureGenerators.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace
{
const std::string kCommittedFalloff = std::string(GLIMMOCK_SOURCE_DATA) + "/Assets/FalloffCircleLight.png";

int AlphaAt(const TextureImage& image, int x, int y)
{
    return image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 4 + 3];
}
} // namespace

TEST(FalloffTexture, RegeneratedOutputDecodesToTheCommittedPixels)
{
    const std::filesystem::path written =
        std::filesystem::temp_directory_path() / "drawing_tests_falloff.png";
    SaveTexturePng(GenerateFalloffCircleLight(), written.string());
    const TextureImage regenerated = LoadTexturePng(written.string());
    std::filesystem::remove(written);

    const TextureImage committed = LoadTexturePng(kCommittedFalloff);
    ASSERT_EQ(committed.width, 128);
    ASSERT_EQ(committed.height, 128);
    EXPECT_EQ(regenerated.pixels, committed.pixels);
}

TEST(FalloffTexture, IsWhiteAndFadesFromTheCentreToNothingAtTheRim)
{
    const TextureImage image = GenerateFalloffCircleLight();
    ASSERT_EQ(image.pixels.size(), 128u * 128u * 4u);
    for (std::size_t i = 0; i < image.pixels.size(); i += 4)
    {
        ASSERT_EQ(image.pixels[i], 255);
        ASSERT_EQ(image.pixels[i + 1], 255);
        ASSERT_EQ(image.pixels[i + 2], 255);
    }
    EXPECT_GE(AlphaAt(image, 64, 64), 245);
    EXPECT_EQ(AlphaAt(image, 0, 0), 0);
    EXPECT_EQ(AlphaAt(image, 0, 64), 0);
    // Quarter of the way out: (1 - 0.25)^2 of full.
    EXPECT_NEAR(AlphaAt(image, 64 + 16, 64), 255 * 0.5625 * 0.98, 6);
    for (int x = 64; x < 127; ++x)
    {
        EXPECT_GE(AlphaAt(image, x, 64), AlphaAt(image, x + 1, 64));
    }
    EXPECT_EQ(AlphaAt(image, 10, 20), AlphaAt(image, 127 - 10, 127 - 20));
}

TEST(FalloffTexture, GeneratorsAreFoundByName)
{
    ASSERT_NE(FindTextureGenerator("FalloffCircleLight"), nullptr);
    EXPECT_EQ(FindTextureGenerator("NoSuchTexture"), nullptr);
}
