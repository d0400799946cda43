// How object creation, destruction and the factory's update scale with the number of objects. Time per
// object should stay flat from 1,000 to 10,000 objects.
#include "EventManager.h"
#include "GameObjectFactory.h"
#include "Script.h"
#include "TimeManipulator.h"
#include "Transform.h"
#include "TypeIds.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace
{
// A plain component standing in for a game class.
class BenchComponent : public Component
{
  public:
    explicit BenchComponent(std::uint32_t typeId) : Component("BenchComponent", typeId) {}
    std::unique_ptr<Component> Clone() const override { return std::make_unique<BenchComponent>(*this); }
    float value = 0.0f;
};

// A script with a little work per update.
class BenchScript : public Script
{
  public:
    BenchScript() : Script("BenchScript", ScriptTypeId::kMoveScript) {}
    std::unique_ptr<Script> Clone() const override { return std::make_unique<BenchScript>(*this); }
    void Update(float dt) override { elapsed += dt; }
    float elapsed = 0.0f;
};

std::unique_ptr<GameObjectFactory> StartFactory()
{
    EventManager::Reset();
    ResetObjectModel();
    auto factory = std::make_unique<GameObjectFactory>();
    factory->Init();
    return factory;
}

void StopFactory(std::unique_ptr<GameObjectFactory> factory)
{
    factory->Exit();
    factory.reset();
    ResetObjectModel();
}
} // namespace

// Creates n objects with a transform and two more components each, then destroys them all in one pass.
static void BM_CreateAndDestroyObjects(benchmark::State& state)
{
    auto factory = StartFactory();
    const auto count = static_cast<std::size_t>(state.range(0));
    BenchComponent body(ComponentTypeId::kRigidBody);
    BenchComponent collider(ComponentTypeId::kCollider);
    for (auto _ : state)
    {
        for (std::size_t i = 0; i < count; ++i)
        {
            GameObject* object = factory->CreateObject();
            object->AddComponent(body);
            object->AddComponent(collider);
        }
        factory->QueueDestroyAll();
        factory->DestroyQueuedObjects();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    StopFactory(std::move(factory));
}
BENCHMARK(BM_CreateAndDestroyObjects)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// One factory update over n live objects, each with a transform and a script; every tenth is slowed down.
static void BM_FactoryUpdate(benchmark::State& state)
{
    auto factory = StartFactory();
    BenchScript script;
    TimeManipulator manipulator;
    manipulator.SetPersistent(true);
    manipulator.SetSpeed(0.5f);
    for (std::int64_t i = 0; i < state.range(0); ++i)
    {
        GameObject* object = factory->CreateObject();
        object->AddScript(script);
        if (i % 10 == 0)
            object->AddComponent(manipulator);
    }
    for (auto _ : state)
        factory->Update(1.0f / 60.0f);
    state.SetItemsProcessed(state.iterations() * state.range(0));
    StopFactory(std::move(factory));
}
BENCHMARK(BM_FactoryUpdate)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
