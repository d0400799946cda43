// The cost of one state switch (queueing every object and the destroy pass that follows) as the world
// grows. Time per object should stay flat from 1,024 to 65,536 objects.
#include "EventManager.h"
#include "GameObjectFactory.h"
#include "GameStateManager.h"
#include "GameStateRequest.h"
#include "TimeManipulator.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace
{
// A state with nothing to do, so only the manager's and the factory's work is measured.
class IdleState : public GameState
{
  public:
    explicit IdleState(std::uint32_t index) : GameState(index) {}
    void Load() override {}
    void Init() override {}
    void Update(float) override {}
    void Exit() override {}
    void Unload() override {}
};

std::vector<std::unique_ptr<GameState>> IdleStates()
{
    std::vector<std::unique_ptr<GameState>> list;
    for (std::uint32_t i = 0; i < GameStateIndex::Count; ++i)
        list.push_back(std::make_unique<IdleState>(i));
    return list;
}
} // namespace

// n objects, each with its Transform and a time-scaling component, cleared by one switch update.
static void BM_SwitchUpdate(benchmark::State& state)
{
    EventManager::Reset();
    ResetObjectModel();
    auto factory = std::make_unique<GameObjectFactory>();
    factory->Init();
    GameStateManager manager(IdleStates);
    manager.Init();
    const auto count = static_cast<std::size_t>(state.range(0));
    TimeManipulator scaling;
    std::int32_t next = GameStateIndex::Level1Temp;
    for (auto _ : state)
    {
        state.PauseTiming();
        for (std::size_t i = 0; i < count; ++i)
            factory->CreateObject()->AddComponent(scaling);
        next = next == GameStateIndex::Level1Temp ? GameStateIndex::Level2Temp : GameStateIndex::Level1Temp;
        RequestGameState(next);
        state.ResumeTiming();

        manager.Update(1.0f / 60.0f);
        factory->DestroyQueuedObjects();
    }
    state.counters["objects/s"] =
        benchmark::Counter(static_cast<double>(count) * state.iterations(), benchmark::Counter::kIsRate);
    manager.Exit();
    factory->Exit();
    factory.reset();
    ResetObjectModel();
}
BENCHMARK(BM_SwitchUpdate)->Arg(1024)->Arg(16384)->Arg(65536)->Unit(benchmark::kMicrosecond);
