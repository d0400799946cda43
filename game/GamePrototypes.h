#pragma once

// Runs every subsystem's prototype registration, lowest subsystem first; running it twice changes nothing.
void RegisterAllPrototypes();
// The game's own: the menu script's prototype, and the menu button state and commands in the behaviour
// factory in place of gameplay's stand-ins. Run it again after anything that resets the factory.
void RegisterGamePrototypes();
