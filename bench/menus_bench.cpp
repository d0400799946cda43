// The menus' per-update cost: MenuSystem::Update and the five menu scripts, with the menu kit among many
// other objects. The menus find their objects by name and tag, so the cost per object should stay flat
// (within 2x) from 256 to 65,536 objects.
#include "CCSMFactory.h"
#include "EventManager.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GamePrototypes.h"
#include "InputSystem.h"
#include "MenuScript.h"
#include "MenuSystem.h"
#include "TypeIds.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

static void BM_MenuUpdate(benchmark::State& state)
{
    EventManager::Reset();
    ResetObjectModel();
    auto factory = std::make_unique<GameObjectFactory>();
    factory->Init();
    auto behaviours = std::make_unique<CCSMFactory>();
    behaviours->Init();
    RegisterGamePrototypes();
    auto input = std::make_unique<InputSystem>();
    auto menus = std::make_unique<MenuSystem>();
    menus->RunMenuBuilders();
    const auto others = static_cast<std::size_t>(state.range(0));
    for (std::size_t i = 0; i < others; ++i)
        factory->CreateObject();
    menus->PushMenu(MenuSystem::kMainMenu);

    std::vector<MenuScript*> scripts;
    for (GameObject* menu : factory->GetObjectsWithTag(kTagMenu))
        scripts.push_back(menu->GetScriptAs<MenuScript>(ScriptTypeId::kMenuScript));
    const float dt = 1.0f / 60.0f;
    for (auto _ : state)
    {
        for (MenuScript* script : scripts)
            script->Update(dt);
        menus->Update(dt);
    }
    const auto objects = static_cast<double>(others + 24);
    state.counters["objects/s"] =
        benchmark::Counter(objects * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);

    menus.reset();
    input.reset();
    behaviours->Exit();
    behaviours.reset();
    factory->Exit();
    factory.reset();
    ResetObjectModel();
}
BENCHMARK(BM_MenuUpdate)->Arg(256)->Arg(4096)->Arg(65536);
