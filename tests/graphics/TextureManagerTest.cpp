#include "DropFile.h"
#include "GraphicsTestFixture.h"
#include "PngBytes.h"
#include "SceneHelpers.h"

#include <SDL.h>
#include <SDL_image.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

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

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The names in the asset folder, sorted.
std::vector<std::string> AssetNames()
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator("Assets"))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

int LineCount(const std::string& text)
{
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
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
    EXPECT_EQ(output, "Unable to load image ./Assets/Corrupt.png! not a PNG file\n");

    ASSERT_EQ(TextureManager::GetTextureCount(), 5u) << "the .PNG and the corrupt file are skipped";
    EXPECT_EQ(TextureManager::GetTextureById(2).name, "Alpha");
    EXPECT_EQ(TextureManager::GetTextureById(3).name, "Paletted");
    EXPECT_EQ(TextureManager::GetTextureById(4).name, "Rgb");

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

TEST_F(GraphicsTest, LookupsBeforeInitGiveThePlaceholderAndUploadsKeepTheirRowsWhateverTheFormat)
{
    TextureManager::Exit();
    testing::internal::CaptureStdout();
    Texture& byName = TextureManager::GetTexture("Ball");
    Texture& byId = TextureManager::GetTextureById(3);
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(output, "Could not locate texture Ball!\nCould not locate texture 3!\n");
    EXPECT_EQ(byName.name, "Default");
    EXPECT_EQ(byName.id, 0u);
    EXPECT_EQ(&byName, &byId);
    Restart();

    // One- and three-byte pixels make rows that are not 4-aligned; each row must arrive whole.
    const std::uint8_t red[6] = {1, 2, 3, 4, 5, 6};
    const std::uint8_t rgb[6] = {10, 20, 30, 40, 50, 60};
    Texture& single = TextureManager::CreateTexture("Glyph", 3, 2, red, GL_RED);
    Texture& column = TextureManager::CreateTexture("Column", 1, 2, rgb, GL_RGB);
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4) << "the caller's alignment is restored";
    const std::vector<std::uint8_t> singleTexels = {1, 0, 0, 255, 2, 0, 0, 255, 3, 0, 0, 255,
                                                    4, 0, 0, 255, 5, 0, 0, 255, 6, 0, 0, 255};
    EXPECT_EQ(Texels(single), singleTexels);
    const std::vector<std::uint8_t> columnTexels = {10, 20, 30, 255, 40, 50, 60, 255};
    EXPECT_EQ(Texels(column), columnTexels);
}

