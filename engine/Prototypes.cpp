#include "Prototypes.h"

#include "EnginePrototypes.h"
#include "EventManager.h"

#include <algorithm>

namespace
{
// Deliberately never destroyed: prototypes are deleted explicitly by the factory's Exit, and a map torn
// down during static destruction would run script destructors against a dispatcher already gone.
ComponentPrototypeMap& componentPrototypes = *new ComponentPrototypeMap;
ScriptPrototypeMap& scriptPrototypes = *new ScriptPrototypeMap;
// The engine's own classes come first; every other subsystem adds its function at start-up.
std::vector<PrototypeRegistration>& registrations =
    *new std::vector<PrototypeRegistration>{&RegisterEnginePrototypes};

} // namespace

void MakeObserverInert(Observer& observer)
{
    const EventTypeSet types = observer.SubscribedTypes();
    for (std::int32_t type : types)
        observer.Unsubscribe(type);
    EventManager::RemoveObserver(&observer);
}

void RegisterComponentPrototype(const Component& instance)
{
    RegisterComponentPrototype(instance.GetName(), instance);
}

void RegisterComponentPrototype(const std::string& key, const Component& instance)
{
    if (componentPrototypes.count(key) != 0)
        return;
    std::unique_ptr<Component> prototype = instance.Clone();
    prototype->SetOwner(0);
    prototype->SetDataVersion(prototype->GetVersion());
    if (auto* observer = dynamic_cast<Observer*>(prototype.get()))
        MakeObserverInert(*observer);
    componentPrototypes.emplace(key, std::move(prototype));
}

void RegisterScriptPrototype(const Script& instance)
{
    if (scriptPrototypes.count(instance.GetName()) != 0)
        return;
    std::unique_ptr<Script> prototype = instance.Clone();
    prototype->SetOwner(0);
    MakeObserverInert(*prototype);
    scriptPrototypes.emplace(instance.GetName(), std::move(prototype));
}

Component* FindComponentPrototype(const std::string& key)
{
    const auto found = componentPrototypes.find(key);
    return found == componentPrototypes.end() ? nullptr : found->second.get();
}

Script* FindScriptPrototype(const std::string& key)
{
    const auto found = scriptPrototypes.find(key);
    return found == scriptPrototypes.end() ? nullptr : found->second.get();
}

ComponentPrototypeMap& ComponentPrototypes()
{
    return componentPrototypes;
}

ScriptPrototypeMap& ScriptPrototypes()
{
    return scriptPrototypes;
}

void ResetPrototypes()
{
    componentPrototypes.clear();
    scriptPrototypes.clear();
}

void AddPrototypeRegistration(PrototypeRegistration registration)
{
    if (registration == nullptr)
        return;
    if (std::find(registrations.begin(), registrations.end(), registration) == registrations.end())
        registrations.push_back(registration);
}

void RunPrototypeRegistrations()
{
    // A copy: a registration may add another.
    const std::vector<PrototypeRegistration> list = registrations;
    for (PrototypeRegistration registration : list)
        registration();
}

const std::vector<PrototypeRegistration>& PrototypeRegistrations()
{
    return registrations;
}
