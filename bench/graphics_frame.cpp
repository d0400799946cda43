// The whole frame on the software rasteriser: the game booted offscreen draws its boot screens (the two
// logo splashes and the main menu) and a lit arena at 640x480 and 1280x720. Each pass of the frame is
// timed with GL timer queries; after every run a table gives pass, resolution and milliseconds a frame.
#include "Engine.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStartup.h"
#include "GameState.h"
#include "GameStateManager.h"
#include "GameStateRequest.h"
#include "Light.h"
#include "PassTimer.h"
#include "RenderStats.h"
#include "Renderer.h"
#include "SystemManager.h"
#include "SystemSlots.h"
#include "TextureManager.h"
#include "Transform.h"
#include "WindowAccess.h"
#include "audio/AudioSystem.h"

#include <benchmark/benchmark.h>
#include <glad/gl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace
{
// CPU seconds spent by every thread of the process (the rasteriser's threads included): std::clock
// measures the whole process's CPU time on POSIX systems.
double ProcessCpuSeconds()
{
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

constexpr float kStep = 1.0f / 60.0f;
constexpr int kSettleFrames = 3;

struct Resolution
{
    int width;
    int height;
};
constexpr Resolution kResolutions[] = {{640, 480}, {1280, 720}};

struct Scene
{
    const char* name;
    std::int32_t state;
    bool arena;
};
constexpr Scene kScenes[] = {{"logo splash", GameStateIndex::TorvaneSplashScreen, false},
                             {"game splash", GameStateIndex::GameSplashScreen, false},
                             {"main menu", GameStateIndex::MainMenu, false},
                             {"lit arena", GameStateIndex::Level1Temp, true}};

std::filesystem::path& WorkFolder()
{
    static std::filesystem::path folder;
    return folder;
}

// The game, started once for the program, on a clock of its own.
struct BootedGame
{
    std::unique_ptr<Engine> engine;
    double gameTime = 0.0;
    Resolution resolution{640, 480};
    std::string failure;

    BootedGame()
    {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("SDL_AUDIODRIVER", "none", 0);
        // The game saves a level when it leaves a test scene: run from a copy so the source data stays
        // untouched.
        namespace fs = std::filesystem;
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        WorkFolder() = fs::temp_directory_path() / ("glimmock-frame-bench-" + std::to_string(stamp));
        fs::copy(GLIMMOCK_DATA_DIR, WorkFolder(), fs::copy_options::recursive);
        fs::current_path(WorkFolder());
        std::atexit(
            []
            {
                std::error_code ignored;
                fs::current_path(fs::temp_directory_path(ignored), ignored);
                fs::remove_all(WorkFolder(), ignored);
            });
        audio::SetNextClock([this] { return gameTime; });
        try
        {
            engine = StartGame(MakeGameSystemFactories());
        }
        catch (const std::exception& error)
        {
            failure = error.what();
            return;
        }
        engine->SetClock([this] { return gameTime; });
        // Every frame is drawn, at the size the benchmark asks for.
        WindowAccess& access = GetWindowAccess();
        access.visible = [](std::size_t) { return true; };
        access.size = [this](std::size_t, int& w, int& h)
        {
            w = resolution.width;
            h = resolution.height;
        };
    }

    void Step()
    {
        gameTime += kStep;
        engine->Update(kStep);
        PhysicsUpdate(kStep);
    }

    std::int32_t CurrentState() const
    {
        return gGameStateManager != nullptr ? gGameStateManager->GetCurrentIndex() : -1;
    }
};

BootedGame& Game()
{
    // Never destroyed: the game's globals outlive any orderly teardown at exit.
    static BootedGame* game = new BootedGame;
    return *game;
}

GameObject* AddSprite(float x, float y, float w, float h, const Vector4& tint)
{
    GameObject* object = gGameObjectFactory->CreateObject();
    auto* transform = object->GetComponentAs<Transform>(Transform::kTypeId);
    transform->SetTranslation(Vector3(x, y, 1.0f));
    transform->SetScale(Vector3(w, h, 1.0f));
    Renderer sprite;
    sprite.tint = tint;
    sprite.SetUInt("texture", &TextureManager::GetTexture(TextureManager::kWhitePixelName));
    object->AddComponent(sprite);
    return object;
}

void AddLight(float x, float y, float size, const Vector4& tint)
{
    GameObject* object = gGameObjectFactory->CreateObject();
    object->GetComponentAs<Transform>(Transform::kTypeId)->SetTranslation(Vector3(x, y, 1.0f));
    Light light;
    light.size = Vector2(size, size);
    light.tint = tint;
    light.shadowTint = Vector4(0.1f, 0.1f, 0.15f, 1.0f);
    light.intensity = 1.5f;
    object->AddComponent(light);
}

// The match's walled arena (1920 x 480 about the origin) with platforms, two players and a ball in it,
// lit by four lights that the platforms shadow.
void BuildLitArena()
{
    const Vector4 wall(0.3f, 0.3f, 0.35f, 1.0f);
    AddSprite(0.0f, -250.0f, 1920.0f, 40.0f, wall);
    AddSprite(0.0f, 250.0f, 1920.0f, 40.0f, wall);
    AddSprite(-970.0f, 0.0f, 40.0f, 480.0f, wall);
    AddSprite(970.0f, 0.0f, 40.0f, 480.0f, wall);
    for (int i = 0; i < 12; ++i)
    {
        const float x = -825.0f + 150.0f * static_cast<float>(i);
        const float y = (i % 3 == 0) ? -120.0f : (i % 3 == 1 ? 0.0f : 110.0f);
        AddSprite(x, y, 110.0f, 18.0f, Vector4(0.5f, 0.45f, 0.4f, 1.0f));
    }
    AddSprite(-200.0f, -200.0f, 40.0f, 60.0f, Vector4(0.9f, 0.2f, 0.2f, 1.0f));
    AddSprite(200.0f, -200.0f, 40.0f, 60.0f, Vector4(0.2f, 0.3f, 0.9f, 1.0f));
    AddSprite(0.0f, -20.0f, 24.0f, 24.0f, Vector4(1.0f, 0.9f, 0.3f, 1.0f));
    AddLight(-450.0f, 150.0f, 700.0f, Vector4(1.0f, 0.8f, 0.6f, 1.0f));
    AddLight(450.0f, 150.0f, 700.0f, Vector4(0.6f, 0.8f, 1.0f, 1.0f));
    AddLight(-150.0f, -100.0f, 500.0f, Vector4(1.0f, 0.5f, 0.5f, 1.0f));
    AddLight(150.0f, -100.0f, 500.0f, Vector4(0.5f, 1.0f, 0.5f, 1.0f));
}

// Switches to the scene's state (and builds the arena in it) when the game is elsewhere.
void EnterScene(BootedGame& game, const Scene& scene)
{
    if (game.CurrentState() == scene.state)
        return;
    RequestGameState(scene.state);
    game.Step();
    if (scene.arena)
        BuildLitArena();
}

void BM_Frame(benchmark::State& state)
{
    BootedGame& game = Game();
    if (!game.engine)
    {
        state.SkipWithError(("no game: " + game.failure).c_str());
        return;
    }
    const Scene& scene = kScenes[state.range(0)];
    game.resolution = kResolutions[state.range(1)];
    EnterScene(game, scene);
    for (int frame = 0; frame < kSettleFrames; ++frame)
        game.Step();
    glFinish();

    PassTimer::SetEnabled(true);
    std::vector<std::string> passOrder;
    std::map<std::string, double> passTotals;
    double frameSeconds = 0.0;
    double cpuSeconds = 0.0;
    const RenderStats statsBefore = GetRenderStats();
    for (auto _ : state)
    {
        // A splash that timed out is entered again, outside the timing.
        state.PauseTiming();
        EnterScene(game, scene);
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = ProcessCpuSeconds();
        game.Step();
        glFinish();
        frameSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        cpuSeconds += ProcessCpuSeconds() - cpuStart;
        state.PauseTiming();
        for (const PassTimer::PassTime& pass : PassTimer::Collect())
        {
            if (passTotals.find(pass.pass) == passTotals.end())
                passOrder.push_back(pass.pass);
            passTotals[pass.pass] += pass.milliseconds;
        }
        state.ResumeTiming();
    }
    PassTimer::SetEnabled(false);

    const double frames = static_cast<double>(state.iterations());
    state.counters["frame_ms"] = 1e3 * frameSeconds / frames;
    state.counters["fps"] = frames / frameSeconds;
    // All threads' CPU per frame: the rasteriser's work, less sensitive to a busy machine than frame_ms.
    state.counters["process_cpu_ms"] = 1e3 * cpuSeconds / frames;
    // GL draws a frame, and the sprite batches' runs of shared textures among them.
    state.counters["draw_calls"] = static_cast<double>(GetRenderStats().drawCalls - statsBefore.drawCalls) / frames;
    state.counters["unit_runs"] = static_cast<double>(GetRenderStats().unitRuns - statsBefore.unitRuns) / frames;
    std::printf("\n%-20s %-10s %9s   (%s)\n", "pass", "resolution", "ms", scene.name);
    double passSum = 0.0;
    for (const std::string& pass : passOrder)
    {
        std::printf("%-20s %4dx%-5d %9.3f\n", pass.c_str(), game.resolution.width, game.resolution.height,
                    passTotals[pass] / frames);
        passSum += passTotals[pass] / frames;
    }
    std::printf("%-20s %4dx%-5d %9.3f\n\n", "all passes", game.resolution.width, game.resolution.height,
                passSum);
}
} // namespace

BENCHMARK(BM_Frame)
    ->ArgNames({"scene", "resolution"})
    ->ArgsProduct({{0, 1, 2, 3}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
