#pragma once
#include "InputRecording.h"
#include "InputSystem.h"
#include "LoggingSystem.h"
#include "PlatformHooks.h"
#include "SoundHooks.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace input_test
{
inline SDL_KeyboardEvent KeyEvent(bool down, SDL_Keycode key, bool repeat = false)
{
    SDL_KeyboardEvent event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.repeat = repeat ? 1 : 0;
    event.keysym.sym = key;
    return event;
}

inline SDL_ControllerButtonEvent ButtonEvent(bool down, std::uint8_t button, SDL_JoystickID which)
{
    SDL_ControllerButtonEvent event{};
    event.type = down ? SDL_CONTROLLERBUTTONDOWN : SDL_CONTROLLERBUTTONUP;
    event.button = button;
    event.which = which;
    return event;
}

inline std::vector<std::string> ReadLines(const std::string& path)
{
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

// A fresh folder under the system's temporary folder, removed afterwards.
class TempFolder
{
  public:
    TempFolder()
    {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        path = std::filesystem::temp_directory_path() / ("glimmock_" + std::to_string(::getpid()) + "_" +
                                                         test->test_suite_name() + "_" + test->name());
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TempFolder()
    {
        std::error_code error;
        std::filesystem::remove_all(path, error);
    }
    std::filesystem::path path;
};

// A logging system and an input system with clean recording state, sound and platform hooks, and
// preferences in a temporary folder (XDG_DATA_HOME).
class InputTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ResetInputRecording();
        SoundHooks::Reset();
        PlatformHooks::Reset();
        SoundHooks::play = [this](const std::string& name) { playedSounds.push_back(name); };
        setenv("XDG_DATA_HOME", dataHome.path.c_str(), 1);
        logging = std::make_unique<LoggingSystem>();
        input = std::make_unique<InputSystem>();
        InitPrefsFolder();
    }
    void TearDown() override
    {
        input.reset();
        logging.reset();
        ResetInputRecording();
        SoundHooks::Reset();
        PlatformHooks::Reset();
    }

    // One engine update as the window provider and the input system run it: the pump's list emptying,
    // the events, then the input update.
    void RunUpdate(const std::vector<SDL_KeyboardEvent>& keys = {})
    {
        input->ClearFrameLists();
        for (const SDL_KeyboardEvent& key : keys)
            input->HandleKeyEvent(key, key.type == SDL_KEYDOWN);
        input->Update(1.0f / 60.0f);
    }

    void WriteReplayFile(const std::string& text)
    {
        std::ofstream file(GetReplayLogPath(), std::ios::binary | std::ios::trunc);
        file << text;
    }

    TempFolder dataHome;
    std::unique_ptr<LoggingSystem> logging;
    std::unique_ptr<InputSystem> input;
    std::vector<std::string> playedSounds;
};
} // namespace input_test
