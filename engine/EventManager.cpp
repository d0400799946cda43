#include "EventManager.h"

#include "Event.h"
#include "Observer.h"

#include <memory_resource>
#include <unordered_map>
#include <vector>

namespace
{
// The sets' nodes come from one pool: a level of thousands of scripts subscribes and leaves without a
// call to the general allocator per subscription, and one type's nodes lie close together.
using ObserverSet = std::pmr::set<Observer*>;

// Built on first use and never destroyed, so observers destroyed during static destruction still find it.
std::unordered_map<std::int32_t, ObserverSet>& Table()
{
    static auto* table = new std::unordered_map<std::int32_t, ObserverSet>();
    return *table;
}

// One type's set, made (drawing on the pool) when absent.
ObserverSet& TypeSet(std::int32_t eventType)
{
    static auto* pool = new std::pmr::unsynchronized_pool_resource();
    auto& table = Table();
    auto found = table.find(eventType);
    if (found == table.end())
        found = table.try_emplace(eventType, pool).first;
    return found->second;
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
    const ObserverSet& observers = TypeSet(static_cast<std::int32_t>(event->EventType));
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
    ObserverSet& observers = TypeSet(eventType);
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
    if (found == Table().end())
        return {};
    return std::set<Observer*>(found->second.begin(), found->second.end());
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
    TypeSet(eventType).insert(observer);
}

void EventManager::RemoveFromType(std::int32_t eventType, Observer* observer)
{
    TypeSet(eventType).erase(observer);
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
