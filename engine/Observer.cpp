#include "Observer.h"

#include "EventManager.h"

Observer::~Observer()
{
    EventManager::RemoveObserver(this);
    // Types beyond the walked range would otherwise keep a dangling pointer.
    for (std::int32_t type : subscribedTypes)
        EventManager::RemoveFromType(type, this);
    EventManager::ForgetDestroyed(this);
}

void Observer::Subscribe(std::int32_t eventType)
{
    subscribedTypes.insert(eventType);
    EventManager::AddToType(eventType, this);
}

void Observer::Unsubscribe(std::int32_t eventType)
{
    subscribedTypes.erase(eventType);
    EventManager::RemoveFromType(eventType, this);
}
