#pragma once

// The background's slow day cycle: one process-wide clock in [0, 1] that takes 20 seconds of game time
// to go round.

// Advances the clock by dt / 20 (wrapping past 1 once) and returns the time of day, sin(clock * pi / 2).
float AdvanceDayCycle(float dt);
// The clock's current value.
float DayCycleClock();
// Puts the clock back to 0 (tests).
void ResetDayCycle();
