// How long one physics step (motion plus collision check) takes as the arena fills, and how the tree
// behaves when arena-wide colliders pile up in every leaf.
#include "QuadTree.h"
#include "physics_arena_scene.h"

#include <benchmark/benchmark.h>

namespace
{
void ReportCounters(benchmark::State& state, const ArenaScene& scene, int bodies)
{
    const CollisionCounters& counters = scene.Counters();
    state.counters["per_body"] =
        benchmark::Counter(static_cast<double>(bodies),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["pairs"] = static_cast<double>(counters.candidatePairs);
    state.counters["pairs_per_body"] = static_cast<double>(counters.candidatePairs) / bodies;
    state.counters["tests"] = static_cast<double>(counters.narrowTests);
    state.counters["contacts"] = static_cast<double>(counters.contacts);
    state.counters["nodes"] = static_cast<double>(counters.nodes);
    state.counters["raw"] = static_cast<double>(counters.rawPairInsertions);
    state.counters["pool_capacity"] = static_cast<double>(QuadTree::Capacity());
}
} // namespace

static void BM_PhysicsArena(benchmark::State& state)
{
    const int bodies = static_cast<int>(state.range(0));
    ArenaScene scene(bodies);
    for (auto _ : state)
        scene.Step();
    ReportCounters(state, scene, bodies);
}
BENCHMARK(BM_PhysicsArena)
    ->Arg(16)
    ->Arg(256)
    ->Arg(1024)
    ->Arg(4096)
    ->Iterations(300)
    ->Repetitions(5)
    ->Unit(benchmark::kMicrosecond);

static void BM_PhysicsWideColliders(benchmark::State& state)
{
    constexpr int kBodies = 256;
    const int wide = static_cast<int>(state.range(0));
    ArenaScene scene(kBodies, wide);
    for (auto _ : state)
        scene.Step();
    ReportCounters(state, scene, kBodies);
}
BENCHMARK(BM_PhysicsWideColliders)
    ->Arg(0)
    ->Arg(1)
    ->Arg(4)
    ->Arg(8)
    ->Arg(16)
    ->Arg(32)
    ->Iterations(300)
    ->Repetitions(5)
    ->Unit(benchmark::kMicrosecond);
