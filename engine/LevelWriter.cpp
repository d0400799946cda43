#include "LevelFile.h"

#include "FrameRateManager.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "LevelArchive.h"
#include "LevelFileNames.h"
#include "LevelHooks.h"
#include "LevelPaths.h"
#include "LevelTables.h"
#include "Observer.h"
#include "Registries.h"
#include "SafeFileWriter.h"

#include <boost/archive/xml_oarchive.hpp>

#include <iostream>

using namespace LevelElements;

namespace
{
std::uint32_t Count(std::size_t size)
{
    return static_cast<std::uint32_t>(size);
}

// The table itself, queued objects included (the finders would skip them), then the prefabs and the
// id lists.
void WriteObjects(LevelOArchive& ar, const GameObjectFactory& factory)
{
    const auto& objects = factory.Objects();
    WriteField(ar, kLastObjectId, factory.GetLastId());
    WriteField(ar, kObjectListSize, Count(objects.size()));
    for (const auto& object : objects)
        WriteObjectRecord(ar, object.get());

    WriteField(ar, kPrefabListSize, Count(factory.Prefabs().size()));
    for (const auto& prefab : factory.Prefabs())
    {
        WriteField(ar, kPrefabName, prefab->name);
        WriteObjectRecord(ar, prefab->prototype.get());
    }
    WriteVector(ar, kFreeIds, factory.FreeIds());
    WriteVector(ar, kDestroyList, factory.DestroyList());
}

// A prefab's map or an object's slots.
template <typename Components>
void WriteComponentMap(LevelOArchive& ar, const Components& components, const char* sizeName,
                       const char* idName, std::uint32_t owner)
{
    WriteField(ar, sizeName, Count(components.size()));
    for (const auto& [typeId, component] : components)
    {
        WriteField(ar, idName, typeId);
        WriteComponentRecord(ar, component.get(), component ? component->GetOwner() : owner);
    }
}

template <typename Scripts>
void WriteScriptMap(LevelOArchive& ar, const Scripts& scripts, const char* sizeName, const char* idName,
                    std::uint32_t owner)
{
    WriteField(ar, sizeName, Count(scripts.size()));
    for (const auto& [typeId, script] : scripts)
    {
        WriteField(ar, idName, typeId);
        WriteScriptRecord(ar, script.get(), script ? script->GetOwner() : owner);
    }
}

void WriteComponents(LevelOArchive& ar)
{
    WriteField(ar, kComponentPrefabsSize, Count(ComponentPreFabs().size()));
    for (const ComponentPreFab& entry : ComponentPreFabs())
    {
        WriteField(ar, kComponentPrefabName, entry.name);
        WriteComponentMap(ar, entry.components, kComponentPrefabMapSize, kComponentPrefabId, 0);
    }
    WriteField(ar, kComponentOuterSize, Count(ComponentRegistry().size()));
    for (const auto& [objectId, components] : ComponentRegistry())
    {
        WriteField(ar, kComponentObjectId, objectId);
        WriteComponentMap(ar, components, kComponentInnerSize, kComponentId, objectId);
    }
}

void WriteScripts(LevelOArchive& ar)
{
    WriteField(ar, kScriptPrefabsSize, Count(ScriptPreFabs().size()));
    for (const ScriptPreFab& entry : ScriptPreFabs())
    {
        WriteField(ar, kScriptPrefabName, entry.name);
        WriteScriptMap(ar, entry.scripts, kScriptPrefabMapSize, kScriptPrefabId, 0);
    }
    WriteField(ar, kScriptOuterSize, Count(ScriptRegistry().size()));
    for (const auto& [objectId, scripts] : ScriptRegistry())
    {
        WriteField(ar, kScriptObjectId, objectId);
        WriteScriptMap(ar, scripts, kScriptInnerSize, kScriptId, objectId);
    }
}

// The sections other subsystems own; each is written empty when its hook is missing.
void WriteHookSections(LevelOArchive& ar)
{
    const LevelHooks& hooks = GetLevelHooks();
    if (hooks.soundObserver)
        WriteObserverList(ar, hooks.soundObserver->SubscribedTypes());
    else
        WriteObserverList(ar, std::set<std::int32_t>());
    WriteBehaviorTables(ar, hooks.getTables ? hooks.getTables() : BehaviorTablesData());
    if (hooks.saveBackground)
        hooks.saveBackground(ar);
    else
        WriteField(ar, kBackgroundVersion, std::uint32_t{0});
}
} // namespace

void SaveLevelTo(std::ostream& out)
{
    const GameObjectFactory& factory = RequireFactory();
    boost::archive::xml_oarchive ar(out);
    WriteField(ar, kVersioned, true);
    WriteVector(ar, kModuleNames, GetLevelModuleNames());
    WriteObjects(ar, factory);
    WriteComponents(ar);
    WriteScripts(ar);
    WriteHookSections(ar);
}

bool SaveLevel(const std::string& name)
{
    if (FrameRateManager::IsPaused())
        FrameRateManager::TogglePause();
    const LevelHooks& hooks = GetLevelHooks();
    if (hooks.closeAllMenus)
        hooks.closeAllMenus();
    if (IsSkippedFileName(name))
        return false;

    const std::string path = LevelFilePath(kLevelFolder, name);
    // The written file must read back as a level before it replaces the old one.
    const auto check = [&path](const std::string& bytes) { StageLevel(bytes, true, path); };
    const std::string fault = WriteFileChecked(path, SaveLevelTo, check);
    if (fault.empty())
        return true;
    std::cout << "ERROR: level " << name << " not saved: " << fault << "\n";
    return false;
}
