#pragma once
#include <functional>
#include <string>

// The engine plays and stops sound events by name through these; the sound system fills them when it
// starts, so the engine never depends on it. An empty hook does nothing.
struct SoundHooks
{
    static std::function<void(const std::string&)> play;
    static std::function<void(const std::string&)> stop;

    // Plays the named sound event when a sound system is attached.
    static void Play(const std::string& name);
    // Stops the named sound event when a sound system is attached.
    static void Stop(const std::string& name);
    // Detaches both hooks.
    static void Reset();
};
