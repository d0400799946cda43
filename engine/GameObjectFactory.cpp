#include "GameObjectFactory.h"

#include "Component.h"
#include "Prototypes.h"
#include "Registries.h"
#include "Script.h"
#include "SystemManager.h"
#include "TimeManipulator.h"
#include "Transform.h"
#include "TypeIds.h"

#include <array>
#include <iostream>

GameObjectFactory* gGameObjectFactory = nullptr;

namespace
{
constexpr const char* kObjectNamePrefix = "Object_";

// The dt an object's scripts get: scaled while its time manipulator is active.
float ScriptDt(const GameObject* object, float dt)
{
    if (object == nullptr)
        return dt;
    if (object->componentTypes.count(ComponentTypeId::kTimeManipulator) == 0)
        return dt;
    const auto* manipulator = object->GetComponentAs<TimeManipulator>(ComponentTypeId::kTimeManipulator);
    if (manipulator != nullptr && manipulator->IsActive())
        return dt * manipulator->GetSpeed();
    return dt;
}
} // namespace

GameObjectFactory::GameObjectFactory() : EngineSystem(estGameObjectFactory)
{
    PublishOnce(gGameObjectFactory, this);
}

GameObjectFactory::~GameObjectFactory()
{
    UnpublishIfOwner(gGameObjectFactory, this);
}

void GameObjectFactory::Init()
{
    lastId = 0;
    objects.clear();
    objects.push_back(nullptr);
    SystemManager::Init();
}

void GameObjectFactory::Update(float dt)
{
    DestroyQueuedObjects();
    UpdateComponentSystems(dt);
    UpdateScripts(dt);
}

void GameObjectFactory::Exit()
{
    DestroyAllObjects();
    DestroyAllPrefabs();
    objects.clear();
    prefabs.clear();
    freeIds.clear();
    destroyList.clear();
    // Prefab tables and prototypes go here too, while the subsystems their instances use still exist.
    ClearComponentRegistry(true);
    ClearScriptRegistry(true);
    ResetPrototypes();
    SystemManager::DestroyAll();
}

GameObject* GameObjectFactory::CreateObject()
{
    GameObject* object = RegisterObject(std::make_unique<GameObject>());
    Transform transform;
    object->AddComponent(transform);
    return object;
}

GameObject* GameObjectFactory::CreateFromPrefab(const std::string& prefabName)
{
    const Prefab* prefab = FindPrefab(prefabName);
    if (prefab == nullptr)
    {
        std::cout << "ERROR: no prefab named " << prefabName << "\n";
        return nullptr;
    }
    auto copy = std::make_unique<GameObject>(*prefab->prototype);
    copy->SetFlag(kFlagPrefabPrototype, false);
    GameObject* object = RegisterObject(std::move(copy));
    if (ComponentPreFab* components = FindComponentPreFab(prefabName))
    {
        for (auto& [typeId, component] : components->components)
        {
            if (component)
                object->AddComponent(*component);
        }
    }
    if (ScriptPreFab* scripts = FindScriptPreFab(prefabName))
    {
        for (auto& [typeId, script] : scripts->scripts)
        {
            if (script)
                object->AddScript(*script);
        }
    }
    if (object->GetComponent(ComponentTypeId::kTransform) == nullptr)
    {
        Transform transform;
        object->AddComponent(transform);
    }
    SystemManager::RegisterObject(object);
    return object;
}

GameObject* GameObjectFactory::RegisterObject(std::unique_ptr<GameObject> object)
{
    if (objects.empty())
        objects.push_back(nullptr);
    GameObject* registered = object.get();
    std::uint32_t id = 0;
    if (!freeIds.empty())
    {
        id = freeIds.back();
        freeIds.pop_back();
    }
    else
    {
        id = ++lastId;
        if (objects.size() <= id)
            objects.resize(std::size_t{id} + 1);
    }
    // Whatever a file or a destructor left under the id goes before the new holder arrives, so it
    // inherits no component and no script.
    RemoveObjectComponents(id);
    RemoveObjectScripts(id);
    registered->id = id;
    objects[id] = std::move(object);
    registered->name = kObjectNamePrefix + std::to_string(id);
    return registered;
}

