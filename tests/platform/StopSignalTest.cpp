#include "StopSignal.h"
#include "Engine.h"
#include "OffscreenGL.h"
#include "StickyKeys.h"
#include "SystemSlots.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

// The child process and its signals are POSIX.
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>

namespace
{
constexpr std::uint32_t kUserStickyKeys = 0x1F;
constexpr int kStartUpFailed = 2;
constexpr int kStickyKeysNotRestored = 3;

// Runs the game's engine in a child process until a stop signal; the exit status tells what happened.
[[noreturn]] void RunGameChild(int readyPipe)
{
    InstallStopSignalHandlers();
    StickyKeys::ResetStandIn(kUserStickyKeys);
    try
    {
        Engine engine(MakeGameSystemFactories());
        engine.Init();
        const char ready = 'r';
        (void)!write(readyPipe, &ready, 1);
        engine.Run();
    }
    catch (...)
    {
        _exit(kStartUpFailed);
    }
    const std::vector<StickyKeys::Call>& calls = StickyKeys::RecordedCalls();
    const bool restored =
        !calls.empty() && calls.back().isSet && calls.back().setting.flags == kUserStickyKeys;
    _exit(restored ? 0 : kStickyKeysNotRestored);
}

// The child's exit status, or -1 when it did not exit in time (it is then killed).
int StopGameWith(int signal)
{
    PrepareOffscreenGL();
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0)
    {
        close(pipeEnds[0]);
        RunGameChild(pipeEnds[1]);
    }
    close(pipeEnds[1]);
    char ready = 0;
    const bool started = read(pipeEnds[0], &ready, 1) == 1;
    close(pipeEnds[0]);
    if (started)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        kill(child, signal);
    }
    int status = 0;
    for (int wait = 0; wait < 300; ++wait)
    {
        if (waitpid(child, &status, WNOHANG) == child)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    return -1;
}

class StopSignal : public ::testing::TestWithParam<int>
{
};

TEST_P(StopSignal, EndsTheGameThroughEveryExitWithStatusZero)
{
    const int status = StopGameWith(GetParam());
    if (status == kStartUpFailed)
        GLIMMOCK_SKIP_OR_FAIL_WITHOUT_GL("the game could not start");
    EXPECT_NE(status, kStickyKeysNotRestored) << "sticky keys were not restored";
    EXPECT_EQ(status, 0);
}

INSTANTIATE_TEST_SUITE_P(TermAndInt, StopSignal, ::testing::Values(SIGTERM, SIGINT));
} // namespace
#endif
