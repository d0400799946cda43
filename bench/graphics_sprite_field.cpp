// The sprite field: N sprites of one material turning about (3000, 0), drawn through the whole renderer
// on an offscreen window. Reports per frame the submit time, the engine's own draw work, the driver's
// time to finish, and the draw calls, instanced draws, instances and bytes uploaded.
#include "Camera.h"
#include "Graphics.h"
#include "Material.h"
#include "RenderStats.h"
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
constexpr float kCentreX = 3000.0f;
constexpr float kScale = 10.0f;
constexpr int kPeriod = 360;

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Field
{
    std::vector<Material> materials;
    // Every material copies one shader's layout: its inputs are found once for all.
    ShaderInput modelWorld;
    ShaderInput tint;
    // Each sprite's scale and place about the centre; the ring's turn is applied per frame.
    std::vector<Matrix3> locals;
    std::vector<Vector4> tints;
    std::vector<Matrix3> ringTurns;
};

Field BuildField(Graphics& graphics, int count)
{
    Field field;
    Shader* basic = graphics.GetShader("basic");
    Texture& white = TextureManager::GetTexture("White");
    Material prototype("lol", basic, 1000, MaterialRenderState(bmAlphaBlended, true, kDepthLess));
    prototype.data.SetUInt("texture", &white);
    field.materials.assign(static_cast<std::size_t>(count), prototype);
    field.modelWorld = prototype.data.FindInput("modelWorld", satMatrix3);
    field.tint = prototype.data.FindInput("tint", satVector4);
    for (int i = 0; i < count; ++i)
    {
        // Rings of 360 sprites, one degree apart, each ring further out.
        const float angle = static_cast<float>(i % kPeriod) * 3.14159265f / 180.0f;
        const float radius = 20.0f + 2.0f * static_cast<float>(i / kPeriod);
        field.locals.push_back(TranslationMatrix(radius * std::cos(angle), radius * std::sin(angle)) *
                               ScaleMatrix(kScale, kScale));
        const float share = static_cast<float>(i) / 50000.0f;
        field.tints.push_back(Vector4(1.0f - share, 0.0f, share, 1.0f));
    }
    field.ringTurns.resize(static_cast<std::size_t>(count / kPeriod + 1));
    return field;
}

void SubmitField(Field& field, int frame)
{
    // Every ring turns about the centre, the outer ones a little faster.
    for (std::size_t ring = 0; ring < field.ringTurns.size(); ++ring)
    {
        const float turn = static_cast<float>(frame) * (1.0f + static_cast<float>(ring) / 360.0f);
        field.ringTurns[ring] = TranslationMatrix(kCentreX, 0.0f) * RotationMatrix(turn);
    }
    for (std::size_t i = 0; i < field.materials.size(); ++i)
    {
        Material& material = field.materials[i];
        material.data.SetMatrix3(field.modelWorld, field.ringTurns[i / kPeriod] * field.locals[i]);
        material.data.SetVector4(field.tint, field.tints[i]);
        material.Submit();
    }
}

void BM_SpriteField(benchmark::State& state)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    // The shaders are read from the game's data folder.
    std::filesystem::current_path(GLIMMOCK_DATA_DIR);
    auto window = std::make_unique<WindowProvider>();
    try
    {
        window->Init();
    }
    catch (const std::exception& error)
    {
        state.SkipWithError(error.what());
        return;
    }
    WindowProvider::SetWindowVisible(0, true);
    {
        auto graphics = std::make_unique<Graphics>();
        graphics->Init();
        const std::uint8_t white[4] = {255, 255, 255, 255};
        TextureManager::CreateTexture("White", 1, 1, white, GL_RGBA);
        CameraManager::GetCameras().front()->SetPosition(kCentreX, 0.0f);
        Field field = BuildField(*graphics, static_cast<int>(state.range(0)));

        // The first frames size every buffer; the measured frames reuse them.
        int frame = 0;
        for (; frame < 3; ++frame)
        {
            SubmitField(field, frame);
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
            SubmitField(field, frame++);
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
        state.counters["draw_calls_and_gl_ms"] = 1e3 * drawSeconds / frames;
        state.counters["finish_ms"] = 1e3 * finishSeconds / frames;
        state.counters["draw_calls"] = static_cast<double>(after.drawCalls - before.drawCalls) / frames;
        state.counters["instanced_draws"] =
            static_cast<double>(after.instancedDraws - before.instancedDraws) / frames;
        state.counters["instances"] = static_cast<double>(after.instances - before.instances) / frames;
        state.counters["draw_path_allocations"] = static_cast<double>(gAllocations) / frames;
        state.counters["bytes_uploaded"] =
            static_cast<double>(after.bytesUploaded - before.bytesUploaded) / frames;
        graphics->Exit();
    }
    window->Exit();
}
} // namespace

BENCHMARK(BM_SpriteField)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond)->UseRealTime();