GameObject* GameObjectFactory::GetObject(std::uint32_t id) const
{
    if (id == 0 || id >= objects.size())
        return nullptr;
    return objects[id].get();
}

std::vector<GameObject*> GameObjectFactory::GetObjectsWithTag(Tag tag) const
{
    std::vector<GameObject*> found;
    for (const std::unique_ptr<GameObject>& object : objects)
    {
        if (object && object->tag == tag && !object->IsQueuedForDestruction())
            found.push_back(object.get());
    }
    return found;
}

GameObject* GameObjectFactory::GetObjectByName(const std::string& name) const
{
    for (const std::unique_ptr<GameObject>& object : objects)
    {
        if (object && object->name == name && !object->IsQueuedForDestruction())
            return object.get();
    }
    return nullptr;
}

void GameObjectFactory::QueueDestroy(std::uint32_t id)
{
    GameObject* object = GetObject(id);
    if (object == nullptr)
        return;
    object->SetFlag(kFlagQueuedForDestruction, true);
    destroyList.push_back(id);
}

void GameObjectFactory::QueueDestroyAll()
{
    for (std::uint32_t id = 1; id < objects.size(); ++id)
        QueueDestroy(id);
}

void GameObjectFactory::DestroyQueuedObjects()
{
    // A copy: a destructor of a component or script may queue further objects for the next pass.
    std::vector<std::uint32_t> doomed;
    doomed.swap(destroyList);
    for (std::uint32_t id : doomed)
    {
        // Skips ids out of range and ids already destroyed (an id queued twice is freed once).
        if (GetObject(id) == nullptr)
            continue;
        // Out of the table first and freed last: an object a destructor creates must not take this id
        // and then be deleted with the old one.
        std::unique_ptr<GameObject> dying = std::move(objects[id]);
        SystemManager::UnregisterObject(dying.get());
        RemoveObjectComponents(id);
        RemoveObjectScripts(id);
        dying.reset();
        freeIds.push_back(id);
    }
}

void GameObjectFactory::DestroyObjectKeepingId(std::uint32_t id)
{
    if (GetObject(id) == nullptr)
        return;
    std::unique_ptr<GameObject> dying = std::move(objects[id]);
    SystemManager::UnregisterObject(dying.get());
    RemoveObjectComponents(id);
    RemoveObjectScripts(id);
}

void GameObjectFactory::DestroyAllObjects()
{
    constexpr std::size_t kAhead = 8;
    for (std::size_t id = 0; id < objects.size(); ++id)
    {
        if (id + kAhead < objects.size() && objects[id + kAhead])
        {
            __builtin_prefetch(objects[id + kAhead].get(), 1);
            __builtin_prefetch(reinterpret_cast<const char*>(objects[id + kAhead].get()) - 16, 1);
        }
        std::unique_ptr<GameObject>& object = objects[id];
        if (!object)
            continue;
        SystemManager::UnregisterObject(object.get());
        object.reset();
    }
}

void GameObjectFactory::DestroyAllPrefabs()
{
    while (!prefabs.empty())
        prefabs.pop_back();
}

GameObject* GameObjectFactory::RegisterPrefab(const std::string& prefabName,
                                              std::unique_ptr<GameObject> prototype,
                                              const std::vector<const Component*>& components,
                                              const std::vector<const Script*>& scripts)
{
    if (Prefab* existing = FindPrefab(prefabName))
        return existing->prototype.get();
    prototype->SetFlag(kFlagPrefabPrototype, true);
    for (const Component* component : components)
    {
        if (component == nullptr)
            continue;
        prototype->componentTypes.insert(component->GetTypeId());
        AddComponentToPreFab(prefabName, *component);
    }
    for (const Script* script : scripts)
    {
        if (script == nullptr)
            continue;
        prototype->scriptTypes.insert(script->GetTypeId());
        AddScriptToPreFab(prefabName, *script);
    }
    return AddPrefab(prefabName, std::move(prototype)).prototype.get();
}

