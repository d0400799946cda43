#include "GraphicsTestFixture.h"
#include "SceneHelpers.h"

#include <SDL.h>
#include <SDL_image.h>

#include <filesystem>

namespace
{
// Saves a w x h surface of the given format filled by the callback as a PNG.
void SavePng(const std::string& path, SDL_Surface* surface)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    ASSERT_EQ(IMG_SavePNG(surface, path.c_str()), 0) << IMG_GetError();
    SDL_FreeSurface(surface);
}

SDL_Surface* RgbSurface()
{
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 2, 1, 24, SDL_PIXELFORMAT_RGB24);
    auto* pixels = static_cast<std::uint8_t*>(surface->pixels);
    const std::uint8_t values[6] = {10, 20, 30, 200, 150, 100};
    std::copy_n(values, 6, pixels);
    return surface;
}

SDL_Surface* RgbaSurface()
{
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 1, 2, 32, SDL_PIXELFORMAT_RGBA32);
    auto* pixels = static_cast<std::uint8_t*>(surface->pixels);
    const std::uint8_t values[4] = {40, 80, 120, 77};
    std::copy_n(values, 4, pixels);
    std::copy_n(values, 4, pixels + surface->pitch);
    pixels[surface->pitch] = 160;
    return surface;
}

SDL_Surface* PalettedSurface()
{
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 2, 1, 8, SDL_PIXELFORMAT_INDEX8);
    SDL_Color colours[2] = {{5, 60, 90, 255}, {250, 128, 7, 255}};
    SDL_SetPaletteColors(surface->format->palette, colours, 0, 2);
    auto* pixels = static_cast<std::uint8_t*>(surface->pixels);
    pixels[0] = 1;
    pixels[1] = 0;
    return surface;
}

std::vector<std::uint8_t> Texels(const Texture& texture)
{
    std::vector<std::uint8_t> texels(static_cast<std::size_t>(texture.width) * texture.height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, texture.glTexture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return texels;
}

// Starts the texture manager again over the current asset folder.
void Restart()
{
    TextureManager::Exit();
    TextureManager::Init();
}
} // namespace

TEST_F(GraphicsTest, AnEmptyAssetFolderGivesTheTwoBuiltInTextures)
{
    std::filesystem::remove_all("Assets");
    Restart();
    EXPECT_EQ(TextureManager::GetTextureCount(), 2u);
    EXPECT_EQ(TextureManager::GetTexture("Default").id, 0u);
    EXPECT_EQ(TextureManager::GetTexture("WhitePixel").id, 1u);
    EXPECT_EQ(Texels(TextureManager::GetTexture("WhitePixel")), std::vector<std::uint8_t>(4, 255));
    const std::vector<std::uint8_t> placeholder = {255, 0,   255, 255, 0,   0, 255, 255,
                                                   0,   255, 0,   255, 255, 0, 0,   255};
    EXPECT_EQ(Texels(TextureManager::GetTexture("Default")), placeholder);

    testing::internal::CaptureStdout();
    Texture& missing = TextureManager::GetTexture("Nowhere");
    Texture& badId = TextureManager::GetTextureById(99);
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(missing.id, 0u);
    EXPECT_EQ(badId.id, 0u);
    EXPECT_NE(output.find("Could not locate texture Nowhere!"), std::string::npos);
    EXPECT_NE(output.find("Could not locate texture 99!"), std::string::npos);
    EXPECT_EQ(TextureManager::GetTextureNameList(), std::string("Default\0WhitePixel\0\0", 20));
}

TEST_F(GraphicsTest, AssetsLoadSortedWithExactTexelsWhateverTheirPixelFormat)
{
    std::filesystem::remove_all("Assets");
    SavePng("Assets/Rgb.png", RgbSurface());
    SavePng("Assets/Paletted.png", PalettedSurface());
    SavePng("Assets/Alpha.png", RgbaSurface());
    SavePng("Assets/Shouting.PNG", RgbSurface());
    GlTestSupport::WriteFile("Assets/Corrupt.png", "not a png at all");
    testing::internal::CaptureStdout();
    Restart();
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_NE(output.find("Unable to load image ./Assets/Corrupt.png! SDL_image Error: "), std::string::npos);

    ASSERT_EQ(TextureManager::GetTextureCount(), 6u) << "the .PNG file is skipped";
    EXPECT_EQ(TextureManager::GetTextureById(2).name, "Alpha");
    EXPECT_EQ(TextureManager::GetTextureById(3).name, "Corrupt");
    EXPECT_EQ(TextureManager::GetTextureById(4).name, "Paletted");
    EXPECT_EQ(TextureManager::GetTextureById(5).name, "Rgb");
    EXPECT_EQ(TextureManager::GetTextureById(3).width, 2u) << "the placeholder stands in";

    const std::vector<std::uint8_t> alpha = {40, 80, 120, 77, 160, 80, 120, 77};
    EXPECT_EQ(Texels(TextureManager::GetTexture("Alpha")), alpha);
    const std::vector<std::uint8_t> rgb = {10, 20, 30, 255, 200, 150, 100, 255};
    EXPECT_EQ(Texels(TextureManager::GetTexture("Rgb")), rgb);
    const std::vector<std::uint8_t> paletted = {250, 128, 7, 255, 5, 60, 90, 255};
    EXPECT_EQ(Texels(TextureManager::GetTexture("Paletted")), paletted);
}

TEST_F(GraphicsTest, ImportingAddsANewIdAndNeverDamagesAFile)
{
    std::filesystem::remove_all("Assets");
    std::filesystem::remove_all("Dropped");
    SavePng("Assets/Ball.png", RgbSurface());
    SavePng("Dropped/Ball.png", PalettedSurface());
    SavePng("Dropped/Fresh.png", PalettedSurface());
    Restart();
    const auto originalSize = std::filesystem::file_size("Assets/Ball.png");

    // Dropping a file that already lies in the asset folder loads it where it is.
    TextureManager::ImportTexture("Ball", "./Assets/Ball.png");
    EXPECT_EQ(std::filesystem::file_size("Assets/Ball.png"), originalSize);
    EXPECT_EQ(TextureManager::GetTextureCount(), 4u);
    EXPECT_EQ(TextureManager::GetTexture("Ball").id, 2u) << "lookups find the lower id";
    EXPECT_EQ(TextureManager::GetTextureById(3).name, "Ball");

    // Another file of that name is not overwritten.
    testing::internal::CaptureStdout();
    TextureManager::ImportTexture("Ball", "Dropped/Ball.png");
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_NE(output.find("ERROR: TextureManager failed to load Texture "), std::string::npos);
    EXPECT_EQ(std::filesystem::file_size("Assets/Ball.png"), originalSize);
    EXPECT_EQ(TextureManager::GetTextureCount(), 4u);

    TextureManager::ImportTexture("Fresh", "Dropped/Fresh.png");
    EXPECT_TRUE(std::filesystem::exists("Assets/Fresh.png"));
    EXPECT_EQ(TextureManager::GetTexture("Fresh").id, 4u);
}
