#include "WindowProvider.h"

#include "DropFile.h"
#include "FilePath.h"
#include "InputSystem.h"

#include <SDL.h>
#include <glad/gl.h>
#include <imgui.h>

#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>

WindowProvider* gWindowProvider = nullptr;

namespace
{
constexpr const char* kWindowTitle = "Glimmock";
constexpr std::uint32_t kSdlSubsystems =
    SDL_INIT_VIDEO | SDL_INIT_JOYSTICK | SDL_INIT_HAPTIC | SDL_INIT_GAMECONTROLLER;
constexpr std::uint32_t kWindowFlags =
    SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS | SDL_WINDOW_RESIZABLE | SDL_WINDOW_MAXIMIZED;
constexpr std::int32_t kScancodeBit = 0x40000000;

std::runtime_error SdlFailure()
{
    return std::runtime_error(SDL_GetError());
}
} // namespace

WindowProvider::WindowProvider() : EngineSystem(estWindowProvider)
{
    PublishOnce(gWindowProvider, this);
}

WindowProvider::~WindowProvider()
{
    // A failed Init is never followed by Exit: undo whatever it started.
    Shutdown();
    UnpublishIfOwner(gWindowProvider, this);
}

void WindowProvider::Init()
{
    // SIGINT and SIGTERM stay with the game's own handlers, which end the loop through every Exit.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_Init(kSdlSubsystems) != 0)
        throw SdlFailure();
    sdlStarted = true;

    imguiContext = ImGui::CreateContext();
    ImGui::GetIO().IniFilename = nullptr;

    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    CreateWindow();
    LoadGLFunctions();
    SwitchOffStickyKeys();
}

void WindowProvider::LoadGLFunctions()
{
    if (gladLoadGL(reinterpret_cast<GLADloadfunc>(SDL_GL_GetProcAddress)) != 0)
        return;
    // glGetError itself was not loaded, so there is no code to report.
    std::cout << "ERROR: Failed to initialize GLAD: GLAD Error: " << 0u << "\n";
    throw std::runtime_error("Failed to initialize GLAD");
}

void WindowProvider::SwitchOffStickyKeys()
{
    StickyKeys::Setting current;
    // When the read fails there is nothing to restore, and writing would clear the user's flags.
    if (!StickyKeys::Get(current))
        return;
    savedStickyKeys = current;
    stickyKeysToRestore = true;
    StickyKeys::Setting off = current;
    off.flags &= ~(StickyKeys::kStickyKeysOn | StickyKeys::kHotkeyActive | StickyKeys::kConfirmHotkey);
    StickyKeys::Set(off);
}

void WindowProvider::RestoreStickyKeys()
{
    if (!stickyKeysToRestore)
        return;
    stickyKeysToRestore = false;
    StickyKeys::Set(savedStickyKeys);
}

int WindowProvider::CreateWindow()
{
    auto record = std::make_unique<WindowRecord>();
    SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 1);
    record->window = SDL_CreateWindow(kWindowTitle, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                      record->width, record->height, kWindowFlags);
    if (record->window == nullptr)
        throw SdlFailure();
    record->mouseInside = true;
    record->focused = true;
    record->windowId = SDL_GetWindowID(record->window);

    record->context = SDL_GL_CreateContext(record->window);
    if (record->context == nullptr)
    {
        std::cout << "OpenGL context could not be created! SDL Error: " << SDL_GetError() << "\n";
        std::runtime_error failure = SdlFailure();
        SDL_DestroyWindow(record->window);
        throw failure;
    }
    // Some servers (Xvfb) refuse vertical sync; the game then simply runs unpaced.
    SDL_GL_SetSwapInterval(1);

    windows.push_back(std::move(record));
    MakeCurrent(0);
    return static_cast<int>(windows.size()) - 1;
}

void WindowProvider::Update(float dt)
{
    (void)dt;
    if (gInputSystem != nullptr)
        gInputSystem->ClearFrameLists();
    // Typed characters last one frame, as an editor's frame end would clear them: without an editor
    // drawing they would pile up and all arrive when one opens.
    if (ImGui::GetCurrentContext() != nullptr)
        ImGui::GetIO().ClearInputCharacters();
    SDL_Event event;
    while (SDL_PollEvent(&event))
        HandleEvent(event);
}

