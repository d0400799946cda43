#include "FilePath.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <limits>

FilePathParts SplitPath(const std::string& path)
{
    FilePathParts parts;
    if (path.size() < 3)
        return parts;

    std::string normalised = path;
#ifdef _WIN32
    std::replace(normalised.begin(), normalised.end(), '\\', '/');
#endif

    const std::size_t slash = normalised.rfind('/');
    const std::size_t fileStart = slash == std::string::npos ? 0 : slash + 1;
    parts.directory = normalised.substr(0, fileStart);

    const std::string file = normalised.substr(fileStart);
    const std::size_t dot = file.rfind('.');
    if (dot == std::string::npos)
    {
        // A name without a dot has no extension.
        parts.stem = file;
        return parts;
    }
    parts.stem = file.substr(0, dot);
    parts.extension = file.substr(dot);
    return parts;
}

std::string JoinPath(const FilePathParts& parts)
{
    return parts.directory + parts.stem + parts.extension;
}

std::string ReadRegularFile(const std::string& path, std::uintmax_t maxBytes,
                            std::vector<std::uint8_t>& bytes)
{
    bytes.clear();
    try
    {
        // Opening a pipe would wait for a writer and a folder cannot be read, so only regular files are
        // opened.
        std::error_code error;
        if (!std::filesystem::is_regular_file(path, error))
            return "not a regular file";
        const std::uintmax_t size = std::filesystem::file_size(path, error);
        if (error)
            return "cannot read its size";
        if (size > maxBytes)
            return "larger than " + std::to_string(maxBytes) + " bytes";
        std::ifstream in(path, std::ios::binary);
        if (!in)
            return "cannot be opened";
        bytes.resize(static_cast<std::size_t>(size));
        in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        // A file that changed size since it was measured is not the file that was checked.
        if (static_cast<std::uintmax_t>(in.gcount()) != size || in.peek() != std::char_traits<char>::eof())
        {
            bytes.clear();
            return "changed while it was read";
        }
        return "";
    }
    catch (const std::exception& failure)
    {
        bytes.clear();
        return failure.what();
    }
}

int CopyFileContents(const std::string& source, const std::string& destination)
{
    try
    {
        // Read everything before opening the destination, so copying a file onto itself never empties it.
        std::vector<std::uint8_t> bytes;
        if (!ReadRegularFile(source, std::numeric_limits<std::uintmax_t>::max(), bytes).empty())
            return 0;
        std::ofstream out(destination, std::ios::binary | std::ios::trunc);
        if (!out)
            return 0;
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        return out.good() ? 1 : 0;
    }
    catch (...)
    {
        return 0;
    }
}
