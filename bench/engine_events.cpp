// How long one dispatch takes as the number of observers of a type grows.
#include "Event.h"
#include "EventManager.h"
#include "Observer.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace
{
class CountingObserver : public Observer
{
public:
    void OnNotify(Event*) override { ++count; }
    long count = 0;
};
} // namespace

static void BM_DispatchToObservers(benchmark::State& state)
{
    EventManager::Reset();
    std::vector<CountingObserver> observers(static_cast<std::size_t>(state.range(0)));
    for (CountingObserver& observer : observers)
        observer.Subscribe(evCollision);
    CollisionEvent event(1, 2);
    for (auto _ : state)
        EventManager::Dispatch(&event);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_DispatchToObservers)->Arg(8)->Arg(64)->Arg(512);
