#include "OffscreenGL.h"

#include "WindowProvider.h"

#include <cstdlib>
#include <exception>
#include <memory>
#include <string>

#ifdef __linux__
#include <dlfcn.h>
#include <link.h>
#include <linux/limits.h>
#endif

namespace
{
std::unique_ptr<WindowProvider> sharedWindow;
std::string sharedWindowFailure;
bool sharedWindowTried = false;

#ifdef __linux__
// Never unloaded: LeakSanitizer reports allocations of unloaded libraries as "<unknown module>".
void* KeepLoaded(const std::string& library)
{
    return dlopen(library.c_str(), RTLD_NOW | RTLD_NODELETE);
}

void KeepMesaDriversLoaded()
{
    void* egl = KeepLoaded("libEGL_mesa.so.0");
    if (egl == nullptr)
        return;
    // The software driver sits in dri/ beside Mesa's EGL library.
    char folder[PATH_MAX] = {};
    if (dlinfo(egl, RTLD_DI_ORIGIN, folder) == 0)
        KeepLoaded(std::string(folder) + "/dri/swrast_dri.so");
}
#endif

// Closes the shared window once every test has run.
class SharedWindowEnvironment : public ::testing::Environment
{
  public:
    void TearDown() override
    {
        if (sharedWindow)
            sharedWindow->Exit();
        sharedWindow.reset();
    }
};

[[maybe_unused]] ::testing::Environment* const sharedWindowEnvironment =
    ::testing::AddGlobalTestEnvironment(new SharedWindowEnvironment);

void OpenSharedWindow()
{
    sharedWindowTried = true;
    PrepareOffscreenGL();
    try
    {
        auto window = std::make_unique<WindowProvider>();
        window->Init();
        sharedWindow = std::move(window);
    }
    catch (const std::exception& error)
    {
        sharedWindowFailure = error.what();
    }
}
} // namespace

void PrepareOffscreenGL()
{
    static bool prepared = false;
    if (prepared)
        return;
    prepared = true;
#ifdef __linux__
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    KeepMesaDriversLoaded();
#endif
}

bool IsGLRequired()
{
    const char* required = std::getenv("REQUIRE_GL");
    return required != nullptr && std::string(required) == "1";
}

void OffscreenGLTest::SetUp()
{
    if (!sharedWindowTried)
        OpenSharedWindow();
    if (!sharedWindow)
        GLIMMOCK_SKIP_OR_FAIL_WITHOUT_GL(sharedWindowFailure);
    WindowProvider::MakeCurrent(0);
}

WindowProvider& OffscreenGLTest::Window()
{
    return *sharedWindow;
}
