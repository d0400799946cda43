#pragma once

// Flips the toggle of every player's object effect (the debug shortcut LShift+6). The effects are not
// built yet, so there is nothing to flip.
void TogglePlayerEffects();
