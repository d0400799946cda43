// The input recording's two hot paths: reading a whole match back at the start of the credits (inside
// one update), and writing one update's records while a match runs.
#include "InputRecording.h"
#include "InputSystem.h"
#include "LoggingSystem.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace
{
// Preferences in a private temporary folder, so the benchmark never touches the player's recording.
void UseTemporaryPreferences()
{
    static const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "glimmock_bench_prefs";
    std::filesystem::create_directories(folder);
    setenv("XDG_DATA_HOME", folder.c_str(), 1);
    InitPrefsFolder();
}

// A recording shaped like a match: twelve axis lines per update and now and then a key.
void WriteMatchRecording(std::int64_t lineCount)
{
    std::ofstream file(GetReplayLogPath(), std::ios::trunc);
    std::int64_t written = 0;
    for (std::int64_t frame = 1; written < lineCount; ++frame)
    {
        for (int line = 0; line < 12 && written < lineCount; ++line, ++written)
            file << frame << " 0 " << line % 6 << " " << (line == 0 ? 12000 : 0) << " " << line / 6 << "\n";
        if (frame % 20 == 0 && written < lineCount)
        {
            file << frame << " 768 1 1073741903 0\n";
            ++written;
        }
    }
}

void BM_StartReplayParse(benchmark::State& state)
{
    ResetInputRecording();
    UseTemporaryPreferences();
    const std::int64_t lines = state.range(0);
    WriteMatchRecording(lines);
    for (auto _ : state)
    {
        StartReplay();
        benchmark::DoNotOptimize(IsReplaying());
    }
    StopReplay();
    state.SetItemsProcessed(state.iterations() * lines);
    state.counters["ns_per_line"] =
        benchmark::Counter(static_cast<double>(state.iterations() * lines),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_StartReplayParse)->Arg(10000)->Arg(100000)->Arg(300000)->Unit(benchmark::kMillisecond);

void BM_RecordOneUpdate(benchmark::State& state)
{
    ResetInputRecording();
    UseTemporaryPreferences();
    LoggingSystem logging;
    InputSystem input;
    SetRecordingPath(GetReplayLogPath());
    SetRecording(true);
    SDL_KeyboardEvent down{};
    down.type = SDL_KEYDOWN;
    down.keysym.sym = SDLK_RIGHT;
    SDL_KeyboardEvent up = down;
    up.type = SDL_KEYUP;
    for (auto _ : state)
    {
        input.ClearFrameLists();
        input.HandleKeyEvent(down, true);
        input.HandleKeyEvent(up, false);
        input.Update(1.0f / 60.0f);
    }
    SetRecording(false);
    ResetInputRecording();
}
BENCHMARK(BM_RecordOneUpdate)->Unit(benchmark::kMicrosecond);
} // namespace
