#include "FrameRateManager.h"

#include "SoundHooks.h"

float FrameRateManager::currentTime = 0.0f;
float FrameRateManager::previousTime = 0.0f;
float FrameRateManager::accumulator = 0.0f;
float FrameRateManager::fixedStep = FrameRateManager::kDefaultFixedStep;
float FrameRateManager::maxFrameTime = FrameRateManager::kDefaultMaxFrameTime;
float FrameRateManager::defaultFixedStep = FrameRateManager::kDefaultFixedStep;
float FrameRateManager::defaultMaxFrameTime = FrameRateManager::kDefaultMaxFrameTime;
bool FrameRateManager::paused = false;
std::vector<CountdownTimer> FrameRateManager::timers;

void FrameRateManager::Init()
{
    fixedStep = defaultFixedStep = kDefaultFixedStep;
    maxFrameTime = defaultMaxFrameTime = kDefaultMaxFrameTime;
    accumulator = 0.0f;
    paused = false;
}

void FrameRateManager::Reset()
{
    Init();
    currentTime = 0.0f;
    previousTime = 0.0f;
    timers.clear();
}

std::uint32_t FrameRateManager::AddTimer(const std::string& name, float value)
{
    timers.push_back({value, name});
    return static_cast<std::uint32_t>(timers.size() - 1);
}

void FrameRateManager::SetTimer(const std::string& name, float value)
{
    for (CountdownTimer& timer : timers)
    {
        if (timer.name == name)
            timer.value = value;
    }
}

float FrameRateManager::GetTimerValue(std::uint32_t index)
{
    return index < timers.size() ? timers[index].value : 0.0f;
}

void FrameRateManager::SetTimerValue(std::uint32_t index, float value)
{
    if (index < timers.size())
        timers[index].value = value;
}

void FrameRateManager::CountDownTimers(float d)
{
    if (paused)
        return;
    for (CountdownTimer& timer : timers)
    {
        timer.value -= d;
        if (timer.value <= 0.0f)
            timer.value = 0.0f;
    }
}

void FrameRateManager::TogglePause()
{
    if (paused)
    {
        paused = false;
        SoundHooks::Play("GameResume");
    }
    else
    {
        paused = true;
        SoundHooks::Play("GamePause");
    }
}

void FrameRateManager::SetSlowMotion(float factor)
{
    // A factor of 0 or less would stop or reverse the clock.
    if (!(factor > 0.0f))
        return;
    fixedStep = defaultFixedStep / factor;
    maxFrameTime = defaultFixedStep / factor;
}

void FrameRateManager::RestoreDefaults()
{
    fixedStep = defaultFixedStep;
    maxFrameTime = defaultMaxFrameTime;
}
