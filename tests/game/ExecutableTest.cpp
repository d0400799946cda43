#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
struct Child
{
    pid_t pid = -1;
    int output = -1; // the read end of the child's stdout and stderr
};

// Starts the game from a working directory other than its own, with its output piped back.
Child StartGame(const char* videoDriver)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return {};
    const pid_t pid = fork();
    if (pid == 0)
    {
        dup2(pipeEnds[1], STDOUT_FILENO);
        dup2(pipeEnds[1], STDERR_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        if (chdir("/") != 0)
            _exit(126);
        setenv("SDL_VIDEODRIVER", videoDriver, 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        execl(GLIMMOCK_EXECUTABLE, GLIMMOCK_EXECUTABLE, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeEnds[1]);
    return {pid, pipeEnds[0]};
}

std::string ReadAll(int fd)
{
    std::string text;
    char buffer[4096];
    ssize_t count = 0;
    while ((count = read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(count));
    close(fd);
    return text;
}
} // namespace

TEST(Executable, RunsFromAnyFolderAndSigtermEndsItWithStatusZero)
{
    const Child game = StartGame("offscreen");
    ASSERT_GT(game.pid, 0);
    sleep(3);
    int status = 0;
    ASSERT_EQ(waitpid(game.pid, &status, WNOHANG), 0)
        << "the game ended on its own: " << ReadAll(game.output);
    kill(game.pid, SIGTERM);
    const std::string output = ReadAll(game.output);
    ASSERT_EQ(waitpid(game.pid, &status, 0), game.pid);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WEXITSTATUS(status), 0) << output;
    EXPECT_EQ(output.find("Engine system error"), std::string::npos) << output;
    EXPECT_EQ(output.find("Could not locate texture"), std::string::npos) << output;
}

TEST(Executable, WithoutAUsableDisplayItSaysWhyAndFailsWithoutAborting)
{
    const Child game = StartGame("nosuchdriver");
    ASSERT_GT(game.pid, 0);
    const std::string output = ReadAll(game.output);
    int status = 0;
    ASSERT_EQ(waitpid(game.pid, &status, 0), game.pid);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_NE(WEXITSTATUS(status), 0);
    EXPECT_NE(output.find("nosuchdriver"), std::string::npos) << output;
}
