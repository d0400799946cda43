#include "InputRecording.h"

#include "InputSystem.h"
#include "LoggingSystem.h"
#include "SoundHooks.h"

#include <SDL.h>

#include <algorithm>
#include <charconv>
#include <deque>
#include <fstream>
#include <iostream>
#include <limits>
#include <utility>
#include <vector>

namespace
{
constexpr const char* kPreferencesOrganisation = "Torvane";
constexpr const char* kPreferencesApplication = "Glimmock";
constexpr const char* kReplayLogName = "CreditsReplay.log";
constexpr const char* kReplayEndSound = "GameResume";
constexpr std::int32_t kFullScreenKey = 1073741892; // F11
constexpr std::int32_t kFirstShortcutDigit = 50;    // '2'
constexpr std::int32_t kLastShortcutDigit = 56;     // '8'

struct RecordingState
{
    std::string preferencesPath;
    std::map<std::string, std::filesystem::path> preferencesFiles;
    std::string recordingPath;
    bool recording = false;
    bool playing = false;
    std::int64_t recordFrame = 0;
    std::int64_t replayClock = 0;
    std::deque<InputRecord> replayQueue;
    std::vector<InputRecord> replayedAxes;
    std::deque<std::int32_t> moduleChoices;
    // What the replay pressed and has not released, so that it can be let go when the replay ends.
    std::vector<std::int32_t> replayHeldKeys;
    std::vector<std::pair<int, std::uint8_t>> replayHeldButtons;
};

RecordingState state;

void CloseRecordingFile(const std::string& path)
{
    if (gLoggingSystem != nullptr && !path.empty())
        gLoggingSystem->Close(path);
}

// Reads one whitespace-separated integer from text, advancing it; false when there is none or it
// does not fit.
bool ReadField(std::string_view& text, std::int64_t& value)
{
    std::size_t start = text.find_first_not_of(" \t\r");
    if (start == std::string_view::npos)
        return false;
    text.remove_prefix(start);
    const char* first = text.data();
    const char* last = first + text.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || (end != last && *end != ' ' && *end != '\t' && *end != '\r'))
        return false;
    text.remove_prefix(static_cast<std::size_t>(end - first));
    return true;
}

bool FitsInt32(std::int64_t value)
{
    return value >= std::numeric_limits<std::int32_t>::min() &&
           value <= std::numeric_limits<std::int32_t>::max();
}

// A line gives a record only when it holds exactly five numbers that fit their fields.
bool ParseRecordLine(std::string_view line, InputRecord& record)
{
    std::int64_t fields[5];
    for (std::int64_t& field : fields)
    {
        if (!ReadField(line, field))
            return false;
    }
    if (line.find_first_not_of(" \t\r") != std::string_view::npos)
        return false;
    if (fields[1] < 0 || fields[1] > std::numeric_limits<std::uint32_t>::max() || !FitsInt32(fields[2]) ||
        !FitsInt32(fields[3]) || !FitsInt32(fields[4]))
        return false;
    record.frame = fields[0];
    record.type = static_cast<std::uint32_t>(fields[1]);
    record.a = static_cast<std::int32_t>(fields[2]);
    record.b = static_cast<std::int32_t>(fields[3]);
    record.c = static_cast<std::int32_t>(fields[4]);
    return true;
}

bool IsNeverReplayed(const InputRecord& record)
{
    switch (record.type)
    {
    case kRecordKeyDown:
    case kRecordKeyUp:
        return IsNeverRecordedKey(record.b);
    case kRecordButtonDown:
    case kRecordButtonUp:
        return IsNeverRecordedButton(record.b);
    default:
        return false;
    }
}

void ReadReplayFile(std::istream& file)
{
    std::string line;
    InputRecord record;
    while (std::getline(file, line))
    {
        if (!ParseRecordLine(line, record) || record.frame < state.replayClock || IsNeverReplayed(record))
            continue;
        if (record.type == kRecordModuleChoice)
            state.moduleChoices.push_back(record.c);
        else
            state.replayQueue.push_back(record);
    }
}

void FeedKey(InputSystem& input, const InputRecord& record)
{
    SDL_KeyboardEvent event{};
    event.type = record.type == kRecordKeyDown ? SDL_KEYDOWN : SDL_KEYUP;
    event.keysym.sym = record.b;
    const bool pressed = record.a != 0;
    input.HandleKeyEvent(event, pressed);

    std::erase(state.replayHeldKeys, record.b);
    if (pressed)
        state.replayHeldKeys.push_back(record.b);
}

void FeedButton(InputSystem& input, const InputRecord& record)
{
    if (record.b < 0 || record.b > std::numeric_limits<std::uint8_t>::max())
        return;
    GameController* slot = input.FindController(record.c);
    if (slot == nullptr)
        return;
    SDL_ControllerButtonEvent event{};
    event.type = record.type == kRecordButtonDown ? SDL_CONTROLLERBUTTONDOWN : SDL_CONTROLLERBUTTONUP;
    event.which = record.c;
    event.button = static_cast<std::uint8_t>(record.b);
    const bool pressed = record.a != 0;
    slot->HandleButtonEvent(event, pressed);

    const std::pair<int, std::uint8_t> held{static_cast<int>(slot - input.controllers), event.button};
    std::erase(state.replayHeldButtons, held);
    if (pressed)
        state.replayHeldButtons.push_back(held);
}

void FeedRecord(InputSystem& input, const InputRecord& record)
{
    switch (record.type)
    {
    case kRecordAxis:
        state.replayedAxes.push_back(record);
        break;
    case kRecordKeyDown:
    case kRecordKeyUp:
        FeedKey(input, record);
        break;
    case kRecordButtonDown:
    case kRecordButtonUp:
        FeedButton(input, record);
        break;
    default:
        break;
    }
}

