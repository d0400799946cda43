// The cost of players at scale: one object update (behaviour machines, then scripts) and one physics
// step with N players, half running and half jumping, and a ball. Every collision event reaches every
// collision script, so deliveries grow with N squared; the time per delivery should stay flat.
#include "BallCollisionScript.h"
#include "BoxCollider.h"
#include "CCSM.h"
#include "CCSMFactory.h"
#include "CircleCollider.h"
#include "Event.h"
#include "EventManager.h"
#include "FrameRateManager.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStats.h"
#include "GameplayPrototypes.h"
#include "LandingScript.h"
#include "MatchBehaviorTables.h"
#include "Observer.h"
#include "PhysicsPrototypes.h"
#include "PlayerScript.h"
#include "Prototypes.h"
#include "QuadTree.h"
#include "RigidBody.h"
#include "StatNames.h"
#include "SystemManager.h"
#include "Transform.h"
#include "TypeIds.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace
{
constexpr float kStep = 1.0f / 60.0f;
constexpr int kPlayersPerRow = 32;

class CollisionCounter : public Observer
{
  public:
    CollisionCounter() { Subscribe(evCollision); }
    void OnNotify(Event*) override { ++events; }
    std::int64_t events = 0;
};

GameObject* Place(float x, float y, float w, float h)
{
    GameObject* object = gGameObjectFactory->CreateObject();
    auto* transform = object->GetComponentAs<Transform>(ComponentTypeId::kTransform);
    transform->SetTranslation({x, y, 1.0f});
    transform->SetScale({w, h, 0.0f});
    return object;
}

// Rows of 32 players, each row on its own floor, and a ball above the first row.
class PlayersWorld
{
  public:
    explicit PlayersWorld(int players)
    {
        EventManager::Reset();
        FrameRateManager::Reset();
        ResetPrototypes();
        QuadTree::Reset();
        objects = std::make_unique<GameObjectFactory>();
        objects->Init();
        behaviors = std::make_unique<CCSMFactory>();
        behaviors->Init();
        AddMatchBehaviorTables(*behaviors);
        RegisterPhysics();
        RegisterGameplayPrototypes();

        const int rows = (players + kPlayersPerRow - 1) / kPlayersPerRow;
        for (int row = 0; row < rows; ++row)
        {
            GameObject* floor = Place(0.0f, -200.0f + 200.0f * static_cast<float>(row), 2000.0f, 40.0f);
            floor->tag = kTagPlatform;
            BoxCollider box;
            floor->AddComponent(box);
            RigidBody body(7);
            body.SetStatic(true);
            floor->AddComponent(body);
        }
        for (int i = 0; i < players; ++i)
        {
            const int row = i / kPlayersPerRow;
            const float x = -930.0f + 60.0f * static_cast<float>(i % kPlayersPerRow);
            GameObject* player = Place(x, -157.5f + 200.0f * static_cast<float>(row), 25.0f, 45.0f);
            player->tag = kTagPlayer;
            RigidBody body(1);
            body.SetCanRotate(false);
            player->AddComponent(body);
            BoxCollider box;
            player->AddComponent(box);
            GameStats stats;
            stats.SetStat(kStatMovementSpeed, 150.0f);
            stats.SetStat(kStatJumpSpeed, 600.0f);
            stats.SetStat(kStatFallSpeed, 100.0f);
            player->AddComponent(stats);
            CCSM machine;
            player->AddComponent(machine);
            machines.push_back(player->GetComponentAs<CCSM>(ComponentTypeId::kCCSM));
            machines.back()->SetBehavior("Player Behavior");
            PlayerScript script;
            player->AddScript(script);
            LandingScript landing;
            player->AddScript(landing);
        }
        GameObject* ball = Place(0.0f, -100.0f, 20.0f, 20.0f);
        ball->tag = kTagBall;
        RigidBody body(5);
        ball->AddComponent(body);
        CircleCollider circle;
        ball->AddComponent(circle);
        GameStats stats;
        ball->AddComponent(stats);
        BallCollisionScript collisions;
        ball->AddScript(collisions);
    }
    ~PlayersWorld()
    {
        machines.clear();
        objects->Exit();
        behaviors->Exit();
        QuadTree::Reset();
        EventManager::Reset();
    }

    // Hands each player its command (odd players run, even ones jump), then one update and one step.
    std::int64_t Update()
    {
        std::int64_t handed = 0;
        for (std::size_t i = 0; i < machines.size(); ++i)
            handed += machines[i]->HandleCommand(i % 2 == 1 ? kCommandMoveRight : kCommandJump) ? 1 : 0;
        objects->Update(kStep);
        PhysicsUpdate(kStep);
        return handed;
    }

    std::unique_ptr<GameObjectFactory> objects;
    std::unique_ptr<CCSMFactory> behaviors;
    std::vector<CCSM*> machines;
};
} // namespace

static void BM_PlayersUpdate(benchmark::State& state)
{
    PlayersWorld world(static_cast<int>(state.range(0)));
    for (int i = 0; i < 30; ++i)
        world.Update();
    CollisionCounter counter;
    std::int64_t commands = 0;
    for (auto _ : state)
        commands += world.Update();
    // The collision scripts subscribed now: every player's landing script and the ball's script.
    const auto scripts = static_cast<std::int64_t>(EventManager::ObserversOf(evCollision).size()) - 1;
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["commands"] = static_cast<double>(commands) / iterations;
    state.counters["collision_events"] = static_cast<double>(counter.events) / iterations;
    state.counters["collision_scripts"] = static_cast<double>(scripts);
    state.counters["OnCollision_calls"] = static_cast<double>(counter.events * scripts) / iterations;
    state.counters["time_per_call"] =
        benchmark::Counter(static_cast<double>(counter.events * scripts),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PlayersUpdate)->Arg(2)->Arg(16)->Arg(64)->Arg(256)->Unit(benchmark::kMicrosecond);
