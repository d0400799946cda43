#include "Observer.h"

#include "EventManager.h"

Observer::~Observer()
{
    // A type's set holds an observer exactly when the observer's own set holds the type (only Subscribe
    // adds, and every removal takes both sides), so leaving its own types leaves every set it is in.
    for (std::int32_t type : subscribedTypes)
        EventManager::RemoveFromType(type, this);
    EventManager::ForgetDestroyed(this);
}

void Observer::Subscribe(std::int32_t eventType)
{
    if (subscribedTypes.insert(eventType))
        EventManager::AddToType(eventType, this);
}

void Observer::Unsubscribe(std::int32_t eventType)
{
    subscribedTypes.erase(eventType);
    EventManager::RemoveFromType(eventType, this);
}
