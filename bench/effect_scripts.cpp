// The cost of the effect scripts at scale: one script pass over N players (squash and stretch, burn),
// a moving platform for every eighth player, and the match manager's HUD, announcer and music. The time
// per object should stay flat from 256 to 4,096: no script scans the world per object, and the announcer's
// and the music's HUD lookups stay cached.
#include "CCSM.h"
#include "CCSMFactory.h"
#include "DeformationScript.h"
#include "DestructableScript.h"
#include "EventManager.h"
#include "FrameRateManager.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStats.h"
#include "GameplayPrototypes.h"
#include "HUDScript.h"
#include "LevelMusicScript.h"
#include "MatchBehaviorTables.h"
#include "MoveScript.h"
#include "Prototypes.h"
#include "RigidBody.h"
#include "StatNames.h"
#include "Transform.h"
#include "TypeIds.h"
#include "VoiceOverScripts.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace
{
constexpr float kStep = 1.0f / 60.0f;
// Stats each script reads in a pass.
constexpr std::int64_t kDeformationReads = 5;
constexpr std::int64_t kMoveReads = 5;

class EffectWorld
{
  public:
    explicit EffectWorld(int players)
    {
        EventManager::Reset();
        FrameRateManager::Reset();
        ResetPrototypes();
        objects = std::make_unique<GameObjectFactory>();
        objects->Init();
        behaviors = std::make_unique<CCSMFactory>();
        behaviors->Init();
        AddMatchBehaviorTables(*behaviors);
        RegisterGameplayPrototypes();

        GameObject* manager = objects->CreateObject();
        manager->tag = kTagMatchManager;
        Attach<HUDScript>(*manager, ScriptTypeId::kHUDScript);
        Attach<VoiceOverScripts>(*manager, ScriptTypeId::kVoiceOverScripts);
        Attach<LevelMusicScript>(*manager, ScriptTypeId::kLevelMusicScript);
        for (int i = 0; i < players; ++i)
        {
            GameObject* player = Body(static_cast<float>(i % 64) * 30.0f, static_cast<float>(i / 64) * 60.0f);
            player->tag = kTagPlayer;
            GameStats stats;
            stats.SetStat(kStatDeformScaleMaxMin, 3.0f);
            stats.SetStat(kStatDeformRate, 9.0f);
            stats.SetStat(kStatReformRate, 0.5f);
            stats.SetStat(kStatScaleX, 20.0f);
            stats.SetStat(kStatScaleY, 40.0f);
            player->AddComponent(stats);
            CCSM machine;
            player->AddComponent(machine);
            player->GetComponentAs<CCSM>(ComponentTypeId::kCCSM)->SetBehavior("Player Behavior");
            Attach<DeformationScript>(*player, ScriptTypeId::kDeformationScript);
            Attach<DestructableScript>(*player, ScriptTypeId::kDestructableScript);
            reads += kDeformationReads;
            if (i % 8 != 0)
                continue;
            GameObject* platform = Body(static_cast<float>(i), -300.0f);
            platform->tag = kTagPlatform;
            GameStats route;
            route.SetStat(kStatPoint1X, 0.0f);
            route.SetStat(kStatPoint1Y, -300.0f);
            route.SetStat(kStatPoint2X, 500.0f);
            route.SetStat(kStatPoint2Y, -300.0f);
            route.SetStat(kStatMovementSpeed, 40.0f);
            platform->AddComponent(route);
            Attach<MoveScript>(*platform, ScriptTypeId::kMoveScript);
            reads += kMoveReads;
        }
    }
    ~EffectWorld()
    {
        scripts.clear();
        objects->Exit();
        behaviors->Exit();
        EventManager::Reset();
    }

    // One pass over every script, as the factory's script pass runs them.
    void Pass()
    {
        for (Script* script : scripts)
            script->Update(kStep);
    }

    std::vector<Script*> scripts;
    std::int64_t reads = 0;

  private:
    GameObject* Body(float x, float y)
    {
        GameObject* object = objects->CreateObject();
        object->GetComponentAs<Transform>(ComponentTypeId::kTransform)->SetTranslation({x, y, 1.0f});
        object->GetComponentAs<Transform>(ComponentTypeId::kTransform)->SetScale({20.0f, 40.0f, 1.0f});
        RigidBody body(1);
        body.SetVelocity({150.0f, 0.0f, 0.0f});
        object->AddComponent(body);
        return object;
    }
    template <typename T> void Attach(GameObject& object, std::uint32_t typeId)
    {
        T script;
        object.AddScript(script);
        scripts.push_back(object.GetScriptAs<T>(typeId));
    }

    std::unique_ptr<GameObjectFactory> objects;
    std::unique_ptr<CCSMFactory> behaviors;
};
} // namespace

static void BM_EffectScriptPass(benchmark::State& state)
{
    const int players = static_cast<int>(state.range(0));
    EffectWorld world(players);
    for (int i = 0; i < 30; ++i)
        world.Pass();
    for (auto _ : state)
        world.Pass();
    const auto objectsPerPass = static_cast<double>(players + (players + 7) / 8 + 1);
    state.counters["scripts_run"] = static_cast<double>(world.scripts.size());
    state.counters["stat_reads"] = static_cast<double>(world.reads);
    state.counters["time_per_object"] = benchmark::Counter(
        objectsPerPass, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_EffectScriptPass)->Arg(16)->Arg(256)->Arg(1024)->Arg(4096)->Unit(benchmark::kMicrosecond);
