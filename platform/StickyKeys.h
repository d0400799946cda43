#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The desktop's sticky-keys setting. On Windows it is the system's own; elsewhere a stored value, so the
// window provider saves, switches off and restores it the same way on every platform.
namespace StickyKeys
{
// The setting as the system reads and writes it.
struct Setting
{
    std::uint32_t size = 8;
    std::uint32_t flags = 0;
    bool operator==(const Setting&) const = default;
};

// Sticky keys on, shortcut active, confirmation shown: the bits the game clears while it runs.
inline constexpr std::uint32_t kStickyKeysOn = 0x1;
inline constexpr std::uint32_t kHotkeyActive = 0x4;
inline constexpr std::uint32_t kConfirmHotkey = 0x8;

// Reads the current setting; false when the system refused.
bool Get(Setting& setting);
// Writes the setting for this session only (the user profile is never written); false when refused.
bool Set(const Setting& setting);

#ifndef _WIN32
// One call the stored stand-in received.
struct Call
{
    bool isSet = false;
    Setting setting;
    bool operator==(const Call&) const = default;
};

// Starts the stand-in afresh with this value and whether reads succeed; forgets the recorded calls.
void ResetStandIn(std::uint32_t startFlags, bool readsSucceed = true);
// Every Get and Set since the last reset, in order.
const std::vector<Call>& RecordedCalls();
#endif
} // namespace StickyKeys
