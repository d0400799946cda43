// Level and module file speed: saving, staging and committing whole levels, merging modules into a running
// level, and what the checked save costs over a bare write. Each object has a Transform, a four-field
// component and a script.
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "LevelFile.h"
#include "LevelTestWorld.h"
#include "ModuleFile.h"
#include "ModuleWriter.h"
#include "Prototypes.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace
{
class FourFieldComponent : public Component
{
  public:
    FourFieldComponent() : Component("FourFieldComponent", 4) { RegisterComponentPrototype(*this); }
    FourFieldComponent(const FourFieldComponent&) = default;
    std::unique_ptr<Component> Clone() const override { return std::make_unique<FourFieldComponent>(*this); }
    std::unique_ptr<Component> Load(LevelIArchive& archive) override
    {
        LoadFields(Descriptors(), archive, *this);
        return Clone();
    }
    void Save(LevelOArchive& archive) const override { SaveFields(Descriptors(), archive, *this); }
    std::uint32_t GetVersion() const override { return 1; }

    static const DescriptorList<FourFieldComponent>& Descriptors()
    {
        using F = FourFieldComponent;
        static const DescriptorList<F> list = []
        {
            DescriptorList<F> fields;
            const FieldOptions options{.firstVersion = 1};
            fields.push_back(std::make_unique<Metafloat<F>>(
                "Speed", options, [](const F& f) { return f.speed; },
                [](F& f, const float& v) { f.speed = v; }));
            fields.push_back(std::make_unique<Metaint<F>>(
                "Lives", options, [](const F& f) { return f.lives; },
                [](F& f, const std::int32_t& v) { f.lives = v; }));
            fields.push_back(std::make_unique<MetaVector2<F>>(
                "Spawn", options, [](const F& f) { return f.spawn; },
                [](F& f, const Vector2& v) { f.spawn = v; }));
            fields.push_back(std::make_unique<MetaText<F>>(
                "Label", options, [](const F& f) { return f.label; },
                [](F& f, const std::string& v) { f.label = v; }));
            return fields;
        }();
        return list;
    }

    float speed = 3.25f;
    std::int32_t lives = 3;
    Vector2 spawn{12.5f, -4.0f};
    std::string label = "bench object";
};

// A fresh world of `count` objects, tagged `tag`.
class BenchWorld
{
  public:
    explicit BenchWorld(std::int64_t count, Tag tag = 0)
    {
        ResetLevelWorld();
        FourFieldComponent prototype;
        factory = std::make_unique<GameObjectFactory>();
        factory->Init();
        for (std::int64_t i = 0; i < count; ++i)
        {
            GameObject* object = factory->CreateObject();
            object->tag = tag;
            object->AddComponent(prototype);
            object->AddScript(*std::make_unique<SampleScript>());
            ids.push_back(object->id);
        }
    }
    ~BenchWorld()
    {
        factory->Exit();
        factory.reset();
        ResetLevelWorld();
    }

    std::unique_ptr<GameObjectFactory> factory;
    std::vector<std::uint32_t> ids;
};

// Runs the file benchmarks in a folder of their own, so nothing lands beside the caller.
class ScratchFolder
{
  public:
    ScratchFolder() : previous(std::filesystem::current_path())
    {
        const auto folder = std::filesystem::temp_directory_path() / "glimmock_bench_level_io";
        std::filesystem::create_directories(folder / "Levels");
        std::filesystem::current_path(folder);
    }
    ~ScratchFolder() { std::filesystem::current_path(previous); }

  private:
    std::filesystem::path previous;
};

std::string SaveWorld()
{
    std::ostringstream out;
    SaveLevelTo(out);
    return out.str();
}

void Count(benchmark::State& state, std::int64_t objects, std::size_t bytes)
{
    state.counters["objects/s"] =
        benchmark::Counter(static_cast<double>(objects * state.iterations()), benchmark::Counter::kIsRate);
    state.counters["bytes/s"] = benchmark::Counter(
        static_cast<double>(bytes) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
} // namespace

static void BM_LevelSave(benchmark::State& state)
{
    BenchWorld world(state.range(0));
    std::size_t bytes = 0;
    for (auto _ : state)
        bytes = SaveWorld().size();
    Count(state, state.range(0), bytes);
}
BENCHMARK(BM_LevelSave)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

static void BM_LevelStage(benchmark::State& state)
{
    BenchWorld world(state.range(0));
    const std::string bytes = SaveWorld();
    for (auto _ : state)
        benchmark::DoNotOptimize(StageLevel(bytes, true, "bench.xml"));
    Count(state, state.range(0), bytes.size());
}
BENCHMARK(BM_LevelStage)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

static void BM_LevelCommit(benchmark::State& state)
{
    BenchWorld world(state.range(0));
    const std::string bytes = SaveWorld();
    for (auto _ : state)
    {
        state.PauseTiming();
        std::unique_ptr<StagedLevel> level = StageLevel(bytes, true, "bench.xml");
        state.ResumeTiming();
        CommitLevel(*level);
    }
    Count(state, state.range(0), bytes.size());
}
BENCHMARK(BM_LevelCommit)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// Stages and merges a module of N tag-1 objects into a running world of 1,000 objects.
static void BM_ModuleMerge(benchmark::State& state)
{
    std::string bytes;
    {
        BenchWorld source(state.range(0), 1);
        std::ostringstream out;
        SaveModuleTo(out, {1}, {source.ids});
        bytes = out.str();
    }
    BenchWorld world(1000);
    for (auto _ : state)
    {
        StagedModule module = StageModule(bytes, true, "bench.xml");
        CommitModule(module);
        state.PauseTiming();
        world.factory->DestroyQueuedObjects();
        state.ResumeTiming();
    }
    Count(state, state.range(0), bytes.size());
}
BENCHMARK(BM_ModuleMerge)->Arg(10)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond);

// The checked save (temporary file, read back, staged, renamed) against writing the same file directly.
static void BM_CheckedSave(benchmark::State& state)
{
    BenchWorld world(state.range(0));
    ScratchFolder folder;
    for (auto _ : state)
        SaveLevel("bench_level");
    Count(state, state.range(0), std::filesystem::file_size("Levels/bench_level.xml"));
}
BENCHMARK(BM_CheckedSave)->Arg(1000)->Unit(benchmark::kMillisecond);

static void BM_BareWrite(benchmark::State& state)
{
    BenchWorld world(state.range(0));
    ScratchFolder folder;
    for (auto _ : state)
    {
        std::ofstream file("Levels/bench_bare.xml", std::ios::binary | std::ios::trunc);
        SaveLevelTo(file);
    }
    Count(state, state.range(0), std::filesystem::file_size("Levels/bench_bare.xml"));
}
BENCHMARK(BM_BareWrite)->Arg(1000)->Unit(benchmark::kMillisecond);
