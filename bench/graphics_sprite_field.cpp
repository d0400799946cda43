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
#include <vector>

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
    std::vector<Vector2> places;
    std::vector<Vector4> tints;
};

Field BuildField(Graphics& graphics, int count)
{
    Field field;
    Shader* basic = graphics.GetShader("basic");
    Texture& white = TextureManager::GetTexture("White");
    Material prototype("lol", basic, 1000, MaterialRenderState(bmAlphaBlended, true, kDepthLess));
    prototype.data.SetUInt("texture", &white);
    field.materials.assign(static_cast<std::size_t>(count), prototype);
    for (int i = 0; i < count; ++i)
    {
        // Rings of 360 sprites, one degree apart, each ring further out.
        const float angle = static_cast<float>(i % kPeriod) * 3.14159265f / 180.0f;
        const float radius = 20.0f + 2.0f * static_cast<float>(i / kPeriod);
        field.places.push_back(Vector2(radius * std::cos(angle), radius * std::sin(angle)));
        const float share = static_cast<float>(i) / 50000.0f;
        field.tints.push_back(Vector4(1.0f - share, 0.0f, share, 1.0f));
    }
    return field;
}

void SubmitField(Field& field, int frame)
{
    for (std::size_t i = 0; i < field.materials.size(); ++i)
    {
        const float turn = static_cast<float>(frame) * (1.0f + static_cast<float>(i / kPeriod) / 360.0f);
        const Matrix3 modelWorld = TranslationMatrix(kCentreX, 0.0f) * RotationMatrix(turn) *
                                   TranslationMatrix(field.places[i].x, field.places[i].y) *
                                   ScaleMatrix(kScale, kScale);
        Material& material = field.materials[i];
        material.data.SetMatrix3("modelWorld", modelWorld);
        material.data.SetVector4("tint", field.tints[i]);
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
            start = Clock::now();
            graphics->UpkeepBatches();
            upkeepSeconds += Seconds(start);
            start = Clock::now();
            graphics->DrawWindows();
            graphics->ResetFrame();
            drawSeconds += Seconds(start);
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
        state.counters["bytes_uploaded"] =
            static_cast<double>(after.bytesUploaded - before.bytesUploaded) / frames;
        graphics->Exit();
    }
    window->Exit();
}
} // namespace

BENCHMARK(BM_SpriteField)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond)->UseRealTime();
