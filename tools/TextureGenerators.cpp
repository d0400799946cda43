#include "TextureGenerators.h"

#include "CreditsGenerator.h"
#include "LogoGenerators.h"
#include "MenuTextureGenerators.h"
#include "MatchTextureGenerators.h"
#include "SpaceRockGenerator.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace
{
constexpr int kFalloffSize = 128;
constexpr double kFalloffRadius = 64.0;
} // namespace

TextureImage MakeImage(int width, int height)
{
    TextureImage image;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<std::size_t>(width) * height * 4, 0);
    return image;
}

std::uint8_t ToByte(double value)
{
    return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

TextureImage GenerateFalloffCircleLight()
{
    TextureImage image = MakeImage(kFalloffSize, kFalloffSize);
    const double centre = kFalloffSize / 2.0;
    for (int y = 0; y < kFalloffSize; ++y)
    {
        for (int x = 0; x < kFalloffSize; ++x)
        {
            // Distances are measured from pixel centres, so the image is symmetric in both axes.
            const double dx = x + 0.5 - centre;
            const double dy = y + 0.5 - centre;
            const double r = std::min(std::sqrt(dx * dx + dy * dy) / kFalloffRadius, 1.0);
            const double falloff = (1.0 - r) * (1.0 - r);
            std::uint8_t* pixel = &image.pixels[(static_cast<std::size_t>(y) * kFalloffSize + x) * 4];
            pixel[0] = pixel[1] = pixel[2] = 255;
            pixel[3] = static_cast<std::uint8_t>(std::lround(255.0 * falloff));
        }
    }
    return image;
}

const std::vector<TextureGenerator>& TextureGenerators()
{
    static const std::vector<TextureGenerator> generators = {
        {"FalloffCircleLight", &GenerateFalloffCircleLight},
        {"Torvane_Logo_Red", &GenerateTorvaneLogoRed},
        {"DriftthePaperCrane", &GenerateDriftThePaperCrane},
        {"BG1", &GenerateBG1},
        {"MenuButtonBase", &GenerateMenuButtonBase},
        {"MenuLogo", &GenerateMenuLogo},
        {"MenuBorder", &GenerateMenuBorder},
        {"MenuBorderDetail", &GenerateMenuBorderDetail},
        {"MenuPanel", &GenerateMenuPanel},
        {"MenuBackdrop", &GenerateMenuBackdrop},
        {"ControlsCard", &GenerateControlsCard},
        {"VictoryOrange", &GenerateVictoryOrange},
        {"VictoryBlue", &GenerateVictoryBlue},
        {"Human1.1", &GenerateAstronautOrange},
        {"Human2.1", &GenerateAstronautBlue},
        {"Astronaut_red_side", &GenerateAstronautRed},
        {"Astronaut_blue_side", &GenerateAstronautDeepBlue},
        {"Balls", &GenerateBalls},
        {"Goal_Orange", &GenerateGoalOrange},
        {"Goal_Blue", &GenerateGoalBlue},
        {"Floor_Rock", &GenerateFloorRock},
        {"Pedestal_Rock", &GeneratePedestalRock},
        {"Floor_Rock_Ledge", &GenerateFloorRockLedge},
        {"Floor_Rock_Island", &GenerateFloorRockIsland},
        {"Platform_Metal", &GeneratePlatformMetal},
        {"Platform_Orange", &GeneratePlatformOrange},
        {"Platform_Blue", &GeneratePlatformBlue},
        {"Platform_Hover", &GeneratePlatformHover},
        {"Wall_Steel", &GenerateWallSteel},
        {"Lava", &GenerateLava},
        {"HUD_Panel", &GenerateHudPanel},
        {"HUD_Pip", &GenerateHudPip},
        {"PurpleSpaceRock", &GeneratePurpleSpaceRock},
        {"credits", &GenerateCredits},
    };
    return generators;
}

const TextureGenerator* FindTextureGenerator(const std::string& name)
{
    for (const TextureGenerator& generator : TextureGenerators())
    {
        if (generator.name == name)
        {
            return &generator;
        }
    }
    return nullptr;
}

void SaveTexturePng(const TextureImage& image, const std::string& path)
{
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormat(0, image.width, image.height, 32, SDL_PIXELFORMAT_RGBA32);
    if (surface == nullptr)
    {
        throw std::runtime_error(std::string("Could not create a surface: ") + SDL_GetError());
    }
    const auto* source = image.pixels.data();
    auto* target = static_cast<std::uint8_t*>(surface->pixels);
    for (int y = 0; y < image.height; ++y)
    {
        std::memcpy(target + static_cast<std::size_t>(y) * surface->pitch,
                    source + static_cast<std::size_t>(y) * image.width * 4,
                    static_cast<std::size_t>(image.width) * 4);
    }
    const int result = IMG_SavePNG(surface, path.c_str());
    SDL_FreeSurface(surface);
    if (result != 0)
    {
        throw std::runtime_error("Could not write " + path + ": " + IMG_GetError());
    }
}

TextureImage LoadTexturePng(const std::string& path)
{
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (loaded == nullptr)
    {
        throw std::runtime_error("Could not read " + path + ": " + IMG_GetError());
    }
    SDL_Surface* rgba = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
    if (rgba == nullptr)
    {
        throw std::runtime_error("Could not convert " + path + ": " + SDL_GetError());
    }
    TextureImage image = MakeImage(rgba->w, rgba->h);
    const auto* source = static_cast<const std::uint8_t*>(rgba->pixels);
    for (int y = 0; y < rgba->h; ++y)
    {
        std::memcpy(&image.pixels[static_cast<std::size_t>(y) * rgba->w * 4],
                    source + static_cast<std::size_t>(y) * rgba->pitch,
                    static_cast<std::size_t>(rgba->w) * 4);
    }
    SDL_FreeSurface(rgba);
    return image;
}
