#include "TestSandbox.h"
#include "InputRecording.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
std::string ReadAll(int fd)
{
    std::string text;
    char buffer[512];
    ssize_t count = 0;
    while ((count = read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(count));
    close(fd);
    return text;
}

bool Inside(const std::filesystem::path& path, const std::filesystem::path& folder)
{
    const std::string text = path.string();
    return text.rfind(folder.string() + "/", 0) == 0;
}

// Forks a child that exits normally (running the exit handlers), after making a sandbox of its own when
// asked; gives the child's sandbox folder, or the inherited one.
std::filesystem::path ExitingChildsFolder(bool ownSandbox)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return {};
    const pid_t child = fork();
    if (child == 0)
    {
        close(pipeEnds[0]);
        if (ownSandbox)
            EnterTestSandbox("sandbox_probe");
        const std::string made = TestSandboxFolder().string();
        const bool written =
            write(pipeEnds[1], made.data(), made.size()) == static_cast<ssize_t>(made.size());
        close(pipeEnds[1]);
        std::exit(written && std::filesystem::is_directory(made) ? 0 : 3);
    }
    close(pipeEnds[1]);
    const std::filesystem::path folder = ReadAll(pipeEnds[0]);
    int status = -1;
    EXPECT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    return folder;
}
} // namespace

// The preferences and the temporary files a test program sees lie in its own folder, which goes when the
// process that made it exits; a forked child's exit leaves its parent's folder alone.
TEST(TestSandbox, PreferencesAndTemporaryFilesStayInTheProgramsOwnFolder)
{
    const std::filesystem::path folder = TestSandboxFolder();
    EXPECT_EQ(folder.filename(), "glimmock-support_sandbox_tests-" + std::to_string(::getpid()));
    EXPECT_EQ(std::filesystem::temp_directory_path(), folder);

    InitPrefsFolder();
    const std::string preferences = GetPreferencesPath();
    ResetInputRecording();
    EXPECT_TRUE(Inside(preferences, folder)) << preferences;
    EXPECT_TRUE(std::filesystem::is_directory(preferences));

    EXPECT_EQ(ExitingChildsFolder(false), folder);
    EXPECT_TRUE(std::filesystem::is_directory(folder)) << "a child's exit removed its parent's folder";

    const std::filesystem::path childFolder = ExitingChildsFolder(true);
    EXPECT_EQ(childFolder.filename().string().rfind("glimmock-sandbox_probe-", 0), 0u) << childFolder;
    EXPECT_TRUE(Inside(childFolder, folder)) << childFolder;
    EXPECT_FALSE(std::filesystem::exists(childFolder)) << "the child's folder outlived it";
}
