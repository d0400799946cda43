#include "MissingColors.h"

#include "TextureManager.h"

namespace
{
// GL_RGBA, without pulling GL into the game's code.
constexpr std::uint32_t kRgbaFormat = 0x1908;
} // namespace

const std::vector<NamedColorTexture>& MatchColorTextures()
{
    static const std::vector<NamedColorTexture> colors = {
        {"White", {255, 255, 255, 255}},
        {"Green", {0, 255, 0, 255}},
        {"Tan", {255, 200, 128, 255}},
        {"Yellow", {255, 255, 0, 255}},
        {"Lavender", {200, 128, 255, 255}},
        {"Sky Blue", {0, 255, 255, 255}},
        {"Red", {255, 0, 0, 255}},
        {"Dark Blue", {0, 0, 255, 255}},
        {"Gray", {75, 75, 75, 255}},
        {"Light Gray", {128, 128, 128, 255}},
        {"Light Green", {128, 255, 128, 255}},
    };
    return colors;
}

const NamedColorTexture* FindMatchColor(const std::string& name)
{
    for (const NamedColorTexture& color : MatchColorTextures())
        if (name == color.name)
            return &color;
    return nullptr;
}

void CreateMissingColorTextures(const std::vector<std::string>& names)
{
    for (const std::string& name : names)
    {
        const NamedColorTexture* color = FindMatchColor(name);
        if (color == nullptr || TextureManager::FindTexture(name) != nullptr)
            continue;
        TextureManager::CreateTexture(name, 1, 1, color->rgba.data(), kRgbaFormat);
    }
}
