#pragma once

// Flips the toggle of every player's burn effect (the debug shortcut LShift+6).
void TogglePlayerEffects();
