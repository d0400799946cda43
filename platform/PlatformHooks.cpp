#include "PlatformHooks.h"

std::function<void(const FilePathParts&)> PlatformHooks::loadBank;
std::function<void(const FilePathParts&)> PlatformHooks::loadGUIDs;
std::function<void(const std::string&, const FilePathParts&)> PlatformHooks::importTexture;

void PlatformHooks::Reset()
{
    loadBank = nullptr;
    loadGUIDs = nullptr;
    importTexture = nullptr;
}
