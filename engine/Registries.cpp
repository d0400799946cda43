#include "Registries.h"

#include "GameObject.h"
#include "GameObjectFactory.h"
#include "Prototypes.h"
#include "SystemManager.h"

namespace
{
// Never destroyed during static destruction: the factory's Exit and the level reader empty them.
ComponentRegistryMap& componentRegistry = *new ComponentRegistryMap;
ScriptRegistryMap& scriptRegistry = *new ScriptRegistryMap;
ComponentPreFabTable& componentPreFabs = *new ComponentPreFabTable;
ScriptPreFabTable& scriptPreFabs = *new ScriptPreFabTable;
std::uint64_t scriptErasures = 0;
int scriptPassDepth = 0;
std::vector<std::unique_ptr<Script>>& retiredScripts = *new std::vector<std::unique_ptr<Script>>;

void CountErasure(const ComponentRegistryMap&) {}

// Brings in an instance's first line and its allocation header, which deleting it touches.
void PrefetchInstance(const void* instance)
{
    if (instance == nullptr)
        return;
    __builtin_prefetch(instance, 1);
    __builtin_prefetch(static_cast<const char*>(instance) - 16, 1);
}

void CountErasure(const ScriptRegistryMap&)
{
    ++scriptErasures;
}

void Dispose(std::unique_ptr<Component> component)
{
    component.reset();
}

// During a script pass a removed script may be the one running: it stops hearing events at once and is
// deleted when the pass ends.
void Dispose(std::unique_ptr<Script> script)
{
    if (script && scriptPassDepth > 0)
    {
        MakeObserverInert(*script);
        retiredScripts.push_back(std::move(script));
        return;
    }
    script.reset();
}

template <typename Map> void DisposeAll(Map& instances)
{
    while (!instances.empty())
    {
        auto instance = std::move(instances.begin()->second);
        instances.erase(instances.begin());
        Dispose(std::move(instance));
    }
}

GameObject* LiveObject(std::uint32_t objectId)
{
    return gGameObjectFactory ? gGameObjectFactory->GetObject(objectId) : nullptr;
}

// Takes the instance out of its slot first, so a destructor that looks itself up finds nothing.
template <typename Registry> void EraseOne(Registry& registry, std::uint32_t objectId, std::uint32_t typeId)
{
    auto* slots = registry.Find(objectId);
    if (slots == nullptr || slots->count(typeId) == 0)
        return;
    auto instance = std::move((*slots)[typeId]);
    slots->erase(typeId);
    CountErasure(registry);
    GameObject* object = LiveObject(objectId);
    SystemManager::UnregisterObject(object);
    Dispose(std::move(instance));
    SystemManager::RegisterObject(object);
}

template <typename Registry> void EraseObject(Registry& registry, std::uint32_t objectId)
{
    if (registry.count(objectId) == 0)
        return;
    auto instances = registry.Take(objectId);
    CountErasure(registry);
    DisposeAll(instances);
}

template <typename Registry> void EraseAll(Registry& registry)
{
    // Emptied before anything is deleted, so a destructor finds no entry; deleted in the registry's order.
    // The list's storage is kept for the next clear (a level load clears a world as large as the last
    // one), unless a destructor clears again meanwhile.
    using Instances = std::vector<typename Registry::slots_type::instance_type>;
    static Instances& kept = *new Instances;
    static bool keptInUse = false;
    Instances local;
    const bool useKept = !keptInUse;
    Instances& doomed = useKept ? kept : local;
    keptInUse = keptInUse || useKept;
    registry.MoveAllInstancesTo(doomed);
    CountErasure(registry);
    // A large world's instances are scattered over the heap: fetch a few ahead, so the deletions wait on
    // memory together instead of one after another.
    constexpr std::size_t kAhead = 8;
    for (std::size_t i = 0; i < doomed.size(); ++i)
    {
        if (i + kAhead < doomed.size())
            PrefetchInstance(doomed[i + kAhead].get());
        Dispose(std::move(doomed[i]));
    }
    doomed.clear();
    if (useKept)
        keptInUse = false;
}
} // namespace

