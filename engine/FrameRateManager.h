#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct CountdownTimer
{
    float value = 0.0f; // seconds left, never below 0 once counted down
    std::string name;
};

// The process-wide frame timing: fixed step, frame-time clamp, pause flag and the named countdown timers.
class FrameRateManager
{
public:
    static constexpr float kDefaultFixedStep = 1.0f / 60.0f;
    static constexpr float kDefaultMaxFrameTime = 0.025f;

    // Resets the step, the clamp, their default copies, the accumulator and the pause flag.
    static void Init();
    // Init, the clock values and an empty timer list: a clean start for tests.
    static void Reset();

    // Appends a timer and returns its index, which stays valid for the whole run.
    static std::uint32_t AddTimer(const std::string& name, float value);
    // Sets every timer of that name; creates none.
    static void SetTimer(const std::string& name, float value);
    // The value of the timer at index, or 0 when there is none.
    static float GetTimerValue(std::uint32_t index);
    // Writes the timer at index; an index out of range writes nothing.
    static void SetTimerValue(std::uint32_t index, float value);
    static const std::vector<CountdownTimer>& Timers() { return timers; }
    // Counts every timer down by d, stopping at 0; nothing happens while paused.
    static void CountDownTimers(float d);

    // Flips the pause flag and plays "GamePause" or "GameResume".
    static void TogglePause();
    static bool IsPaused() { return paused; }

    // Slow motion: both live values become the default fixed step divided by factor.
    static void SetSlowMotion(float factor);
    // Copies the defaults back into the live values.
    static void RestoreDefaults();

    static float currentTime;
    static float previousTime;
    static float accumulator;
    static float fixedStep;
    static float maxFrameTime;
    static float defaultFixedStep;
    static float defaultMaxFrameTime;

private:
    static bool paused;
    static std::vector<CountdownTimer> timers;
};
