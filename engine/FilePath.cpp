#include "FilePath.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

FilePathParts SplitPath(const std::string& path)
{
    FilePathParts parts;
    if (path.size() < 3)
        return parts;

    std::string normalised = path;
    std::replace(normalised.begin(), normalised.end(), '\\', '/');

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

int CopyFileContents(const std::string& source, const std::string& destination)
{
    std::ifstream in(source, std::ios::binary);
    if (!in)
        return 0;
    // Read everything before opening the destination, so copying a file onto itself never empties it.
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return 0;
    in.close();

    std::ofstream out(destination, std::ios::binary | std::ios::trunc);
    if (!out)
        return 0;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    return out.good() ? 1 : 0;
}
