#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct FilePathParts
{
    std::string directory; // with its trailing "/"
    std::string stem;
    std::string extension; // with its leading "."
};

// Splits a path into directory, stem and extension; a path shorter than 3 characters gives three empty
// parts. "\" separates folders only on Windows (elsewhere it is an ordinary character of a file name) and
// becomes "/" there.
FilePathParts SplitPath(const std::string& path);
// directory + stem + extension.
std::string JoinPath(const FilePathParts& parts);
// Copies a whole regular file; returns 1 only when the source was read and every byte reached the
// destination, else 0 (a folder, a pipe or a device is never opened). Never throws.
int CopyFileContents(const std::string& source, const std::string& destination);
// Reads a whole regular file of at most maxBytes bytes into bytes. Returns an empty text on success, else
// why it was refused; a folder, a pipe or a device is refused without being opened. Never throws.
std::string ReadRegularFile(const std::string& path, std::uintmax_t maxBytes,
                            std::vector<std::uint8_t>& bytes);
