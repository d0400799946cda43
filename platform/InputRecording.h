#pragma once
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

class InputSystem;

// One line of the input recording: frame, record type and three values.
struct InputRecord
{
    std::int64_t frame = 0;
    std::uint32_t type = 0;
    std::int32_t a = 0;
    std::int32_t b = 0;
    std::int32_t c = 0;
};

// Record types as the file stores them; they must never change with SDL's numbering.
inline constexpr std::uint32_t kRecordAxis = 0;
inline constexpr std::uint32_t kRecordModuleChoice = 1;
inline constexpr std::uint32_t kRecordKeyDown = 768;
inline constexpr std::uint32_t kRecordKeyUp = 769;
inline constexpr std::uint32_t kRecordButtonDown = 1617;
inline constexpr std::uint32_t kRecordButtonUp = 1618;

// Keys and buttons that switch screens or the window (Escape, F11, the main-row digits 2 to 8 behind the
// LShift shortcuts, START) never enter a recording, and a replay drops any line that holds one, so no
// replayed file can leave the credits, flip the window or open a menu.
bool IsNeverRecordedKey(std::int32_t key);
bool IsNeverRecordedButton(std::int32_t button);

// Finds the preferences folder and lists the files it holds.
void InitPrefsFolder();
// The preferences folder with its trailing separator; empty when the system has none.
const std::string& GetPreferencesPath();
// The files found in the preferences folder at start, by stem.
const std::map<std::string, std::filesystem::path>& GetPreferencesFiles();
// Enters a file the game itself writes into the preferences list under its stem; an entry of that stem
// is replaced.
void AddPreferencesFile(const std::string& stem, const std::filesystem::path& path);
// The preferences folder followed by "CreditsReplay.log".
std::string GetReplayLogPath();

// Where recorded lines go.
void SetRecordingPath(const std::string& path);
const std::string& GetRecordingPath();
// Switching on starts a fresh file at frame 0; switching off closes it, so readers see every line.
void SetRecording(bool on);
bool IsRecording();
// The frame number written into records; counts input-system updates while recording.
std::int64_t GetRecordFrame();
// Appends one line "frame type a b c" to the recording while recording.
void WriteInputRecord(std::uint32_t type, std::int32_t a, std::int32_t b, std::int32_t c);

// Reads the recording and starts feeding it into the input system, one frame per update.
void StartReplay();
// Advances the record frame and the replay; the input system calls it first in every update.
void PumpReplay(InputSystem& input);
// Ends a running replay at once, without the resume sound.
void StopReplay();
bool IsReplaying();
// The next recorded module choice, taken from the front; none when the recording is used up.
std::optional<std::int32_t> TakeRecordedModuleChoice();
// The value the replay gave this axis of this device index in the current update, if any.
std::optional<std::int32_t> FindReplayedAxis(std::int32_t deviceIndex, int axis);

// Forgets every recording and replay state; for tests.
void ResetInputRecording();
