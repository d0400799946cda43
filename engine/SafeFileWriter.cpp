#include "SafeFileWriter.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace
{
void WriteTemporary(const std::string& tempPath, const std::function<void(std::ostream&)>& write)
{
    std::ofstream file(tempPath, std::ios::binary | std::ios::trunc);
    if (!file)
        throw std::runtime_error("cannot open " + tempPath + " for writing");
    // The writer's archive is gone when it returns, so its closing tag is in the stream before close.
    write(file);
    file.close();
    if (file.fail())
        throw std::runtime_error("writing " + tempPath + " failed");
}

std::string ReadBack(const std::string& tempPath)
{
    std::ifstream file(tempPath, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    if (!file)
        throw std::runtime_error("cannot read back " + tempPath);
    return bytes.str();
}
} // namespace

std::string WriteFileChecked(const std::string& path, const std::function<void(std::ostream&)>& write,
                             const std::function<void(const std::string&)>& check)
{
    const std::string tempPath = path + ".tmp";
    try
    {
        WriteTemporary(tempPath, write);
        check(ReadBack(tempPath));
        // Replaces an existing file in one step (MoveFileEx with MOVEFILE_REPLACE_EXISTING on Windows).
        std::filesystem::rename(tempPath, path);
        return "";
    }
    catch (const std::exception& error)
    {
        std::error_code ignored;
        std::filesystem::remove(tempPath, ignored);
        return error.what();
    }
    catch (...)
    {
        std::error_code ignored;
        std::filesystem::remove(tempPath, ignored);
        return "unknown error";
    }
}
