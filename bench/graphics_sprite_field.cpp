// The sprite field (SpriteField): N sprites of one material turning about (3000, 0), drawn through the
// whole renderer on an offscreen window. Reports per frame the submit time, the engine's own draw work,
// the driver's time to finish, and the draw calls, instanced draws, instances and bytes uploaded; and,
// apart, one update of the field alone.
#include "Camera.h"
#include "Graphics.h"
#include "Material.h"
#include "RenderStats.h"
#include "SpriteField.h"
#include "TextureManager.h"
#include "WindowProvider.h"

#include <benchmark/benchmark.h>
#include <glad/gl.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <new>
#include <vector>

namespace
{
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

// Counts operator new calls while the draw path runs, to show it allocates nothing once sized.
bool gCountAllocations = false;
std::uint64_t gAllocations = 0;
} // namespace

void* operator new(std::size_t size)
{
    if (gCountAllocations)
        ++gAllocations;
    if (void* memory = std::malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

namespace
{
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// An offscreen window with the renderer started and a "White" texture, the camera on the field.
struct FieldWindow
{
    std::unique_ptr<WindowProvider> window;
    std::unique_ptr<Graphics> graphics;

    bool Open(benchmark::State& state)
    {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        // The shaders are read from the game's data folder.
        std::filesystem::current_path(GLIMMOCK_DATA_DIR);
        window = std::make_unique<WindowProvider>();
        try
        {
            window->Init();
        }
        catch (const std::exception& error)
        {
            state.SkipWithError(error.what());
            window.reset();
            return false;
        }
        WindowProvider::SetWindowVisible(0, true);
        graphics = std::make_unique<Graphics>();
        graphics->Init();
        const std::uint8_t white[4] = {255, 255, 255, 255};
        TextureManager::CreateTexture("White", 1, 1, white, GL_RGBA);
        CameraManager::GetCameras().front()->SetPosition(SpriteField::kCentreX, 0.0f);
        return true;
    }

    std::unique_ptr<SpriteField> MakeField(std::size_t count)
    {
        return std::make_unique<SpriteField>(graphics->GetShader("basic"),
                                             &TextureManager::GetTexture("White"), count);
    }

    ~FieldWindow()
    {
        if (graphics)
            graphics->Exit();
        graphics.reset();
        if (window)
            window->Exit();
    }
};

void BM_SpriteField(benchmark::State& state)
{
    FieldWindow field;
    if (!field.Open(state))
        return;
    {
        Graphics* graphics = field.graphics.get();
        auto sprites = field.MakeField(static_cast<std::size_t>(state.range(0)));

        // The first frames size every buffer; the measured frames reuse them.
        for (int frame = 0; frame < 3; ++frame)
        {
            sprites->Update();
            graphics->Update(1.0f / 60.0f);
        }
        glFinish();

        double submitSeconds = 0.0;
        double upkeepSeconds = 0.0;
        double drawSeconds = 0.0;
        double finishSeconds = 0.0;
        const RenderStats before = GetRenderStats();
        for (auto _ : state)
        {
            auto start = Clock::now();
            sprites->Update();
            submitSeconds += Seconds(start);
            gCountAllocations = true;
            start = Clock::now();
            graphics->UpkeepBatches();
            upkeepSeconds += Seconds(start);
            start = Clock::now();
            graphics->DrawWindows();
            graphics->ResetFrame();
            drawSeconds += Seconds(start);
            gCountAllocations = false;
            start = Clock::now();
            glFinish();
            finishSeconds += Seconds(start);
        }
        const RenderStats& after = GetRenderStats();
        const double frames = static_cast<double>(state.iterations());
        const double staging = after.stagingSeconds - before.stagingSeconds;
        state.counters["submit_ms"] = 1e3 * submitSeconds / frames;
        state.counters["engine_draw_ms"] = 1e3 * (upkeepSeconds + staging) / frames;
        state.counters["upkeep_ms"] = 1e3 * upkeepSeconds / frames;
        state.counters["draw_calls_and_gl_ms"] = 1e3 * drawSeconds / frames;
        state.counters["finish_ms"] = 1e3 * finishSeconds / frames;
        state.counters["draw_calls"] = static_cast<double>(after.drawCalls - before.drawCalls) / frames;
        state.counters["instanced_draws"] =
            static_cast<double>(after.instancedDraws - before.instancedDraws) / frames;
        state.counters["instances"] = static_cast<double>(after.instances - before.instances) / frames;
        state.counters["draw_path_allocations"] = static_cast<double>(gAllocations) / frames;
        state.counters["bytes_uploaded"] =
            static_cast<double>(after.bytesUploaded - before.bytesUploaded) / frames;
    }
}

// One update of the field alone: the turn, the input writes and the submissions, without the draw. The
// batches are emptied between updates, untimed.
void BM_SpriteFieldUpdate(benchmark::State& state)
{
    FieldWindow field;
    if (!field.Open(state))
        return;
    auto sprites = field.MakeField(static_cast<std::size_t>(state.range(0)));
    sprites->Update();
    field.graphics->ResetFrame();
    for (auto _ : state)
    {
        sprites->Update();
        state.PauseTiming();
        field.graphics->ResetFrame();
        state.ResumeTiming();
    }
    state.counters["entries"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * static_cast<double>(state.range(0)),
                           benchmark::Counter::kIsRate);
}
} // namespace

BENCHMARK(BM_SpriteField)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SpriteFieldUpdate)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(50000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
