#include "SafeFileWriter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

#if defined(_WIN32)
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace
{
// "<what> <path> failed: <the system's reason>", from errno.
[[noreturn]] void FailWithErrno(const char* what, const std::string& path, int error)
{
    throw std::runtime_error(std::string(what) + " " + path + " failed: " + std::strerror(error));
}

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Flushes the file's data to the disk, not only to the system's cache.
int FlushToDisk(std::FILE* file)
{
#if defined(_WIN32)
    return _commit(_fileno(file)); // FlushFileBuffers underneath
#else
    return fsync(fileno(file));
#endif
}

// Flushes the folder's entries, so that a rename into it survives a power loss. Windows has no such
// call for folders; its rename is journalled by the file system.
void FlushFolder(const std::string& path)
{
#if !defined(_WIN32)
    std::string folder = std::filesystem::path(path).parent_path().string();
    if (folder.empty())
        folder = ".";
    const int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (descriptor < 0)
        FailWithErrno("opening the folder", folder, errno);
    // Some file systems cannot flush a folder (EINVAL); nothing more can be done there.
    if (fsync(descriptor) != 0 && errno != EINVAL)
    {
        const int error = errno;
        close(descriptor);
        FailWithErrno("flushing the folder", folder, error);
    }
    close(descriptor);
#else
    (void)path;
#endif
}

// A file the user made read-only is kept: the rename would replace it regardless.
void RefuseReadOnly(const std::string& path)
{
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (error || !std::filesystem::exists(status))
        return;
    if ((status.permissions() & std::filesystem::perms::owner_write) == std::filesystem::perms::none)
        throw std::runtime_error(path + " is read-only");
}

// The whole content, produced in memory first so that a failing writer never touches the disk.
std::string Render(const std::function<void(std::ostream&)>& write)
{
    std::ostringstream content;
    // The writer's archive is gone when it returns, so its closing tag is in the stream.
    write(content);
    if (!content)
        throw std::runtime_error("producing the content failed");
    return content.str();
}

// Writes, flushes and closes the temporary file, reporting the system's reason for any failure (a full
// disk among them).
void WriteTemporary(const std::string& tempPath, const std::string& bytes)
{
    errno = 0;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(tempPath.c_str(), "wb"));
    if (!file)
        FailWithErrno("opening", tempPath, errno);
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
        FailWithErrno("writing", tempPath, errno);
    if (std::fflush(file.get()) != 0)
        FailWithErrno("writing", tempPath, errno);
    if (FlushToDisk(file.get()) != 0)
        FailWithErrno("flushing", tempPath, errno);
    if (std::fclose(file.release()) != 0)
        FailWithErrno("closing", tempPath, errno);
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
        RefuseReadOnly(path);
        WriteTemporary(tempPath, Render(write));
        check(ReadBack(tempPath));
        // Replaces an existing file in one step (MoveFileEx with MOVEFILE_REPLACE_EXISTING on Windows).
        std::filesystem::rename(tempPath, path);
        FlushFolder(path);
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
