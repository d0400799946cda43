// The drawing systems' per-frame work on an offscreen window: the particle system, the text renderer
// system and the sprite renderer (with the lighting effect's occlusion feed). Batches are emptied between
// iterations, outside the timing, as the renderer does after every frame.
#include "DrawingSystems.h"
#include "EnginePrototypes.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "Graphics.h"
#include "GraphicsPrototypes.h"
#include "ParticleComponent.h"
#include "Random.h"
#include "RenderStats.h"
#include "Renderer.h"
#include "SystemManager.h"
#include "TextRenderer.h"
#include "Transform.h"
#include "WindowAccess.h"
#include "WindowProvider.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <glad/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr float kDt = 1.0f / 60.0f;

// One window, one renderer and one object factory for the whole program.
struct DrawingWorld
{
    std::unique_ptr<WindowProvider> window;
    std::unique_ptr<Graphics> graphics;
    std::unique_ptr<GameObjectFactory> factory;
    bool ready = false;

    DrawingWorld()
    {
        std::filesystem::current_path(GLIMMOCK_DATA_DIR);
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        try
        {
            window = std::make_unique<WindowProvider>();
            window->Init();
        }
        catch (const std::exception& error)
        {
            std::fprintf(stderr, "no window: %s\n", error.what());
            return;
        }
        WindowAccess& access = GetWindowAccess();
        access.count = [] { return std::size_t{1}; };
        access.context = [](std::size_t) { return WindowProvider::GetGLContext(0); };
        access.makeCurrent = [](std::size_t) { WindowProvider::MakeCurrent(0); };
        access.size = [](std::size_t, int& w, int& h)
        {
            w = WindowProvider::GetWindowWidth(0);
            h = WindowProvider::GetWindowHeight(0);
        };
        access.visible = [](std::size_t) { return false; };
        graphics = std::make_unique<Graphics>();
        graphics->Init();
        factory = std::make_unique<GameObjectFactory>();
        factory->Init();
        RegisterEnginePrototypes();
        RegisterGraphicsPrototypes();
        ready = true;
    }

    void Clear()
    {
        factory->QueueDestroyAll();
        factory->DestroyQueuedObjects();
        graphics->ResetFrame();
    }
};

DrawingWorld& World()
{
    // Never destroyed: the registries it would tear down are static too, and may already be gone.
    static DrawingWorld* world = new DrawingWorld;
    return *world;
}

// Runs one drawing system per iteration and empties the batches after it, untimed.
void RunSystem(benchmark::State& state, std::size_t slot)
{
    DrawingWorld& world = World();
    System* system = SystemManager::GetSystem(slot);
    for (auto _ : state)
    {
        system->Update(kDt);
        state.PauseTiming();
        world.graphics->ResetFrame();
        state.ResumeTiming();
    }
}

