#include "SoundHooks.h"

std::function<void(const std::string&)> SoundHooks::play;
std::function<void(const std::string&)> SoundHooks::stop;

void SoundHooks::Play(const std::string& name)
{
    if (play)
        play(name);
}

void SoundHooks::Stop(const std::string& name)
{
    if (stop)
        stop(name);
}

void SoundHooks::Reset()
{
    play = nullptr;
    stop = nullptr;
}
