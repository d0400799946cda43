#pragma once
#include <string>

struct FilePathParts
{
    std::string directory; // with its trailing "/"
    std::string stem;
    std::string extension; // with its leading "."
};

// Splits a path into directory, stem and extension; backslashes become "/", and a path shorter
// than 3 characters gives three empty parts.
FilePathParts SplitPath(const std::string& path);
// directory + stem + extension.
std::string JoinPath(const FilePathParts& parts);
// Copies a whole file; returns 1 only when the source was read and every byte reached the destination.
int CopyFileContents(const std::string& source, const std::string& destination);
