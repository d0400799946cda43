#pragma once
#include "EngineSystem.h"
#include "StickyKeys.h"
#include "WindowRecord.h"

#include <memory>
#include <vector>

union SDL_Event;
struct ImGuiContext;

// Owns SDL, the game's window with its OpenGL 4.3 core context and the event queue. Its Update is the
// event pump that feeds the input system, the Dear ImGui key state, dropped files and the window records.
class WindowProvider : public EngineSystem
{
  public:
    // The layout size that full-screen pictures scale against.
    static constexpr int kReferenceWidth = 1920;
    static constexpr int kReferenceHeight = 1080;

    WindowProvider();
    ~WindowProvider() override;

    // Starts SDL, the Dear ImGui context, the main window and its GL functions; switches sticky keys off.
    void Init() override;
    // The event pump; dt is ignored.
    void Update(float dt) override;
    // Deletes the contexts and windows, restores sticky keys and stops SDL.
    void Exit() override;

    // Opens one more window sharing the current GL context; returns its index.
    int CreateWindow();
    // Routes one event as the pump does.
    void HandleEvent(const SDL_Event& event);

    // Window 0's record, or null when there is none.
    static WindowRecord* GetMainWindow();
    // The window's GL context, or null for a bad index.
    static void* GetGLContext(int index);
    // Makes the window's context current.
    static void MakeCurrent(int index);
    // Half of window 0's size, integer division; 0 without a window.
    static int GetHalfWidth();
    static int GetHalfHeight();
    // The window's size in pixels; 0 for a bad index.
    static int GetWindowWidth(int index);
    static int GetWindowHeight(int index);
    // Hides the mouse cursor over the main window.
    static void HideCursor();
    // Full screen is a borderless maximised window; off restores a centred desktop-sized window.
    static void SetFullscreen(int index, bool on);
    static bool IsFullscreen(int index);
    // Shows or hides the window and makes that the wish the pump enforces.
    static void SetWindowVisible(int index, bool visible);
    // Whether the program wants the window shown (drawing happens only then).
    static bool IsWindowVisible(int index);
    // Shows window 0 if needed, then maximises and raises it.
    static void ShowAndMaximize();
    // Whether the user asked to close the window.
    static bool IsCloseRequested(int index);

    std::vector<std::unique_ptr<WindowRecord>> windows;

  private:
    static WindowRecord* Record(int index);
    void HandleWindowEvent(const SDL_Event& event);
    void HandleKeyboardEvent(const SDL_Event& event);
    void HandleControllerEvent(const SDL_Event& event);
    void HandleDropEvent(const SDL_Event& event);
    void LoadGLFunctions();
    void SwitchOffStickyKeys();
    void RestoreStickyKeys();
    void Shutdown();

    StickyKeys::Setting savedStickyKeys;
    bool stickyKeysToRestore = false;
    bool sdlStarted = false;
    ImGuiContext* imguiContext = nullptr;
};

extern WindowProvider* gWindowProvider;