std::uint64_t ScriptRegistryErasures()
{
    return scriptErasures;
}

ScriptPassScope::ScriptPassScope()
{
    ++scriptPassDepth;
}

ScriptPassScope::~ScriptPassScope()
{
    if (--scriptPassDepth > 0)
        return;
    // A destructor may remove further scripts; with the pass over they go at once.
    std::vector<std::unique_ptr<Script>> doomed;
    doomed.swap(retiredScripts);
    doomed.clear();
}

ComponentRegistryMap& ComponentRegistry()
{
    return componentRegistry;
}

ScriptRegistryMap& ScriptRegistry()
{
    return scriptRegistry;
}

ComponentPreFabTable& ComponentPreFabs()
{
    return componentPreFabs;
}

ScriptPreFabTable& ScriptPreFabs()
{
    return scriptPreFabs;
}

Component* FindComponent(std::uint32_t objectId, std::uint32_t typeId)
{
    const ComponentSlots* components = componentRegistry.Find(objectId);
    return components != nullptr ? components->Get(typeId) : nullptr;
}

Script* FindScript(std::uint32_t objectId, std::uint32_t typeId)
{
    const ScriptSlots* scripts = scriptRegistry.Find(objectId);
    return scripts != nullptr ? scripts->Get(typeId) : nullptr;
}

void RemoveComponent(std::uint32_t objectId, std::uint32_t typeId)
{
    EraseOne(componentRegistry, objectId, typeId);
}

void RemoveScript(std::uint32_t objectId, std::uint32_t typeId)
{
    EraseOne(scriptRegistry, objectId, typeId);
}

void RemoveObjectComponents(std::uint32_t objectId)
{
    EraseObject(componentRegistry, objectId);
}

void RemoveObjectScripts(std::uint32_t objectId)
{
    EraseObject(scriptRegistry, objectId);
}

void ClearComponentRegistry(bool withPreFabs)
{
    EraseAll(componentRegistry);
    if (withPreFabs)
    {
        ComponentPreFabTable doomed;
        doomed.swap(componentPreFabs);
    }
}

void ClearScriptRegistry(bool withPreFabs)
{
    EraseAll(scriptRegistry);
    if (withPreFabs)
    {
        ScriptPreFabTable doomed;
        doomed.swap(scriptPreFabs);
    }
}

ComponentPreFab* FindComponentPreFab(const std::string& preFabName)
{
    for (ComponentPreFab& entry : componentPreFabs)
    {
        if (entry.name == preFabName)
            return &entry;
    }
    return nullptr;
}

ScriptPreFab* FindScriptPreFab(const std::string& preFabName)
{
    for (ScriptPreFab& entry : scriptPreFabs)
    {
        if (entry.name == preFabName)
            return &entry;
    }
    return nullptr;
}

void AddComponentToPreFab(const std::string& preFabName, const Component& component)
{
    ComponentPreFab* entry = FindComponentPreFab(preFabName);
    if (entry == nullptr)
    {
        componentPreFabs.push_back(ComponentPreFab{preFabName, {}});
        entry = &componentPreFabs.back();
    }
    // At the class's data version, as AddComponent does: at version 0 no field would be saved.
    std::unique_ptr<Component> stored = component.Clone();
    stored->SetDataVersion(stored->GetVersion());
    entry->components[component.GetTypeId()] = std::move(stored);
}

void AddScriptToPreFab(const std::string& preFabName, const Script& script)
{
    ScriptPreFab* entry = FindScriptPreFab(preFabName);
    if (entry == nullptr)
    {
        scriptPreFabs.push_back(ScriptPreFab{preFabName, {}});
        entry = &scriptPreFabs.back();
    }
    // A stored template, not a live script: a Clone that subscribed must not make it answer events.
    std::unique_ptr<Script> stored = script.Clone();
    MakeObserverInert(*stored);
    entry->scripts[script.GetTypeId()] = std::move(stored);
}