Prefab& GameObjectFactory::AddPrefab(const std::string& prefabName, std::unique_ptr<GameObject> prototype)
{
    prototype->SetFlag(kFlagPrefabPrototype, true);
    prefabs.push_back(std::make_unique<Prefab>(Prefab{prefabName, std::move(prototype)}));
    return *prefabs.back();
}

Prefab* GameObjectFactory::FindPrefab(const std::string& prefabName) const
{
    for (const std::unique_ptr<Prefab>& prefab : prefabs)
    {
        if (prefab->name == prefabName)
            return prefab.get();
    }
    return nullptr;
}

GameObject* GameObjectFactory::InstallObject(std::unique_ptr<GameObject> object)
{
    const std::uint32_t id = object->id;
    if (id == 0)
        return nullptr;
    if (objects.size() <= id)
        objects.resize(std::size_t{id} + 1);
    objects[id] = std::move(object);
    return objects[id].get();
}

void GameObjectFactory::ResizeTable(std::size_t length)
{
    if (length == 0)
        length = 1;
    for (std::size_t id = length; id < objects.size(); ++id)
    {
        if (objects[id])
            SystemManager::UnregisterObject(objects[id].get());
    }
    objects.resize(length);
    objects[0].reset();
}

void GameObjectFactory::UpdateComponentSystems(float dt)
{
    const auto& systems = SystemManager::Systems();
    for (std::size_t slot = kCCSMSystemSlot; slot < systems.size(); ++slot)
    {
        // Re-read each time: a system's update may replace a later system.
        if (System* system = SystemManager::GetSystem(slot))
            system->Update(dt);
    }
}

void GameObjectFactory::UpdateScripts(float dt)
{
    // The objects that had scripts when the pass began, kept between passes until that set changes. A
    // script may create, destroy or replace objects and scripts while the pass runs (loading a module or
    // a level included), so nothing is held across a script's Update: each object's scripts and each
    // script are found again by id before use. Removed scripts live on until the pass ends, the running
    // one included.
    const ScriptPassScope pass;
    const ScriptRegistryMap& registry = ScriptRegistry();
    const auto owners = scriptOwners.Of(registry.ObjectIds());
    std::array<std::uint32_t, ScriptTypeId::kCount> typeIds{};
    std::vector<std::uint32_t> largeTypeIds;
    for (std::uint32_t objectId : *owners)
    {
        const ScriptSlots* scripts = registry.Find(objectId);
        if (scripts == nullptr)
            continue;
        const float scriptDt = ScriptDt(GetObject(objectId), dt);
        // The object's type ids as they stand before its first script runs.
        std::size_t typeCount = 0;
        largeTypeIds.clear();
        for (const auto& script : *scripts)
        {
            if (script.first < typeIds.size())
                typeIds[typeCount++] = script.first;
            else
                largeTypeIds.push_back(script.first);
        }
        const auto run = [&](std::uint32_t typeId)
        {
            const ScriptSlots* current = registry.Find(objectId);
            Script* script = current != nullptr ? current->Get(typeId) : nullptr;
            if (script != nullptr)
                script->Update(scriptDt);
            return current != nullptr;
        };
        bool entryLives = true;
        for (std::size_t i = 0; i < typeCount && entryLives; ++i)
            entryLives = run(typeIds[i]);
        for (std::size_t i = 0; i < largeTypeIds.size() && entryLives; ++i)
            entryLives = run(largeTypeIds[i]);
    }
}

void ResetObjectModel()
{
    ClearComponentRegistry(true);
    ClearScriptRegistry(true);
    ResetPrototypes();
    SystemManager::DestroyAll();
}
