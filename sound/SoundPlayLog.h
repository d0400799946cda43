#pragma once
#include <string>
#include <vector>

// The names of the sound events that started playing, in order, for tests and diagnostics. Off until
// switched on; switching it off keeps the entries.
void SetSoundPlayLogging(bool on);
bool IsSoundPlayLogging();
// Appends the name while logging.
void LogSoundPlay(const std::string& name);
const std::vector<std::string>& SoundPlayLog();
void ClearSoundPlayLog();
