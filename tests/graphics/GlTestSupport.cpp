#include "GlTestSupport.h"

#include "WindowAccess.h"

#include <SDL.h>
#include <SDL_image.h>
#include <glad/gl.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#ifdef __linux__
#include <dlfcn.h>
#endif

namespace
{
SDL_Window* gWindow = nullptr;
SDL_GLContext gContext = nullptr;
bool gTried = false;
bool gVisible = false;
int gErrors = 0;
int gOverrideWidth = -1;
int gOverrideHeight = -1;
std::string gFailure;

void GLAPIENTRY CountErrors(GLenum, GLenum type, GLuint, GLenum, GLsizei, const GLchar* message, const void*)
{
    if (type == GL_DEBUG_TYPE_ERROR)
    {
        ++gErrors;
        std::fprintf(stderr, "GL error: %s\n", message);
    }
}

void KeepMesaLoaded()
{
#ifdef __linux__
    // Unloaded drivers leave "unknown module" leaks behind for LeakSanitizer.
    const char* libraries[] = {"libEGL_mesa.so.0", "libGLX_mesa.so.0",
                               "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"};
    for (const char* library : libraries)
        dlopen(library, RTLD_NOW | RTLD_NODELETE);
#endif
}

void WireWindowAccess()
{
    WindowAccess& access = GetWindowAccess();
    access.count = [] { return std::size_t{1}; };
    access.context = [](std::size_t) -> void* { return gContext; };
    access.makeCurrent = [](std::size_t) { SDL_GL_MakeCurrent(gWindow, gContext); };
    access.size = [](std::size_t, int& w, int& h)
    {
        if (gOverrideWidth >= 0)
        {
            w = gOverrideWidth;
            h = gOverrideHeight;
            return;
        }
        SDL_GL_GetDrawableSize(gWindow, &w, &h);
    };
    access.visible = [](std::size_t) { return gVisible; };
    access.swap = [](std::size_t) { SDL_GL_SwapWindow(gWindow); };
}

bool Open()
{
    std::filesystem::current_path(GLIMMOCK_TEST_DATA_DIR);
    KeepMesaLoaded();
    if (std::getenv("SDL_VIDEODRIVER") == nullptr)
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
    {
        gFailure = std::string("SDL_Init failed: ") + SDL_GetError();
        return false;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    gWindow = SDL_CreateWindow("graphics tests", 0, 0, 640, 480, SDL_WINDOW_OPENGL);
    if (gWindow == nullptr)
    {
        gFailure = std::string("SDL_CreateWindow failed: ") + SDL_GetError();
        return false;
    }
    gContext = SDL_GL_CreateContext(gWindow);
    if (gContext == nullptr)
    {
        gFailure = std::string("SDL_GL_CreateContext failed: ") + SDL_GetError();
        return false;
    }
    if (gladLoadGL(reinterpret_cast<GLADloadfunc>(SDL_GL_GetProcAddress)) == 0)
    {
        gFailure = "gladLoadGL failed";
        return false;
    }
    glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
    glDebugMessageCallback(CountErrors, nullptr);
    IMG_Init(IMG_INIT_PNG);
    WireWindowAccess();
    return true;
}
} // namespace

namespace GlTestSupport
{
bool Acquire()
{
    if (!gTried)
    {
        gTried = true;
        if (!Open())
            gContext = nullptr;
    }
    if (gContext == nullptr)
        return false;
    WireWindowAccess();
    return true;
}

const std::string& FailureText()
{
    return gFailure;
}

bool GlRequired()
{
    const char* value = std::getenv("REQUIRE_GL");
    return value != nullptr && std::string(value) == "1";
}

int ErrorCount()
{
    return gErrors;
}

void ResetErrorCount()
{
    gErrors = 0;
}

void SetVisible(bool visible)
{
    gVisible = visible;
}

void OverrideSize(int width, int height)
{
    gOverrideWidth = width;
    gOverrideHeight = height;
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
