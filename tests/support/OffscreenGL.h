#pragma once
#include <gtest/gtest.h>

#include <string>

class WindowProvider;

// Loads Mesa's EGL library and software driver for the rest of the run, before SDL opens them, so that
// LeakSanitizer can name their allocations; chooses SDL's offscreen driver unless one is set. Call it
// before any SDL_Init; the fixture below does.
void PrepareOffscreenGL();

// Whether a missing GL context fails a test (REQUIRE_GL=1, as CI sets it) instead of skipping it.
bool IsGLRequired();

// Base of every test that needs OpenGL: one hidden 640x480 main window with a 4.3 core context, made
// once for the whole test program and current in every test. Without a context each test fails when
// REQUIRE_GL=1 and is skipped otherwise. The working directory is the program's own copy of data/.
class OffscreenGLTest : public ::testing::Test
{
  protected:
    void SetUp() override;
    // The shared window provider (published as gWindowProvider).
    static WindowProvider& Window();
};

// Fails (REQUIRE_GL=1) or skips the current test for a missing GL context; use inside a test or SetUp.
#define GLIMMOCK_SKIP_OR_FAIL_WITHOUT_GL(reason)                                                             \
    do                                                                                                       \
    {                                                                                                        \
        if (IsGLRequired())                                                                                  \
            GTEST_FAIL() << "no OpenGL context: " << (reason);                                               \
        else                                                                                                 \
            GTEST_SKIP() << "no OpenGL context: " << (reason);                                               \
    } while (false)
