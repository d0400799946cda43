// Replays every input as the credits' input recording: it is written where the recording lives, read by
// StartReplay and fed through the live input handlers for up to kUpdates updates. A recording whose records
// all lie within those updates must end by itself.
#include "InputRecording.h"
#include "InputSystem.h"
#include "LoggingSystem.h"
#include "SoundHooks.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <system_error>
#include <unistd.h>

namespace
{
constexpr int kUpdates = 48;

// The input system with its preferences (and so the recording) in a folder of its own.
struct ReplayWorld
{
    ReplayWorld()
        : home(std::filesystem::temp_directory_path() / ("fuzz_replay_" + std::to_string(::getpid())))
    {
        std::filesystem::create_directories(home);
        setenv("XDG_DATA_HOME", home.c_str(), 1);
        ResetInputRecording();
        SoundHooks::Reset();
        logging = std::make_unique<LoggingSystem>();
        input = std::make_unique<InputSystem>();
        InitPrefsFolder();
        // The second slot answers to another joystick, as a second controller would.
        input->controllers[1].instanceId = 7;
    }
    ~ReplayWorld()
    {
        input.reset();
        logging.reset();
        std::error_code error;
        std::filesystem::remove_all(home, error);
    }

    std::filesystem::path home;
    std::unique_ptr<LoggingSystem> logging;
    std::unique_ptr<InputSystem> input;
};

// Whether every record of the text lies on a frame the updates reach: a line starting with a small number.
bool EndsWithinTheUpdates(const std::string& text)
{
    std::size_t start = 0;
    while (start < text.size())
    {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        std::size_t digits = 0;
        while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9')
            ++digits;
        if (digits == 0 || digits > 2 || std::stoi(line.substr(0, digits)) > kUpdates - 3)
            return false;
        start = end + 1;
    }
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static ReplayWorld world;
    const std::string text(reinterpret_cast<const char*>(data), size);
    {
        std::ofstream file(GetReplayLogPath(), std::ios::binary | std::ios::trunc);
        file << text;
    }
    StartReplay();
    for (int update = 0; update < kUpdates && IsReplaying(); ++update)
    {
        world.input->ClearFrameLists();
        world.input->Update(1.0f / 60.0f);
        for (std::int32_t device = 0; device < 2; ++device)
            for (int axis = 0; axis < 6; ++axis)
                FindReplayedAxis(device, axis);
    }
    if (IsReplaying() && EndsWithinTheUpdates(text))
        std::abort();
    while (TakeRecordedModuleChoice().has_value())
    {
    }
    StopReplay();
    world.input->keysDown.clear();
    for (auto& slot : world.input->controllers)
        slot.buttonsDown.clear();
    return 0;
}
