// The first test level's scene 1 under the physics step alone: 51 Metal boxes of 8 x 20 dropped in a
// slanted column onto a 1920-wide static floor, as Level1Temp builds them. Times step 60 (the pile
// falling), step 600 (the pile at rest) and step 1200 (still at rest: no growth over time), and counts
// the broad phase's candidate pairs per body.
#include "BoxCollider.h"
#include "CollisionChecker.h"
#include "EventManager.h"
#include "FrameRateManager.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "PhysicsPrototypes.h"
#include "Prototypes.h"
#include "QuadTree.h"
#include "RigidBody.h"
#include "SystemManager.h"
#include "Transform.h"
#include "TypeIds.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace
{
constexpr int kBoxes = 51;
constexpr int kBodies = kBoxes + 1;
constexpr std::int32_t kMetal = 2;
constexpr std::int32_t kStatic = 7;

class SceneOne
{
  public:
    SceneOne()
    {
        EventManager::Reset();
        FrameRateManager::Reset();
        ResetPrototypes();
        QuadTree::Reset();
        factory = std::make_unique<GameObjectFactory>();
        factory->Init();
        RegisterPhysics();
        for (int i = 0; i < kBoxes; ++i)
        {
            const float step = static_cast<float>(i);
            GameObject& box = Place(250.0f - 10.0f * step, 100.0f + 15.0f * step, 8.0f, 20.0f);
            RigidBody body(kMetal);
            body.SetStaticFriction(0.8f);
            body.SetDynamicFriction(0.5f);
            box.AddComponent(body);
            BoxCollider collider;
            box.AddComponent(collider);
        }
        GameObject& floor = Place(0.0f, -100.0f, 1920.0f, 30.0f);
        RigidBody body(floor.id, kStatic);
        body.SetStatic(true);
        floor.AddComponent(body);
        BoxCollider collider;
        floor.AddComponent(collider);
    }
    ~SceneOne()
    {
        factory->Exit();
        factory.reset();
        QuadTree::Reset();
        EventManager::Reset();
    }

    void Step() { PhysicsUpdate(1.0f / 60.0f); }
    const CollisionCounters& Counters() const
    {
        return static_cast<const CollisionChecker*>(SystemManager::GetSystem(kCollisionCheckerSlot))
            ->Counters();
    }

  private:
    GameObject& Place(float x, float y, float width, float height)
    {
        GameObject* object = factory->CreateObject();
        auto* transform = object->GetComponentAs<Transform>(ComponentTypeId::kTransform);
        transform->SetTranslation({x, y, 1.0f});
        transform->SetScale({width, height, 1.0f});
        return *object;
    }

    std::unique_ptr<GameObjectFactory> factory;
};

// Times the step numbered by the argument, each iteration on a fresh scene brought there untimed.
void BM_SceneOneStep(benchmark::State& state)
{
    const int stepNumber = static_cast<int>(state.range(0));
    double pairs = 0.0;
    for (auto _ : state)
    {
        state.PauseTiming();
        auto scene = std::make_unique<SceneOne>();
        for (int step = 1; step < stepNumber; ++step)
            scene->Step();
        state.ResumeTiming();
        scene->Step();
        state.PauseTiming();
        pairs = static_cast<double>(scene->Counters().candidatePairs);
        scene.reset();
        state.ResumeTiming();
    }
    state.counters["pairs_per_body"] = pairs / kBodies;
}
} // namespace

BENCHMARK(BM_SceneOneStep)->Arg(60)->Arg(600)->Arg(1200)->Iterations(30)->Unit(benchmark::kMicrosecond);
