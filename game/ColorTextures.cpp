#include "ColorTextures.h"

#include "TextureManager.h"

#include <array>
#include <cstdint>

namespace
{
constexpr std::uint32_t kRgba = 0x1908; // GL_RGBA

struct ColorTexture
{
    const char* name;
    std::array<std::uint8_t, 4> rgba;
};

// "Sky Blue" is (0, 255, 255) as the blocks were tuned with, whatever its name suggests.
constexpr std::array<ColorTexture, 11> kColorTextures = {{
    {kColorWhite, {255, 255, 255, 255}},
    {kColorGreen, {0, 255, 0, 255}},
    {kColorTan, {255, 200, 128, 255}},
    {kColorYellow, {255, 255, 0, 255}},
    {kColorLavender, {200, 128, 255, 255}},
    {kColorSkyBlue, {0, 255, 255, 255}},
    {kColorRed, {255, 0, 0, 255}},
    {kColorDarkBlue, {0, 0, 255, 255}},
    {kColorGray, {75, 75, 75, 255}},
    {kColorLightGray, {128, 128, 128, 255}},
    {kColorLightGreen, {128, 255, 128, 255}},
}};
} // namespace

void LoadColorTextures()
{
    // No pixels: the manager's own 2x2 placeholder.
    TextureManager::CreateTexture(TextureManager::kDefaultName, TextureManager::kInvalidSize,
                                  TextureManager::kInvalidSize, nullptr, kRgba);
    for (const ColorTexture& color : kColorTextures)
        TextureManager::CreateTexture(color.name, 1, 1, color.rgba.data(), kRgba);
    TextureManager::LoadTexture(kPlayer1TextureName, kPlayer1TextureFile);
    TextureManager::LoadTexture(kPlayer2TextureName, kPlayer2TextureFile);
}

void CreateMissingColorTextures(const std::vector<std::string>& names)
{
    for (const std::string& name : names)
        for (const ColorTexture& color : kColorTextures)
            if (name == color.name && TextureManager::FindTexture(name) == nullptr)
                TextureManager::CreateTexture(name, 1, 1, color.rgba.data(), kRgba);
}