void WindowProvider::HandleEvent(const SDL_Event& event)
{
    switch (event.type)
    {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        HandleKeyboardEvent(event);
        break;
    case SDL_TEXTINPUT:
        if (ImGui::GetCurrentContext() != nullptr)
            ImGui::GetIO().AddInputCharactersUTF8(event.text.text);
        break;
    case SDL_MOUSEWHEEL:
        if (gInputSystem != nullptr)
            gInputSystem->mouseWheel =
                event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
        break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
        HandleControllerEvent(event);
        break;
    case SDL_DROPFILE:
        HandleDropEvent(event);
        break;
    case SDL_DROPTEXT:
        // Dragged text is not imported, but its string is ours to free.
        SDL_free(event.drop.file);
        break;
    case SDL_WINDOWEVENT:
        HandleWindowEvent(event);
        break;
    default:
        // SDL_QUIT among them: closing the window never ends the game by itself. Mouse and axes are polled.
        break;
    }
}

void WindowProvider::HandleKeyboardEvent(const SDL_Event& event)
{
    // The editors' context (ours unless a tool made its own); none at all before Init.
    if (ImGui::GetCurrentContext() != nullptr)
    {
        ImGuiIO& io = ImGui::GetIO();
        // Character keys carry their code point, which can lie far past the key table.
        const std::int32_t index = event.key.keysym.sym & ~kScancodeBit;
        if (index >= 0 && index < IM_ARRAYSIZE(io.KeysDown))
            io.KeysDown[index] = event.type == SDL_KEYDOWN;
        const SDL_Keymod modifiers = SDL_GetModState();
        io.KeyShift = (modifiers & KMOD_SHIFT) != 0;
        io.KeyCtrl = (modifiers & KMOD_CTRL) != 0;
        io.KeyAlt = (modifiers & KMOD_ALT) != 0;
        io.KeySuper = (modifiers & KMOD_GUI) != 0;
    }
    if (gInputSystem != nullptr)
        gInputSystem->HandleKeyEvent(event.key, event.type == SDL_KEYDOWN);
}

void WindowProvider::HandleControllerEvent(const SDL_Event& event)
{
    if (gInputSystem == nullptr)
        return;
    switch (event.type)
    {
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
        if (GameController* slot = gInputSystem->FindController(event.cbutton.which))
            slot->HandleButtonEvent(event.cbutton, event.type == SDL_CONTROLLERBUTTONDOWN);
        break;
    case SDL_CONTROLLERDEVICEADDED:
        gInputSystem->OnControllerAdded(event.cdevice.which);
        break;
    case SDL_CONTROLLERDEVICEREMOVED:
        gInputSystem->OnControllerRemoved(event.cdevice.which);
        break;
    default:
        break;
    }
}

void WindowProvider::HandleDropEvent(const SDL_Event& event)
{
    // SDL's string is ours to free, even when an importer throws.
    const std::unique_ptr<char, decltype(&SDL_free)> path(event.drop.file, &SDL_free);
    if (path != nullptr)
        DropFile(SplitPath(path.get()));
}

void WindowProvider::HandleWindowEvent(const SDL_Event& event)
{
    WindowRecord* target = nullptr;
    for (const std::unique_ptr<WindowRecord>& record : windows)
    {
        SDL_GetWindowSize(record->window, &record->width, &record->height);
        if (record->windowId == event.window.windowID)
            target = record.get();
    }
    if (target == nullptr)
        return;

    switch (event.window.event)
    {
    case SDL_WINDOWEVENT_SHOWN:
        if (!target->wantedVisible)
            SDL_HideWindow(target->window);
        break;
    case SDL_WINDOWEVENT_HIDDEN:
        if (target->wantedVisible)
            SDL_ShowWindow(target->window);
        break;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_RESTORED:
        target->minimised = false;
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        target->minimised = true;
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        target->width = event.window.data1;
        target->height = event.window.data2;
        break;
    case SDL_WINDOWEVENT_ENTER:
        target->mouseInside = true;
        break;
    case SDL_WINDOWEVENT_LEAVE:
        target->mouseInside = false;
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        target->focused = true;
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        target->focused = false;
        break;
    case SDL_WINDOWEVENT_CLOSE:
        SDL_HideWindow(target->window);
        target->wantedVisible = false;
        target->closeRequested = true;
        break;
    default:
        break;
    }
}

