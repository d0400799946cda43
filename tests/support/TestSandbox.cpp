#include "TestSandbox.h"

#include <cstdlib>
#include <string>
#include <system_error>
#include <unistd.h>

namespace
{
std::filesystem::path sandbox;
pid_t sandboxOwner = 0;

void RemoveSandbox()
{
    // A forked child that exits must leave its parent's folder alone.
    if (sandbox.empty() || ::getpid() != sandboxOwner)
        return;
    std::error_code error;
    std::filesystem::remove_all(sandbox, error);
}
} // namespace

void EnterTestSandbox(const char* programPath)
{
    const std::string program = std::filesystem::path(programPath).filename().string();
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("glimmock-" + program + "-" + std::to_string(::getpid()));
    const std::filesystem::path dataHome = folder / "data-home";
    // Left behind by a crashed run that had this process id.
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(dataHome);
    setenv("TMPDIR", folder.c_str(), 1);
    setenv("XDG_DATA_HOME", dataHome.c_str(), 1);

    const bool first = sandbox.empty();
    sandbox = folder;
    sandboxOwner = ::getpid();
    if (first)
        std::atexit(RemoveSandbox);
}

const std::filesystem::path& TestSandboxFolder()
{
    return sandbox;
}