void BM_ParticleSystemUpdate(benchmark::State& state)
{
    DrawingWorld& world = World();
    if (!world.ready)
    {
        state.SkipWithError("no GL context");
        return;
    }
    SeedRandom(1);
    const auto particles = static_cast<std::size_t>(state.range(0));
    const auto emitters = static_cast<std::size_t>(state.range(1));
    for (std::size_t e = 0; e < emitters; ++e)
    {
        GameObject* object = world.factory->CreateObject();
        ParticleComponent emitter;
        emitter.SetEmissionRate(0.0f);
        // Long lives, so the count stays put while the particles move.
        emitter.SetMinLife(1e6f);
        emitter.SetMaxLife(1e6f);
        object->AddComponent(emitter);
        GetParticleComponent(*object)->QueueParticles(particles / emitters);
    }
    SystemManager::GetSystem(kParticleSystemSlot)->Update(kDt);
    world.graphics->ResetFrame();
    RunSystem(state, kParticleSystemSlot);
    state.counters["particles"] =
        benchmark::Counter(static_cast<double>(particles) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
    world.Clear();
}
BENCHMARK(BM_ParticleSystemUpdate)
    ->ArgNames({"particles", "emitters"})
    ->Args({256, 1})
    ->Args({256, 16})
    ->Args({1024, 1})
    ->Args({1024, 16})
    ->Args({4096, 1})
    ->Args({4096, 16})
    ->Args({16384, 1})
    ->Args({16384, 16})
    ->Unit(benchmark::kMicrosecond);

void BM_TextRendererSystem(benchmark::State& state)
{
    DrawingWorld& world = World();
    if (!world.ready)
    {
        state.SkipWithError("no GL context");
        return;
    }
    const auto characters = static_cast<std::size_t>(state.range(0));
    const bool dirty = state.range(1) != 0;
    GameObject* object = world.factory->CreateObject();
    TextRenderer text;
    std::string content;
    for (std::size_t i = 0; i < characters; ++i)
        content.push_back(static_cast<char>('a' + i % 26));
    text.SetText(content);
    text.SetBottomLeft(Vector2(-450.0f, -300.0f));
    text.SetTopRight(Vector2(450.0f, 300.0f));
    object->AddComponent(text);
    TextRenderer* renderer = GetTextRenderer(*object);
    System* system = SystemManager::GetSystem(kTextRendererSystemSlot);
    for (auto _ : state)
    {
        if (dirty)
            renderer->SetSize(renderer->GetSize());
        system->Update(kDt);
        state.PauseTiming();
        world.graphics->ResetFrame();
        state.ResumeTiming();
    }
    state.counters["characters"] =
        benchmark::Counter(static_cast<double>(characters) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
    world.Clear();
}
BENCHMARK(BM_TextRendererSystem)
    ->ArgNames({"characters", "dirty"})
    ->Args({64, 0})
    ->Args({64, 1})
    ->Args({512, 0})
    ->Args({512, 1})
    ->Args({8192, 0})
    ->Args({8192, 1})
    ->Unit(benchmark::kMicrosecond);

void BM_BasicRenderer(benchmark::State& state)
{
    DrawingWorld& world = World();
    if (!world.ready)
    {
        state.SkipWithError("no GL context");
        return;
    }
    const auto sprites = static_cast<int>(state.range(0));
    for (int i = 0; i < sprites; ++i)
    {
        GameObject* object = world.factory->CreateObject();
        auto* transform = object->GetComponentAs<Transform>(Transform::kTypeId);
        transform->SetTranslation(
            Vector3(static_cast<float>(i % 100) * 9.0f, static_cast<float>(i / 100), 1.0f));
        transform->SetScale(Vector3(8.0f, 8.0f, 0.0f));
        Renderer renderer;
        object->AddComponent(renderer);
    }
    RunSystem(state, kBasicRendererSlot);
    state.counters["sprites"] = benchmark::Counter(
        static_cast<double>(sprites) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    world.Clear();
}
BENCHMARK(BM_BasicRenderer)->Arg(256)->Arg(1024)->Arg(4096)->Arg(16384)->Unit(benchmark::kMicrosecond);

// A whole frame of sprite objects through the sprite renderer, a batch and the draw. The engine's CPU
// work a frame is the sprite renderer's pass (submit), the batch upkeep and the staging of the instance
// bytes (engine_draw); the rest of the draw is the driver's and the rasteriser's, waited for outside.
void BM_SpriteObjectsFrame(benchmark::State& state)
{
    DrawingWorld& world = World();
    if (!world.ready)
    {
        state.SkipWithError("no GL context");
        return;
    }
    const auto sprites = static_cast<int>(state.range(0));
    for (int i = 0; i < sprites; ++i)
    {
        GameObject* object = world.factory->CreateObject();
        auto* transform = object->GetComponentAs<Transform>(Transform::kTypeId);
        transform->SetTranslation(
            Vector3(static_cast<float>(i % 250) * 3.6f - 450.0f, static_cast<float>(i / 250) * 2.4f - 240.0f,
                    1.0f));
        transform->SetScale(Vector3(3.0f, 3.0f, 0.0f));
        Renderer renderer;
        renderer.depth = static_cast<float>(i % 7) / 7.0f;
        object->AddComponent(renderer);
    }
    WindowAccess& access = GetWindowAccess();
    const auto hidden = access.visible;
    access.visible = [](std::size_t) { return true; };
    System* system = SystemManager::GetSystem(kBasicRendererSlot);
    using Clock = std::chrono::steady_clock;
    const auto since = [](Clock::time_point start)
    { return std::chrono::duration<double>(Clock::now() - start).count(); };
    for (int frame = 0; frame < 3; ++frame)
    {
        system->Update(kDt);
        world.graphics->Update(kDt);
    }
    glFinish();
    double submitSeconds = 0.0;
    double upkeepSeconds = 0.0;
    const double stagingBefore = GetRenderStats().stagingSeconds;
    // Each frame's CPU time too: a small world's frame is short enough for one preempted or cache-starved
    // frame on a busy machine to move the mean, so the median frame is reported beside it.
    std::vector<double> frameSeconds;
    frameSeconds.reserve(1 << 14);
    for (auto _ : state)
    {
        const double stagingAtStart = GetRenderStats().stagingSeconds;
        auto start = Clock::now();
        system->Update(kDt);
        const double submit = since(start);
        submitSeconds += submit;
        start = Clock::now();
        world.graphics->UpkeepBatches();
        const double upkeep = since(start);
        upkeepSeconds += upkeep;
        world.graphics->DrawWindows();
        frameSeconds.push_back(submit + upkeep + GetRenderStats().stagingSeconds - stagingAtStart);
        world.graphics->ResetFrame();
        state.PauseTiming();
        glFinish();
        state.ResumeTiming();
    }
    access.visible = hidden;
    const double frames = static_cast<double>(state.iterations());
    const double engineDraw = upkeepSeconds + GetRenderStats().stagingSeconds - stagingBefore;
    state.counters["submit_ms"] = 1e3 * submitSeconds / frames;
    state.counters["engine_draw_ms"] = 1e3 * engineDraw / frames;
    state.counters["upkeep_ms"] = 1e3 * upkeepSeconds / frames;
    state.counters["cpu_frame_ms"] = 1e3 * (submitSeconds + engineDraw) / frames;
    state.counters["ns_per_sprite"] = 1e9 * (submitSeconds + engineDraw) / frames / sprites;
    if (!frameSeconds.empty())
    {
        auto middle = frameSeconds.begin() + static_cast<std::ptrdiff_t>(frameSeconds.size() / 2);
        std::nth_element(frameSeconds.begin(), middle, frameSeconds.end());
        state.counters["median_cpu_frame_ms"] = 1e3 * *middle;
        state.counters["median_ns_per_sprite"] = 1e9 * *middle / sprites;
    }
    world.Clear();
}
// At least a second of timed frames: a few thousand frames of the small world, a hundred of the large.
BENCHMARK(BM_SpriteObjectsFrame)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(50000)
    ->MinTime(1.0)
    ->Unit(benchmark::kMillisecond);
} // namespace
