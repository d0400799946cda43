#pragma once
#include <string>

class GameState;

// Loads a screen's level through the state. A file that fails to load twice is reported with one line,
// "ERROR: level <name> failed to load: <what>", and the screen goes on with the world as it was (the
// reader changes nothing when it refuses a file).
void LoadScreenLevel(GameState& state, const std::string& name);
