#pragma once
#include <cstdint>

struct SDL_Window;

// One window of the game and its OpenGL context; the game makes only the main one.
struct WindowRecord
{
    SDL_Window* window = nullptr;
    std::uint32_t windowId = 0xFFFFFFFF;
    // SDL's GL context handle (an opaque pointer).
    void* context = nullptr;
    std::int32_t width = 640;
    std::int32_t height = 480;
    bool mouseInside = false;
    bool focused = false;
    bool fullscreen = false;
    bool minimised = false;
    // The program's wish, enforced against the system. Graphics' "visible" and the game-manager's
    // "shown" flags are this one field: nothing is drawn while it is false.
    bool wantedVisible = false;
    bool cursorShown = true;
    // Set when the user closes the window; the game asks before quitting, so it is never cleared.
    bool closeRequested = false;
};
