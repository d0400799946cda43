#pragma once
#include <cstdint>

// The physical inputs of one action: a key, and a controller button or axis side on one slot.
struct InputBinding
{
    // SDL key code; 0 means no key.
    std::int32_t key = 0;
    // SDL controller button; -1 means none.
    std::int32_t button = -1;
    // Axis 0..5 in the input system's numbering; -1 means none.
    std::int32_t axis = -1;
    // The action fires on the positive side of the axis, else on the negative side.
    bool axisPositive = false;
    // Controller slot 0 or 1; -1 means none (then neither button nor axis counts).
    std::int32_t controllerIndex = -1;

    bool operator==(const InputBinding&) const = default;
};