void WindowProvider::Exit()
{
    Shutdown();
}

void WindowProvider::Shutdown()
{
    for (const std::unique_ptr<WindowRecord>& record : windows)
    {
        if (record->context != nullptr)
            SDL_GL_DeleteContext(record->context);
        SDL_DestroyWindow(record->window);
    }
    windows.clear();
    RestoreStickyKeys();
    if (imguiContext != nullptr)
    {
        ImGui::DestroyContext(imguiContext);
        imguiContext = nullptr;
    }
    if (sdlStarted)
    {
        SDL_Quit();
        sdlStarted = false;
    }
}

WindowRecord* WindowProvider::Record(int index)
{
    if (gWindowProvider == nullptr || index < 0 || index >= static_cast<int>(gWindowProvider->windows.size()))
        return nullptr;
    return gWindowProvider->windows[index].get();
}

WindowRecord* WindowProvider::GetMainWindow()
{
    return Record(0);
}

void* WindowProvider::GetGLContext(int index)
{
    WindowRecord* record = Record(index);
    return record ? record->context : nullptr;
}

void WindowProvider::MakeCurrent(int index)
{
    if (WindowRecord* record = Record(index))
        SDL_GL_MakeCurrent(record->window, record->context);
}

int WindowProvider::GetHalfWidth()
{
    return GetWindowWidth(0) / 2;
}

int WindowProvider::GetHalfHeight()
{
    return GetWindowHeight(0) / 2;
}

int WindowProvider::GetWindowWidth(int index)
{
    WindowRecord* record = Record(index);
    return record ? record->width : 0;
}

int WindowProvider::GetWindowHeight(int index)
{
    WindowRecord* record = Record(index);
    return record ? record->height : 0;
}

void WindowProvider::HideCursor()
{
    WindowRecord* record = GetMainWindow();
    if (record == nullptr)
        return;
    const int result = SDL_ShowCursor(SDL_DISABLE);
    record->cursorShown = !result;
    if (result < 0)
        std::cout << "WINDOW: "
                  << "Disable Cursor Error: " << SDL_GetError() << "\n";
}

void WindowProvider::SetFullscreen(int index, bool on)
{
    WindowRecord* record = Record(index);
    if (record == nullptr)
        return;
    if (on)
    {
        SDL_SetWindowBordered(record->window, SDL_FALSE);
        SDL_MaximizeWindow(record->window);
        SDL_SetWindowResizable(record->window, SDL_FALSE);
    }
    else
    {
        SDL_SetWindowBordered(record->window, SDL_TRUE);
        SDL_DisplayMode mode;
        if (SDL_GetCurrentDisplayMode(0, &mode) == 0)
            SDL_SetWindowSize(record->window, mode.w, mode.h);
        SDL_SetWindowPosition(record->window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
        SDL_RestoreWindow(record->window);
        SDL_SetWindowResizable(record->window, SDL_TRUE);
    }
    record->fullscreen = on;
}

bool WindowProvider::IsFullscreen(int index)
{
    WindowRecord* record = Record(index);
    return record ? record->fullscreen : false;
}

void WindowProvider::SetWindowVisible(int index, bool visible)
{
    WindowRecord* record = Record(index);
    if (record == nullptr)
        return;
    record->wantedVisible = visible;
    if (visible)
        SDL_ShowWindow(record->window);
    else
        SDL_HideWindow(record->window);
}

bool WindowProvider::IsWindowVisible(int index)
{
    WindowRecord* record = Record(index);
    return record ? record->wantedVisible : false;
}

void WindowProvider::ShowAndMaximize()
{
    WindowRecord* record = GetMainWindow();
    if (record == nullptr)
        return;
    if (!record->wantedVisible)
    {
        record->wantedVisible = true;
        SDL_ShowWindow(record->window);
    }
    SDL_MaximizeWindow(record->window);
    SDL_RaiseWindow(record->window);
}

bool WindowProvider::IsCloseRequested(int index)
{
    WindowRecord* record = Record(index);
    return record ? record->closeRequested : false;
}
