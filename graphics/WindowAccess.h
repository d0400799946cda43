#pragma once
#include <cstddef>
#include <functional>

// What the renderer needs of the windows: how many there are, their GL contexts, sizes, visibility and
// buffer swaps. The window provider fills it; until then there are no windows and nothing is drawn.
struct WindowAccess
{
    std::function<std::size_t()> count = [] { return std::size_t{0}; };
    std::function<void*(std::size_t)> context = [](std::size_t) -> void* { return nullptr; };
    std::function<void(std::size_t)> makeCurrent = [](std::size_t) {};
    // Width and height in pixels; 0 x 0 for a window that no longer exists.
    std::function<void(std::size_t, int&, int&)> size = [](std::size_t, int& w, int& h) { w = h = 0; };
    // The window's "wanted visible" flag: a hidden window is neither swapped nor drawn.
    std::function<bool(std::size_t)> visible = [](std::size_t) { return false; };
    std::function<void(std::size_t)> swap = [](std::size_t) {};
};

// The process-wide window access the renderer reads.
WindowAccess& GetWindowAccess();
// Puts back the empty defaults (tests).
void ResetWindowAccess();
