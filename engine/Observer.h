#pragma once
#include "EventTypeSet.h"

#include <cstdint>
#include <set>

class Event;

// Receives the events of the types it subscribes to, at once, in the sender's call.
class Observer
{
public:
    Observer() = default;
    // A copy starts with no subscriptions of its own.
    Observer(const Observer&) {}
    Observer& operator=(const Observer&) { return *this; }
    // Leaves every event type, so it is never called after it is gone.
    virtual ~Observer();

    virtual void OnNotify(Event* event) = 0;

    // Adds the type to this observer's set and this observer to the type's set; twice is once.
    void Subscribe(std::int32_t eventType);
    // Removes the type from both sets.
    void Unsubscribe(std::int32_t eventType);

    // The types this observer hears, ascending.
    const EventTypeSet& SubscribedTypes() const { return subscribedTypes; }

private:
    friend class EventManager;
    EventTypeSet subscribedTypes;
};
