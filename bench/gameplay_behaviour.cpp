// How the behaviour machines scale: one CCSMSystem update as machines multiply, copying a machine as
// its stack deepens, and rebuilding every machine after a level load.
#include "CCSM.h"
#include "CCSMFactory.h"
#include "CCSMSystem.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameplayPrototypes.h"
#include "SystemManager.h"
#include "TypeIds.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace
{
// An object factory and a behaviour factory holding the match level's player tables.
class BehaviourWorld
{
  public:
    BehaviourWorld()
    {
        objects.Init();
        behaviors.Init();
        behaviors.AddContext({"OnGround Context", {4, 1, 2, 7, 5, 6, 8}});
        behaviors.AddContext({"InAir Context", {4, 1, 2, 5, 6, 8}});
        behaviors.AddBehaviorSet({"Player Behavior", 1, {{1, "OnGround Context"}, {2, "InAir Context"}}});
        RegisterGameplayPrototypes();
    }
    ~BehaviourWorld()
    {
        objects.Exit();
        behaviors.Exit();
    }

    std::vector<CCSM*> AddPlayers(std::int64_t count)
    {
        std::vector<CCSM*> machines;
        for (std::int64_t i = 0; i < count; ++i)
        {
            GameObject* object = objects.CreateObject();
            CCSM machine;
            object->AddComponent(machine);
            CCSM* attached = object->GetComponentAs<CCSM>(ComponentTypeId::kCCSM);
            attached->SetBehavior("Player Behavior");
            machines.push_back(attached);
        }
        return machines;
    }

    GameObjectFactory objects;
    CCSMFactory behaviors;
};
} // namespace

static void BM_CCSMSystemUpdate(benchmark::State& state)
{
    BehaviourWorld world;
    const std::vector<CCSM*> machines = world.AddPlayers(state.range(0));
    System& system = *SystemManager::GetSystem(kCCSMSystemSlot);
    for (auto _ : state)
    {
        for (CCSM* machine : machines)
        {
            machine->HandleCommand(kCommandMoveLeft);
            machine->HandleCommand(kCommandJump);
            machine->HandleCommand(kCommandGrab);
        }
        system.Update(1.0f / 60.0f);
    }
    const double machineUpdates =
        static_cast<double>(state.iterations()) * static_cast<double>(state.range(0));
    state.counters["machines"] = benchmark::Counter(machineUpdates, benchmark::Counter::kIsRate);
    state.counters["commands"] = benchmark::Counter(machineUpdates * 3.0, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CCSMSystemUpdate)->Arg(16)->Arg(256)->Arg(1024)->Arg(4096);

static void BM_CCSMClone(benchmark::State& state)
{
    BehaviourWorld world;
    CCSM machine;
    machine.SetBehavior("Player Behavior");
    for (std::int64_t depth = 1; depth < state.range(0); ++depth)
        machine.PushState(depth % 2 == 0 ? kStateOnGround : kStateInAir);
    for (auto _ : state)
        benchmark::DoNotOptimize(machine.Clone());
    state.counters["entries"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * static_cast<double>(state.range(0)),
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CCSMClone)->Arg(1)->Arg(64)->Arg(1024);

static void BM_RebuildAll(benchmark::State& state)
{
    BehaviourWorld world;
    const std::vector<CCSM*> machines = world.AddPlayers(state.range(0));
    for (auto _ : state)
    {
        RebuildAll();
        // Each rebuild pushes the initial state; popping it keeps the stacks at one entry.
        for (CCSM* machine : machines)
            machine->PopState();
    }
    state.counters["machines"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * static_cast<double>(state.range(0)),
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RebuildAll)->Arg(256)->Arg(4096);
