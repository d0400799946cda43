// bankpack: writes the game's sound banks and event-id list from one manifest.
// Usage: bankpack <manifest> <WAV folder> <output folder>
#include "BankManifest.h"

#include <cstdio>
#include <fstream>
#include <sstream>

int main(int argc, char** argv)
{
    if (argc != 4)
    {
        std::fprintf(stderr, "usage: bankpack <manifest> <WAV folder> <output folder>\n");
        return 2;
    }
    std::ifstream file(argv[1]);
    if (!file)
    {
        std::fprintf(stderr, "bankpack: cannot read %s\n", argv[1]);
        return 1;
    }
    std::stringstream text;
    text << file.rdbuf();

    BankManifest manifest;
    std::string error;
    if (!ParseBankManifest(text.str(), &manifest, &error) || !PackBanks(manifest, argv[2], argv[3], &error))
    {
        std::fprintf(stderr, "bankpack: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