// Every bad file a drop may bring is refused with one message and leaves no trace; sound pictures are
// imported, a corrected file of a refused name is taken later, and the start-up scan skips bad assets.
TEST_F(GraphicsTest, DroppedPicturesAreImportedOnlyWhenWholeAndSound)
{
    using namespace png_bytes;
    std::filesystem::remove_all("Assets");
    std::filesystem::remove_all("Dropped");
    std::filesystem::create_directories("Assets");
    std::filesystem::create_directories("Dropped/a/b");
    Restart();
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    const auto wideSide = static_cast<std::uint32_t>(std::max(20000, maxSide + 1));

    GlTestSupport::WriteFile("Dropped/Shadow.png", TruncatedTransparency());
    GlTestSupport::WriteFile("Dropped/Huge.png", HugeClaim());
    GlTestSupport::WriteFile("Dropped/Wide.png",
                             Picture(wideSide, 1, std::vector<std::uint8_t>(wideSide * 4, 7)));
    SDL_Surface* bitmap = SDL_CreateRGBSurfaceWithFormat(0, 2, 2, 32, SDL_PIXELFORMAT_RGBA32);
    ASSERT_EQ(SDL_SaveBMP(bitmap, "Dropped/Bitmap.png"), 0);
    SDL_FreeSurface(bitmap);
    ASSERT_EQ(mkfifo("Dropped/Pipe.png", 0600), 0);
    std::filesystem::create_directories("Dropped/Folder.png");

    for (const char* name : {"Shadow", "Huge", "Wide", "Bitmap", "Pipe"})
    {
        testing::internal::CaptureStdout();
        DropFile(SplitPath(std::string("./Dropped/") + name + ".png"));
        const std::string output = testing::internal::GetCapturedStdout();
        EXPECT_EQ(LineCount(output), 1) << name << ": " << output;
        EXPECT_EQ(
            output.rfind(std::string("ERROR: TextureManager failed to load Texture ./Dropped/") + name, 0),
            0u)
            << output;
        EXPECT_EQ(TextureManager::GetTextureCount(), 2u) << name;
        EXPECT_TRUE(AssetNames().empty()) << name << " left " << AssetNames().front();
    }
    // A folder named like a picture is not a drop at all.
    testing::internal::CaptureStdout();
    DropFile(SplitPath("./Dropped/Folder.png"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

    // A sound picture is written into the asset folder byte for byte and registered with its pixels.
    const std::vector<std::uint8_t> goodPixels = {200, 100, 50, 255, 1, 2, 3, 4};
    const std::string good = Picture(2, 1, goodPixels);
    GlTestSupport::WriteFile("Dropped/Good.png", good);
    DropFile(SplitPath("./Dropped/Good.png"));
    EXPECT_EQ(ReadFile("Assets/Good.png"), good);
    EXPECT_EQ(Texels(TextureManager::GetTexture("Good")), goodPixels);

    // The refused name is free: its corrected file is imported.
    const std::vector<std::uint8_t> shadowPixels = {0, 0, 0, 128};
    GlTestSupport::WriteFile("Dropped/Shadow.png", Picture(1, 1, shadowPixels));
    DropFile(SplitPath("./Dropped/Shadow.png"));
    EXPECT_EQ(Texels(TextureManager::GetTexture("Shadow")), shadowPixels);

    // Backslashes are part of a Linux file name: the file itself is imported, not one two folders up.
    GlTestSupport::WriteFile("Dropped/Escape.png", Picture(1, 1, {9, 9, 9, 9}));
    const std::vector<std::uint8_t> escapePixels = {60, 70, 80, 90};
    GlTestSupport::WriteFile("Dropped/a/b/..\\..\\Escape.png", Picture(1, 1, escapePixels));
    DropFile(SplitPath("./Dropped/a/b/..\\..\\Escape.png"));
    EXPECT_EQ(Texels(TextureManager::GetTexture("..\\..\\Escape")), escapePixels);
    EXPECT_EQ(AssetNames(), (std::vector<std::string>{"..\\..\\Escape.png", "Good.png", "Shadow.png"}));
    EXPECT_EQ(TextureManager::GetTextureCount(), 5u);

    // Start-up: bad files in the asset folder are skipped, one message each, and never block.
    std::filesystem::copy_file("Dropped/Huge.png", "Assets/Huge.png");
    std::filesystem::copy_file("Dropped/Bitmap.png", "Assets/Bitmap.png");
    GlTestSupport::WriteFile("Assets/Cut.png", TruncatedTransparency());
    ASSERT_EQ(mkfifo("Assets/Pipe.png", 0600), 0);
    std::filesystem::create_directories("Assets/Folder.png");
    testing::internal::CaptureStdout();
    Restart();
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(output, "Unable to load image ./Assets/Bitmap.png! not a PNG file\n"
                      "Unable to load image ./Assets/Cut.png! a chunk runs past the end of the file\n"
                      "Unable to load image ./Assets/Folder.png! not a regular file\n"
                      "Unable to load image ./Assets/Huge.png! more than 67108864 pixels\n"
                      "Unable to load image ./Assets/Pipe.png! not a regular file\n");
    EXPECT_EQ(TextureManager::GetTextureNameList(),
              std::string("Default\0WhitePixel\0..\\..\\Escape\0Good\0Shadow\0\0", 45));
    EXPECT_EQ(Texels(TextureManager::GetTexture("Good")), goodPixels);

    // The pipes and bad files would only slow the later tests' start-ups down.
    std::filesystem::remove_all("Assets");
    std::filesystem::remove_all("Dropped");
    Restart();
}
