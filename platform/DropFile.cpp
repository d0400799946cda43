#include "DropFile.h"

#include "PlatformHooks.h"

#include <filesystem>
#include <system_error>

namespace
{
// Matched exactly: a different letter case is a different file to the game.
constexpr const char* kGuidListStem = "GUIDs";
constexpr const char* kTextExtension = ".txt";
constexpr const char* kBankExtension = ".bank";
constexpr const char* kPictureExtension = ".png";
} // namespace

void DropFile(const FilePathParts& parts)
{
    // A folder is never imported, whatever its name.
    std::error_code error;
    if (std::filesystem::is_directory(JoinPath(parts), error))
        return;
    if (parts.extension == kTextExtension)
    {
        if (parts.stem == kGuidListStem && PlatformHooks::loadGUIDs)
            PlatformHooks::loadGUIDs(parts);
    }
    else if (parts.extension == kBankExtension)
    {
        if (PlatformHooks::loadBank)
            PlatformHooks::loadBank(parts);
    }
    else if (parts.extension == kPictureExtension)
    {
        if (PlatformHooks::importTexture)
            PlatformHooks::importTexture(parts.stem, parts);
    }
}
