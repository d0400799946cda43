#pragma once
#include "FilePath.h"

#include <functional>
#include <string>

// The calls platform/ makes upward into the sound system and the texture manager, which register them
// when they start, so platform/ never depends on them. An empty hook does nothing.
struct PlatformHooks
{
    // Loads a dropped sound bank.
    static std::function<void(const FilePathParts&)> loadBank;
    // Loads a dropped list of sound event ids.
    static std::function<void(const FilePathParts&)> loadGUIDs;
    // Copies a dropped picture into the texture folder and loads it under its stem.
    static std::function<void(const std::string&, const FilePathParts&)> importTexture;

    // Detaches every hook.
    static void Reset();
};
