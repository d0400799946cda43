#include "LevelFile.h"

#include "EventManager.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "LevelFileNames.h"
#include "LevelHooks.h"
#include "LevelIArchive.h"
#include "LevelPaths.h"
#include "LevelTables.h"
#include "Observer.h"
#include "Registries.h"
#include "SystemManager.h"

#include <algorithm>
#include <iostream>
#include <string>
#include <type_traits>
#include <set>

using namespace LevelElements;

namespace
{
std::vector<std::string>& ModuleNames()
{
    static std::vector<std::string> names;
    return names;
}

// Staging step: the object table, checked against the factory's own rules.
void StageObjectTable(LevelIArchive& ar, StagedLevel& level)
{
    ReadField(ar, kLastObjectId, level.lastId);
    const std::uint64_t count = ReadCount(ar, kObjectListSize);
    for (std::uint64_t id = 0; id < count; ++id)
    {
        std::unique_ptr<GameObject> object = ReadObjectRecord(ar);
        if (object && (id == 0 || object->id != id))
            ar.Fail("GameObject_ID", "a live object's id must equal its place in the table");
        level.objects.push_back(std::move(object));
    }
    if (std::uint64_t{level.lastId} + 1 != level.objects.size())
        ar.Fail(kObjectListSize, "the table must be one entry longer than the last id");
}

// Staging step: every child a family lists is a live object of the table that names this object as its
// parent, so a family is a tree hanging from its root.
void CheckFamilies(LevelIArchive& ar, const StagedLevel& level)
{
    for (const std::unique_ptr<GameObject>& object : level.objects)
    {
        if (!object)
            continue;
        for (std::size_t i = 1; i < object->family.size(); ++i)
        {
            const std::uint32_t childId = object->family[i];
            const GameObject* child = childId < level.objects.size() ? level.objects[childId].get() : nullptr;
            if (child == nullptr || child->GetParent() != object->id)
                ar.Fail(kChildren, "object " + std::to_string(object->id) + " lists " +
                                       std::to_string(childId) +
                                       " as a child, which does not name it as parent");
        }
    }
}

// A registry entry under an id the next new object takes would hand that object the file's components
// and scripts.
void CheckNotFree(LevelIArchive& ar, const std::set<std::uint32_t>& freeIds, const char* idName,
                  std::uint32_t objectId)
{
    if (freeIds.count(objectId) != 0)
        ar.Fail(idName, "object " + std::to_string(objectId) + " is on the free-id stack");
}

// Staging step: the prefabs; with duplicate names the first wins.
void StagePrefabs(LevelIArchive& ar, StagedLevel& level)
{
    const std::uint64_t count = ReadCount(ar, kPrefabListSize);
    std::set<std::string> names;
    for (std::uint64_t i = 0; i < count; ++i)
    {
        std::string name;
        ReadField(ar, kPrefabName, name);
        std::unique_ptr<GameObject> prototype = ReadObjectRecord(ar);
        if (!prototype)
            ar.Fail("GameObject_ID", "a prefab needs a live object record");
        if (names.insert(name).second)
            level.prefabs.emplace_back(name, std::move(prototype));
    }
}

// Staging step: the free-id stack and the destroy list, which must fit the table.
void StageIdLists(LevelIArchive& ar, StagedLevel& level)
{
    ReadVector(ar, kFreeIds, level.freeIds);
    std::set<std::uint32_t> seen;
    for (std::uint32_t id : level.freeIds)
    {
        if (id == 0 || id >= level.objects.size() || level.objects[id] || !seen.insert(id).second)
            ar.Fail(kFreeIds, "id " + std::to_string(id) + " is not a free entry of the table");
    }
    ReadVector(ar, kDestroyList, level.destroyList);
    for (std::uint32_t id : level.destroyList)
    {
        if (id >= level.objects.size())
            ar.Fail(kDestroyList, "id " + std::to_string(id) + " lies beyond the table");
    }
}

// Reads one prefab-table or registry entry of components, keyed by their classes' type ids.
StagedComponents StageComponentMap(LevelIArchive& ar, const char* sizeName, const char* idName,
                                   const std::uint32_t* owner, bool versioned)
{
    StagedComponents components;
    const std::uint64_t count = ReadCount(ar, sizeName);
    for (std::uint64_t i = 0; i < count; ++i)
    {
        std::uint32_t typeId = 0;
        ReadField(ar, idName, typeId);
        std::unique_ptr<Component> component = ReadComponentRecord(ar, versioned);
        if (!component)
            continue;
        if (component->GetTypeId() != typeId)
            ar.Fail(idName, "type id " + std::to_string(typeId) + " is not the class's");
        if (owner && component->GetOwner() != *owner)
            ar.Fail(idName, "the component's owner is not its entry's object");
        if (!components.emplace(typeId, std::move(component)).second)
            ar.Fail(idName, "type id " + std::to_string(typeId) + " repeats within one entry");
    }
    return components;
}

// The same for scripts.
StagedScripts StageScriptMap(LevelIArchive& ar, const char* sizeName, const char* idName,
                             const std::uint32_t* owner, bool versioned)
{
    StagedScripts scripts;
    const std::uint64_t count = ReadCount(ar, sizeName);
    for (std::uint64_t i = 0; i < count; ++i)
    {
        std::uint32_t typeId = 0;
        ReadField(ar, idName, typeId);
        StagedScript staged = ReadScriptRecord(ar, versioned);
        if (!staged.script)
            continue;
        if (staged.script->GetTypeId() != typeId)
            ar.Fail(idName, "type id " + std::to_string(typeId) + " is not the class's");
        if (owner && staged.savedOwner != *owner)
            ar.Fail(idName, "the script's owner is not its entry's object");
        if (!scripts.emplace(typeId, std::move(staged)).second)
            ar.Fail(idName, "type id " + std::to_string(typeId) + " repeats within one entry");
    }
    return scripts;
}

// What a staged entry holds, and the owner its record named.
const Component* StagedInstance(const std::unique_ptr<Component>& component)
{
    return component.get();
}
const Script* StagedInstance(const StagedScript& script)
{
    return script.script.get();
}
std::uint32_t StagedOwner(const std::unique_ptr<Component>& component)
{
    return component->GetOwner();
}
std::uint32_t StagedOwner(const StagedScript& script)
{
    return script.savedOwner;
}

// Reads one object's registry entry onto the end of a staged section, with the checks a map keyed by type
// id gave (a null record is dropped, a repeated type id is malformed), and sorts the object's entries by
// type id.
template <typename Staged, typename ReadRecord>
void StageSectionEntry(LevelIArchive& ar, StagedSection<Staged>& section, std::uint32_t objectId,
                       const char* sizeName, const char* idName, bool versioned, ReadRecord readRecord)
{
    const std::size_t first = section.entries.size();
    const std::uint64_t count = ReadCount(ar, sizeName);
    for (std::uint64_t i = 0; i < count; ++i)
    {
        std::uint32_t typeId = 0;
        ReadField(ar, idName, typeId);
        Staged staged = readRecord(ar, versioned);
        const auto* instance = StagedInstance(staged);
        if (!instance)
            continue;
        if (instance->GetTypeId() != typeId)
            ar.Fail(idName, "type id " + std::to_string(typeId) + " is not the class's");
        if (StagedOwner(staged) != objectId)
            ar.Fail(idName, "the " + std::string(std::is_same_v<Staged, StagedScript> ? "script" : "component") +
                                "'s owner is not its entry's object");
        for (std::size_t e = first; e < section.entries.size(); ++e)
        {
            if (section.entries[e].typeId == typeId)
                ar.Fail(idName, "type id " + std::to_string(typeId) + " repeats within one entry");
        }
        section.entries.push_back({typeId, std::move(staged)});
    }
    std::sort(section.entries.begin() + static_cast<std::ptrdiff_t>(first), section.entries.end(),
              [](const auto& a, const auto& b) { return a.typeId < b.typeId; });
    section.objects.push_back({objectId, static_cast<std::uint32_t>(section.entries.size())});
}

// Staging step: the component prefab table, then the component registry.
void StageComponents(LevelIArchive& ar, StagedLevel& level)
{
    const std::uint64_t prefabCount = ReadCount(ar, kComponentPrefabsSize);
    for (std::uint64_t i = 0; i < prefabCount; ++i)
    {
        std::string name;
        ReadField(ar, kComponentPrefabName, name);
        level.componentPrefabs.emplace_back(
            name,
            StageComponentMap(ar, kComponentPrefabMapSize, kComponentPrefabId, nullptr, level.versioned));
    }
    const std::uint64_t objectCount = ReadCount(ar, kComponentOuterSize);
    const std::set<std::uint32_t> freeIds(level.freeIds.begin(), level.freeIds.end());
    std::set<std::uint32_t> seen;
    for (std::uint64_t i = 0; i < objectCount; ++i)
    {
        std::uint32_t objectId = 0;
        ReadField(ar, kComponentObjectId, objectId);
        if (!seen.insert(objectId).second)
            ar.Fail(kComponentObjectId, "object " + std::to_string(objectId) + " appears twice");
        CheckNotFree(ar, freeIds, kComponentObjectId, objectId);
        StageSectionEntry(ar, level.components, objectId, kComponentInnerSize, kComponentId, level.versioned,
                          [](LevelIArchive& in, bool versioned) { return ReadComponentRecord(in, versioned); });
    }
}

// Staging step: the script prefab table, then the script registry.
void StageScripts(LevelIArchive& ar, StagedLevel& level)
{
    const std::uint64_t prefabCount = ReadCount(ar, kScriptPrefabsSize);
    for (std::uint64_t i = 0; i < prefabCount; ++i)
    {
        std::string name;
        ReadField(ar, kScriptPrefabName, name);
        level.scriptPrefabs.emplace_back(
            name, StageScriptMap(ar, kScriptPrefabMapSize, kScriptPrefabId, nullptr, level.versioned));
    }
    const std::uint64_t objectCount = ReadCount(ar, kScriptOuterSize);
    const std::set<std::uint32_t> freeIds(level.freeIds.begin(), level.freeIds.end());
    std::set<std::uint32_t> seen;
    for (std::uint64_t i = 0; i < objectCount; ++i)
    {
        std::uint32_t objectId = 0;
        ReadField(ar, kScriptObjectId, objectId);
        if (!seen.insert(objectId).second)
            ar.Fail(kScriptObjectId, "object " + std::to_string(objectId) + " appears twice");
        CheckNotFree(ar, freeIds, kScriptObjectId, objectId);
        StageSectionEntry(ar, level.scripts, objectId, kScriptInnerSize, kScriptId, level.versioned,
                          [](LevelIArchive& in, bool versioned) { return ReadScriptRecord(in, versioned); });
    }
}

// Staging step: the sections that hooks install (sound list, behaviour tables, background); each is read
// and dropped when its hook is missing.
void StageHookSections(LevelIArchive& ar, StagedLevel& level)
{
    const LevelHooks& hooks = GetLevelHooks();
    level.soundEventTypes = ReadObserverList(ar);

    BehaviorTablesData tables = ReadBehaviorTables(ar);
    if (hooks.checkTables)
    {
        const std::string fault = hooks.checkTables(tables);
        if (!fault.empty())
            ar.Fail(kSetsSize, "the behaviour tables are malformed: " + fault);
    }
    level.hasTables = static_cast<bool>(hooks.replaceTables);
    if (level.hasTables)
        level.tables = std::move(tables);

    if (hooks.stageBackground)
    {
        level.commitBackground = hooks.stageBackground(ar, level.versioned);
        return;
    }
    // Without a background the block's first element is still read; the rest of the file is left unread.
    if (level.versioned)
    {
        std::uint32_t version = 0;
        ReadField(ar, kBackgroundVersion, version);
    }
    else
    {
        std::string texture;
        ReadField(ar, kBackgroundTexture, texture);
    }
}

// Commit step: the object table, counters and prefabs replace the factory's.
void InstallObjects(GameObjectFactory& factory, StagedLevel& level)
{
    factory.DestroyAllObjects();
    factory.DestroyAllPrefabs();
    factory.ResizeTable(level.objects.size());
    for (std::unique_ptr<GameObject>& object : level.objects)
    {
        if (object)
            factory.InstallObject(std::move(object));
    }
    factory.SetLastId(level.lastId);
    factory.SetFreeIds(std::move(level.freeIds));
    factory.SetDestroyList(std::move(level.destroyList));
    for (auto& [name, prototype] : level.prefabs)
        factory.AddPrefab(name, std::move(prototype));
}

// How many staged entries ahead the install loops fetch: a large level's objects and instances are no
// longer in cache when it is committed, and fetching ahead lets those waits overlap.
constexpr std::size_t kInstallAhead = 6;

// Installs a staged section into a registry object by object, ascending: each object's entry (emptied by
// the clear before, so only the slots used are written) gets its instances, `install` sees each entry
// first, and the object then meets the systems once.
template <typename Registry, typename Staged, typename Install, typename Take>
void InstallSection(GameObjectFactory& factory, Registry& registry, StagedSection<Staged>& section,
                    Install install, Take take)
{
    std::uint32_t begin = 0;
    const std::size_t objectCount = section.objects.size();
    for (std::size_t i = 0; i < objectCount; ++i)
    {
        if (i + kInstallAhead < objectCount)
        {
            const auto& ahead = section.objects[i + kInstallAhead];
            if (const GameObject* object = factory.GetObject(ahead.id))
                __builtin_prefetch(object, 1);
            if (ahead.end > 0)
                __builtin_prefetch(StagedInstance(section.entries[ahead.end - 1].staged), 1);
        }
        const auto [objectId, end] = section.objects[i];
        // An entry whose object is absent is kept, but there is no type set to add to.
        GameObject* object = factory.GetObject(objectId);
        auto& slots = registry[objectId];
        if (!slots.empty())
            slots = std::remove_reference_t<decltype(slots)>();
        for (std::uint32_t e = begin; e < end; ++e)
        {
            auto& entry = section.entries[e];
            install(object, entry.typeId, entry.staged);
            slots.emplace(entry.typeId, take(entry.staged));
        }
        begin = end;
        SystemManager::RegisterObject(object);
    }
}

// Commit step: the component prefab table and registry; each object meets the systems once its
// components are in place.
void InstallComponents(GameObjectFactory& factory, StagedLevel& level)
{
    ClearComponentRegistry(true);
    EventManager::ClearAll();
    for (auto& [name, components] : level.componentPrefabs)
    {
        ComponentPreFab entry{name, {}};
        for (auto& [typeId, component] : components)
            entry.components.emplace(typeId, std::move(component));
        ComponentPreFabs().push_back(std::move(entry));
    }
    InstallSection(
        factory, ComponentRegistry(), level.components,
        [](GameObject* object, std::uint32_t typeId, const std::unique_ptr<Component>&) {
            if (object)
                object->componentTypes.insert(typeId);
        },
        [](std::unique_ptr<Component>& component) { return std::move(component); });
}

// Commit step: the script prefab table and registry, then each script's own subscriptions. Prefab-table
// scripts are templates and hear nothing.
void InstallScripts(GameObjectFactory& factory, StagedLevel& level)
{
    ClearScriptRegistry(true);
    EventManager::ClearAll();
    for (auto& [name, scripts] : level.scriptPrefabs)
    {
        ScriptPreFab entry{name, {}};
        for (auto& [typeId, staged] : scripts)
            entry.scripts.emplace(typeId, std::move(staged.script));
        ScriptPreFabs().push_back(std::move(entry));
    }
    InstallSection(
        factory, ScriptRegistry(), level.scripts,
        [](GameObject* object, std::uint32_t typeId, StagedScript& script) {
            if (object)
                object->scriptTypes.insert(typeId);
            SubscribeExactlyToSet(*script.script, script.eventTypes);
        },
        [](StagedScript& script) { return std::move(script.script); });
}

// Commit step: the sound system hears exactly the file's event types.
void SubscribeSoundObserver(const StagedLevel& level)
{
    Observer* sound = GetLevelHooks().soundObserver;
    if (sound == nullptr)
        return;
    // Only this list keeps the game's sounds alive after a load.
    if (level.soundEventTypes.empty())
        std::cout << "WARNING: level " << level.source << " subscribes no sounds\n";
    SubscribeExactly(*sound, level.soundEventTypes);
}

// Commit step: objects left with a single component and no script are dropped, and their ids stay
// unused.
void RemoveLoneComponentObjects(GameObjectFactory& factory)
{
    const std::size_t length = factory.Objects().size();
    for (std::size_t id = 1; id < length; ++id)
    {
        const GameObject* object = factory.GetObject(static_cast<std::uint32_t>(id));
        if (object && object->componentTypes.size() == 1 && object->scriptTypes.empty())
            factory.DestroyObjectKeepingId(static_cast<std::uint32_t>(id));
    }
}
} // namespace

