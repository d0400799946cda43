#include "DayCycle.h"

#include <cmath>

namespace
{
constexpr float kCycleSeconds = 20.0f;
float dayClock = 0.0f;
} // namespace

float AdvanceDayCycle(float dt)
{
    dayClock += dt / kCycleSeconds;
    if (dayClock > 1.0f)
    {
        dayClock -= 1.0f;
    }
    return std::sin(dayClock * 3.1415927f * 0.5f);
}

float DayCycleClock()
{
    return dayClock;
}

void ResetDayCycle()
{
    dayClock = 0.0f;
}
