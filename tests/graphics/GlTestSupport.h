#pragma once
#include <cstdint>
#include <string>
#include <vector>

// What the renderer's GL tests add to the shared offscreen fixture: GL errors counted through the debug
// output, a window size the test can impose, screenshots and files written into the data copy.
namespace GlTestSupport
{
// Counts GL_DEBUG_TYPE_ERROR messages from now on (the context must be current).
void CountGlErrors();
// GL_DEBUG_TYPE_ERROR messages since the last reset.
int ErrorCount();
void ResetErrorCount();
// Makes window 0 report this size to the renderer (0 x 0 mimics a vanished window); negative restores
// the real size. Call after Graphics::Init, which connects the renderer to the window provider.
void OverrideSize(int width, int height);

// Reads the back buffer (bottom-up rows, RGBA8).
std::vector<std::uint8_t> ReadBackBuffer(int width, int height);
// Saves RGBA8 rows (bottom-up) as build/screenshots/<name>.png.
void SaveScreenshot(const std::string& name, const std::vector<std::uint8_t>& pixels, int width, int height);
// Writes a file into the working directory (creating folders).
void WriteFile(const std::string& path, const std::string& contents);
} // namespace GlTestSupport
