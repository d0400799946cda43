#include "GlTestSupport.h"

#include "WindowAccess.h"

#include <SDL.h>
#include <SDL_image.h>
#include <glad/gl.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace
{
int gErrors = 0;
int gOverrideWidth = -1;
int gOverrideHeight = -1;

void GLAPIENTRY CountErrors(GLenum, GLenum type, GLuint, GLenum, GLsizei, const GLchar* message, const void*)
{
    if (type != GL_DEBUG_TYPE_ERROR)
        return;
    ++gErrors;
    std::fprintf(stderr, "GL error: %s\n", message);
}
} // namespace

namespace GlTestSupport
{
void CountGlErrors()
{
    glEnable(GL_DEBUG_OUTPUT);
    glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
    glDebugMessageCallback(CountErrors, nullptr);
}

int ErrorCount()
{
    return gErrors;
}

void ResetErrorCount()
{
    gErrors = 0;
}

void OverrideSize(int width, int height)
{
    static std::function<void(std::size_t, int&, int&)> real;
    WindowAccess& access = GetWindowAccess();
    gOverrideWidth = width;
    gOverrideHeight = height;
    if (width < 0)
    {
        if (real)
            access.size = real;
        real = nullptr;
        return;
    }
    if (!real)
        real = access.size;
    access.size = [](std::size_t, int& w, int& h)
    {
        w = gOverrideWidth;
        h = gOverrideHeight;
    };
}

std::vector<std::uint8_t> ReadBackBuffer(int width, int height)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

void SaveScreenshot(const std::string& name, const std::vector<std::uint8_t>& pixels, int width, int height)
{
    const std::filesystem::path folder = GLIMMOCK_SCREENSHOT_DIR;
    std::filesystem::create_directories(folder);
    // GL rows run bottom-up; PNG rows top-down.
    std::vector<std::uint8_t> flipped(pixels.size());
    const std::size_t row = static_cast<std::size_t>(width) * 4;
    for (int y = 0; y < height; ++y)
        std::copy_n(pixels.data() + static_cast<std::size_t>(height - 1 - y) * row, row,
                    flipped.data() + static_cast<std::size_t>(y) * row);
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(flipped.data(), width, height, 32,
                                                              static_cast<int>(row), SDL_PIXELFORMAT_RGBA32);
    IMG_SavePNG(surface, (folder / (name + ".png")).string().c_str());
    SDL_FreeSurface(surface);
}

void WriteFile(const std::string& path, const std::string& contents)
{
    std::filesystem::path file(path);
    if (file.has_parent_path())
        std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << contents;
}
} // namespace GlTestSupport
