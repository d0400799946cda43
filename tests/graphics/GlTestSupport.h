#pragma once
#include <cstdint>
#include <string>
#include <vector>

// One hidden-or-shown 640x480 offscreen window with a GL 4.3 core context for the whole test program,
// wired into the renderer's window access, with GL errors counted through the debug output.
namespace GlTestSupport
{
// Opens the window once (later calls reuse it); false when no GL context can be had.
bool Acquire();
// The message a test skips or fails with when Acquire returned false.
const std::string& FailureText();
// Whether a missing context must fail the test (REQUIRE_GL=1) rather than skip it.
bool GlRequired();
// GL_DEBUG_TYPE_ERROR messages since the last reset.
int ErrorCount();
void ResetErrorCount();
// Shows or hides the window for the renderer.
void SetVisible(bool visible);
// Makes the window report this size to the renderer (0 x 0 mimics a vanished window); negative restores.
void OverrideSize(int width, int height);

// Reads the back buffer (bottom-up rows, RGBA8).
std::vector<std::uint8_t> ReadBackBuffer(int width, int height);
// Saves RGBA8 rows (bottom-up) as build/screenshots/<name>.png.
void SaveScreenshot(const std::string& name, const std::vector<std::uint8_t>& pixels, int width, int height);
// Writes a file into the working directory (creating folders).
void WriteFile(const std::string& path, const std::string& contents);
} // namespace GlTestSupport

// Skips (or fails under REQUIRE_GL=1) the current test when there is no GL context.
#define REQUIRE_GL_OR_SKIP()                                                                                 \
    do                                                                                                       \
    {                                                                                                        \
        if (!GlTestSupport::Acquire())                                                                       \
        {                                                                                                    \
            if (GlTestSupport::GlRequired())                                                                 \
                FAIL() << GlTestSupport::FailureText();                                                      \
            GTEST_SKIP() << GlTestSupport::FailureText();                                                    \
        }                                                                                                    \
    } while (false)