bool IsKeyPhysicallyDown(std::int32_t key)
{
    int keyCount = 0;
    const Uint8* keyboard = SDL_GetKeyboardState(&keyCount);
    const SDL_Scancode scancode = SDL_GetScancodeFromKey(key);
    return scancode > SDL_SCANCODE_UNKNOWN && scancode < keyCount && keyboard[scancode] != 0;
}

// Lets go of what the replay left held, unless the player holds it now; no released entry is made,
// so the next real press counts as new.
void ReleaseReplayHolds()
{
    if (gInputSystem != nullptr)
    {
        for (std::int32_t key : state.replayHeldKeys)
        {
            if (!IsKeyPhysicallyDown(key))
                std::erase(gInputSystem->keysDown, key);
        }
        for (const auto& [slotIndex, button] : state.replayHeldButtons)
        {
            GameController& slot = gInputSystem->controllers[slotIndex];
            const bool physicallyDown =
                slot.connected && slot.controller != nullptr &&
                SDL_GameControllerGetButton(slot.controller, static_cast<SDL_GameControllerButton>(button)) !=
                    0;
            if (!physicallyDown)
                std::erase(slot.buttonsDown, button);
        }
    }
    state.replayHeldKeys.clear();
    state.replayHeldButtons.clear();
}

void EndReplay()
{
    state.playing = false;
    state.replayQueue.clear();
    state.replayedAxes.clear();
    ReleaseReplayHolds();
}
} // namespace

bool IsNeverRecordedKey(std::int32_t key)
{
    return key == InputSystem::kEscapeKey || key == kFullScreenKey ||
           (key >= kFirstShortcutDigit && key <= kLastShortcutDigit);
}

bool IsNeverRecordedButton(std::int32_t button)
{
    return button == GameController::kStartButton;
}

void InitPrefsFolder()
{
    state.preferencesFiles.clear();
    char* path = SDL_GetPrefPath(kPreferencesOrganisation, kPreferencesApplication);
    if (path == nullptr)
    {
        state.preferencesPath.clear();
        std::cout << "WARNING: no preferences folder: " << SDL_GetError() << "\n";
        return;
    }
    state.preferencesPath = path;
    SDL_free(path);

    std::error_code error;
    for (std::filesystem::directory_iterator entry(state.preferencesPath, error), end; !error && entry != end;
         entry.increment(error))
        state.preferencesFiles[entry->path().stem().string()] = entry->path();
}

const std::string& GetPreferencesPath()
{
    return state.preferencesPath;
}

const std::map<std::string, std::filesystem::path>& GetPreferencesFiles()
{
    return state.preferencesFiles;
}

void AddPreferencesFile(const std::string& stem, const std::filesystem::path& path)
{
    state.preferencesFiles[stem] = path;
}

std::string GetReplayLogPath()
{
    return state.preferencesPath + kReplayLogName;
}

void SetRecordingPath(const std::string& path)
{
    state.recordingPath = path;
}

const std::string& GetRecordingPath()
{
    return state.recordingPath;
}

void SetRecording(bool on)
{
    if (on == state.recording)
        return;
    state.recording = on;
    // Closing makes the lines readable at once when switching off, and starts a fresh file when on.
    CloseRecordingFile(state.recordingPath);
    if (on)
        state.recordFrame = 0;
}

bool IsRecording()
{
    return state.recording;
}

std::int64_t GetRecordFrame()
{
    return state.recordFrame;
}

void WriteInputRecord(std::uint32_t type, std::int32_t a, std::int32_t b, std::int32_t c)
{
    if (!state.recording || gLoggingSystem == nullptr || state.recordingPath.empty())
        return;
    std::string line = std::to_string(state.recordFrame);
    line += ' ';
    line += std::to_string(type);
    line += ' ';
    line += std::to_string(a);
    line += ' ';
    line += std::to_string(b);
    line += ' ';
    line += std::to_string(c);
    line += '\n';
    gLoggingSystem->Log(state.recordingPath, line);
}

void StartReplay()
{
    ReleaseReplayHolds();
    SetRecording(false);
    state.playing = true;
    state.replayQueue.clear();
    state.replayedAxes.clear();
    state.moduleChoices.clear();
    state.replayClock = 0;

    const std::string path = GetReplayLogPath();
    CloseRecordingFile(path);
    std::ifstream file(path);
    if (!file)
    {
        std::cerr << "Couldn't open " << path << " for read\n";
        return;
    }
    ReadReplayFile(file);
}

void PumpReplay(InputSystem& input)
{
    if (state.recording)
        ++state.recordFrame;
    if (!state.playing)
        return;

    state.replayedAxes.clear();
    while (!state.replayQueue.empty() && state.replayClock > state.replayQueue.front().frame)
    {
        const InputRecord record = state.replayQueue.front();
        state.replayQueue.pop_front();
        FeedRecord(input, record);
    }
    ++state.replayClock;

    if (state.replayQueue.empty())
    {
        EndReplay();
        SoundHooks::Play(kReplayEndSound);
    }
}

void StopReplay()
{
    EndReplay();
    state.moduleChoices.clear();
}

bool IsReplaying()
{
    return state.playing;
}

std::optional<std::int32_t> TakeRecordedModuleChoice()
{
    if (state.moduleChoices.empty())
        return std::nullopt;
    const std::int32_t choice = state.moduleChoices.front();
    state.moduleChoices.pop_front();
    return choice;
}

std::optional<std::int32_t> FindReplayedAxis(std::int32_t deviceIndex, int axis)
{
    for (const InputRecord& record : state.replayedAxes)
    {
        if (record.c == deviceIndex && record.a == axis)
            return record.b;
    }
    return std::nullopt;
}

void ResetInputRecording()
{
    state = RecordingState{};
}
