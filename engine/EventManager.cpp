#include "EventManager.h"

#include "Event.h"
#include "Observer.h"

#include <unordered_map>
#include <vector>

namespace
{
using ObserverSet = std::set<Observer*>;

// Built on first use and never destroyed, so observers destroyed during static destruction still find it.
std::unordered_map<std::int32_t, ObserverSet>& Table()
{
    static auto* table = new std::unordered_map<std::int32_t, ObserverSet>();
    return *table;
}

// The copies that dispatches in flight are walking, innermost last.
std::vector<std::vector<Observer*>*>& ActiveDispatches()
{
    static auto* active = new std::vector<std::vector<Observer*>*>();
    return *active;
}

struct ActiveDispatchScope
{
    explicit ActiveDispatchScope(std::vector<Observer*>* copy) { ActiveDispatches().push_back(copy); }
    ~ActiveDispatchScope() { ActiveDispatches().pop_back(); }
};
} // namespace

void EventManager::Dispatch(Event* event)
{
    if (event == nullptr)
        return;
    const ObserverSet& observers = Table()[static_cast<std::int32_t>(event->EventType)];
    std::vector<Observer*> copy(observers.begin(), observers.end());
    ActiveDispatchScope scope(&copy);
    for (std::size_t i = 0; i < copy.size(); ++i)
    {
        // An observer destroyed by an earlier receiver of this event is skipped.
        if (copy[i] != nullptr)
            copy[i]->OnNotify(event);
    }
}

void EventManager::RemoveObserver(Observer* observer)
{
    for (std::int32_t type = 0; type <= kLastEventType; ++type)
        RemoveFromType(type, observer);
}

void EventManager::ClearType(std::int32_t eventType)
{
    ObserverSet& observers = Table()[eventType];
    for (Observer* observer : observers)
        observer->subscribedTypes.erase(eventType);
    observers.clear();
}

void EventManager::ClearAll()
{
    for (std::int32_t type = 0; type <= kLastEventType; ++type)
        ClearType(type);
}

std::set<Observer*> EventManager::ObserversOf(std::int32_t eventType)
{
    auto found = Table().find(eventType);
    return found == Table().end() ? std::set<Observer*>() : found->second;
}

void EventManager::Reset()
{
    for (auto& [type, observers] : Table())
    {
        for (Observer* observer : observers)
            observer->subscribedTypes.erase(type);
    }
    Table().clear();
}

void EventManager::AddToType(std::int32_t eventType, Observer* observer)
{
    Table()[eventType].insert(observer);
}

void EventManager::RemoveFromType(std::int32_t eventType, Observer* observer)
{
    Table()[eventType].erase(observer);
}

void EventManager::ForgetDestroyed(Observer* observer)
{
    for (std::vector<Observer*>* copy : ActiveDispatches())
    {
        for (Observer*& entry : *copy)
        {
            if (entry == observer)
                entry = nullptr;
        }
    }
}
