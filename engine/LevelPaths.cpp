#include "LevelPaths.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace
{
constexpr const char* kXmlExtension = ".xml";
}

std::string LevelFilePath(const std::string& folder, const std::string& name)
{
    const std::string extension = kXmlExtension;
    const bool hasExtension = name.size() >= extension.size() &&
                              name.compare(name.size() - extension.size(), extension.size(), extension) == 0;
    return folder + name + (hasExtension ? "" : extension);
}

bool IsSkippedFileName(const std::string& name)
{
    return name == kSkippedFileName;
}

bool ReadFileStart(const std::string& path, std::size_t maxBytes, std::string& bytes)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return false;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    // A size we cannot learn still reads at most maxBytes.
    const std::size_t wanted =
        error ? maxBytes : static_cast<std::size_t>(std::min<std::uintmax_t>(size, maxBytes));
    bytes.assign(wanted, '\0');
    file.read(bytes.data(), static_cast<std::streamsize>(wanted));
    if (file.bad())
        return false;
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    return true;
}
