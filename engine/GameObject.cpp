#include "GameObject.h"

#include "Component.h"
#include "GameObjectFactory.h"
#include "Registries.h"
#include "Script.h"
#include "SystemManager.h"
#include "Transform.h"
#include "TypeIds.h"

#include <cstdlib>
#include <iostream>
#include <unordered_set>
#include <vector>

namespace
{
constexpr const char* kComponentTwiceMessage = "Tried to set a component twice.\n";
constexpr const char* kScriptTwiceMessage = "Tried to set a script twice.\n";

GameObject* LiveObject(std::uint32_t objectId)
{
    return gGameObjectFactory ? gGameObjectFactory->GetObject(objectId) : nullptr;
}

// Marks the object and every descendant dirty, and the descendants' transforms. An explicit stack, since
// a family may be many thousands of generations deep; a cycle in the family lists ends.
void MarkFamilyDirty(GameObject& root)
{
    std::unordered_set<std::uint32_t> visited{root.id};
    std::vector<GameObject*> pending{&root};
    root.SetFlag(kFlagDirty, true);
    while (!pending.empty())
    {
        const GameObject* object = pending.back();
        pending.pop_back();
        for (std::size_t i = 1; i < object->family.size(); ++i)
        {
            const std::uint32_t childId = object->family[i];
            if (visited.count(childId) != 0)
                continue;
            GameObject* child = LiveObject(childId);
            if (child == nullptr)
                continue;
            visited.insert(childId);
            child->SetFlag(kFlagDirty, true);
            if (auto* transform = child->GetComponentAs<Transform>(ComponentTypeId::kTransform))
                transform->MarkDirty();
            pending.push_back(child);
        }
    }
}
} // namespace

GameObject::GameObject(std::string name_) : name(std::move(name_)), family{0} {}

GameObject::GameObject(const GameObject& prototype)
    : id(0), flags(prototype.flags), tag(prototype.tag), name(prototype.name),
      componentTypes(prototype.componentTypes), scriptTypes(prototype.scriptTypes), family{0}
{
}

Component* GameObject::GetComponent(std::uint32_t typeId) const
{
    if (componentTypes.count(typeId) == 0)
        return nullptr;
    return FindComponent(id, typeId);
}

Script* GameObject::GetScript(std::uint32_t typeId) const
{
    if (scriptTypes.count(typeId) == 0)
        return nullptr;
    return FindScript(id, typeId);
}

void GameObject::AddComponent(Component& component)
{
    if (HasFlag(kFlagPrefabPrototype))
        return;
    const std::uint32_t typeId = component.GetTypeId();
    componentTypes.insert(typeId);
    if (ComponentRegistry()[id].Get(typeId) != nullptr)
    {
        std::cout << kComponentTwiceMessage;
    }
    else
    {
        const std::uint32_t formerOwner = component.GetOwner();
        component.SetOwner(id);
        std::unique_ptr<Component> stored = component.Clone();
        stored->SetDataVersion(stored->GetVersion());
        stored->SetOwner(id);
        component.SetOwner(formerOwner);
        // Indexed again: the table may have grown while the clone was made.
        ComponentRegistry()[id][typeId] = std::move(stored);
        SystemManager::RegisterObject(this);
    }
    component.SetOwner(id);
}

void GameObject::AddScript(Script& script)
{
    if (HasFlag(kFlagPrefabPrototype))
        return;
    const std::uint32_t typeId = script.GetTypeId();
    scriptTypes.insert(typeId);
    if (ScriptRegistry()[id].Get(typeId) != nullptr)
    {
        std::cout << kScriptTwiceMessage;
    }
    else
    {
        const std::uint32_t formerOwner = script.GetOwner();
        script.SetOwner(id);
        std::unique_ptr<Script> stored = script.Clone();
        stored->SetOwner(id);
        script.SetOwner(formerOwner);
        ScriptRegistry()[id][typeId] = std::move(stored);
        SystemManager::RegisterObject(this);
    }
    script.SetOwner(id);
}

void GameObject::CheckCast(bool agrees)
{
    if (agrees)
        return;
    std::cerr << "GameObject: a static downcast disagrees with dynamic_cast\n";
    std::abort();
}

void GameObject::SetDirty(bool dirty)
{
    if (!dirty)
    {
        SetFlag(kFlagDirty, false);
        return;
    }
    MarkFamilyDirty(*this);
}