StagedLevel::StagedLevel() = default;
StagedLevel::~StagedLevel() = default;
StagedLevel::StagedLevel(StagedLevel&&) noexcept = default;
StagedLevel& StagedLevel::operator=(StagedLevel&&) noexcept = default;

const std::vector<std::string>& GetLevelModuleNames()
{
    return ModuleNames();
}

void SetLevelModuleNames(std::vector<std::string> names)
{
    ModuleNames() = std::move(names);
}

std::unique_ptr<StagedLevel> StageLevel(const std::string& bytes, bool versioned, const std::string& source)
{
    auto level = std::make_unique<StagedLevel>();
    level->source = source;
    LevelSourceReader reader(bytes, source);
    LevelIArchive& ar = reader.Archive();
    if (versioned)
        ReadField(ar, kVersioned, level->versioned);
    ReadVector(ar, kModuleNames, level->moduleNames);
    StageObjectTable(ar, *level);
    CheckFamilies(ar, *level);
    StagePrefabs(ar, *level);
    StageIdLists(ar, *level);
    StageComponents(ar, *level);
    StageScripts(ar, *level);
    StageHookSections(ar, *level);
    return level;
}

void CommitLevel(StagedLevel& level)
{
    GameObjectFactory& factory = RequireFactory();
    const LevelHooks& hooks = GetLevelHooks();
    SetLevelModuleNames(std::move(level.moduleNames));
    InstallObjects(factory, level);
    InstallComponents(factory, level);
    InstallScripts(factory, level);
    SubscribeSoundObserver(level);
    if (level.hasTables && hooks.replaceTables)
        hooks.replaceTables(level.tables);
    if (level.commitBackground)
        level.commitBackground();
    if (hooks.runMenuBuilders)
        hooks.runMenuBuilders();
    RemoveLoneComponentObjects(factory);
}

void LoadLevel(const std::string& name, bool versioned)
{
    if (IsSkippedFileName(name))
        return;
    const std::string path = LevelFilePath(kLevelFolder, name);
    std::string bytes;
    if (!ReadFileStart(path, kMaxLevelFileBytes + 1, bytes))
        return;
    std::unique_ptr<StagedLevel> level = StageLevel(bytes, versioned, path);
    CommitLevel(*level);
}

void LoadLevelWithFallback(const std::string& name)
{
    try
    {
        LoadLevel(name, true);
        return;
    }
    catch (const std::exception& error)
    {
        // The retry's error alone would blame any fault of a versioned file on its first element.
        std::cout << "WARNING: level " << name << " failed to load as versioned (" << error.what()
                  << "); trying the unversioned form\n";
    }
    catch (...)
    {
        std::cout << "WARNING: level " << name
                  << " failed to load as versioned (unknown error); trying the unversioned form\n";
    }
    LoadLevel(name, false);
}
