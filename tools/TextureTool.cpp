// Writes the game's generated textures as PNG files.
// Usage: texture_tool <output folder> [texture names...]   (no names: every texture)
#include "TextureGenerators.h"

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "Usage: %s <output folder> [texture names...]\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];

    std::vector<const TextureGenerator*> chosen;
    for (int i = 2; i < argc; ++i)
    {
        const TextureGenerator* generator = FindTextureGenerator(argv[i]);
        if (generator == nullptr)
        {
            std::fprintf(stderr, "Unknown texture: %s\n", argv[i]);
            return 2;
        }
        chosen.push_back(generator);
    }
    if (chosen.empty())
    {
        for (const TextureGenerator& generator : TextureGenerators())
        {
            chosen.push_back(&generator);
        }
    }

    try
    {
        for (const TextureGenerator* generator : chosen)
        {
            const std::string path = folder + "/" + generator->name + ".png";
            SaveTexturePng(generator->generate(), path);
            std::printf("Wrote %s\n", path.c_str());
        }
    }
    catch (const std::exception& error)
    {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
