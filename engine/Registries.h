#pragma once
#include "Component.h"
#include "RegistryStorage.h"
#include "Script.h"
#include "TypeIds.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

// A prefab's (or a staged file's) components by component type id, in ascending type id.
using ComponentMap = std::map<std::uint32_t, std::unique_ptr<Component>>;
// A prefab's scripts by script type id.
using ScriptMap = std::map<std::uint32_t, std::unique_ptr<Script>>;
// One object's components, a slot per component type id (an entry may hold null after a failed load).
using ComponentSlots = TypeSlots<Component, ComponentTypeId::kCount>;
// One object's scripts, a slot per script type id.
using ScriptSlots = TypeSlots<Script, ScriptTypeId::kCount>;
// Every attached component by owner object id, then type id; owns them. Iterated in ascending object id,
// then type id.
using ComponentRegistryMap = ObjectTable<ComponentSlots>;
// Every attached script by owner object id, then type id; owns them.
using ScriptRegistryMap = ObjectTable<ScriptSlots>;

// A named set of components or scripts that objects made from the prefab of that name receive.
struct ComponentPreFab
{
    std::string name;
    ComponentMap components;
};
struct ScriptPreFab
{
    std::string name;
    ScriptMap scripts;
};
using ComponentPreFabTable = std::vector<ComponentPreFab>;
using ScriptPreFabTable = std::vector<ScriptPreFab>;

// The process-wide registries and prefab tables.
ComponentRegistryMap& ComponentRegistry();
ScriptRegistryMap& ScriptRegistry();
ComponentPreFabTable& ComponentPreFabs();
ScriptPreFabTable& ScriptPreFabs();

// Counts every removal of scripts from the script registry. Remove scripts only through the functions
// below while the object factory may be updating.
std::uint64_t ScriptRegistryErasures();

// Marks a pass over the script registry. While one lives, a removed script leaves the registry and its
// events at once but is deleted only when the outermost pass ends, so that a script may remove itself
// (directly, or by loading a level or a module) from its own Update.
class ScriptPassScope
{
  public:
    ScriptPassScope();
    ~ScriptPassScope();
    ScriptPassScope(const ScriptPassScope&) = delete;
    ScriptPassScope& operator=(const ScriptPassScope&) = delete;
};

// The component of (object, type) in the registry, or null.
Component* FindComponent(std::uint32_t objectId, std::uint32_t typeId);
// The script of (object, type) in the registry, or null.
Script* FindScript(std::uint32_t objectId, std::uint32_t typeId);

// Deletes one component and re-registers its object with the systems; the type id stays in the
// object's set, so GetComponent then yields null.
void RemoveComponent(std::uint32_t objectId, std::uint32_t typeId);
// The same for one script.
void RemoveScript(std::uint32_t objectId, std::uint32_t typeId);
// Deletes an object's components and erases its registry entry.
void RemoveObjectComponents(std::uint32_t objectId);
// Deletes an object's scripts and erases its registry entry.
void RemoveObjectScripts(std::uint32_t objectId);
// Deletes every registered component; withPreFabs also empties the component prefab table.
void ClearComponentRegistry(bool withPreFabs);
// Deletes every registered script; withPreFabs also empties the script prefab table.
void ClearScriptRegistry(bool withPreFabs);

// Stores a clone (at its class's data version) under its type id in the named prefab entry, replacing
// one of that type; an absent entry is appended.
void AddComponentToPreFab(const std::string& preFabName, const Component& component);
// The same for a script.
void AddScriptToPreFab(const std::string& preFabName, const Script& script);
// The prefab entries of a name, or null.
ComponentPreFab* FindComponentPreFab(const std::string& preFabName);
ScriptPreFab* FindScriptPreFab(const std::string& preFabName);
