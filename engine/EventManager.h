#pragma once
#include <cstdint>
#include <set>

class Event;
class Observer;

// The process-wide dispatcher: per event type, the set of observers, ordered by address.
class EventManager
{
public:
    // Calls OnNotify of every observer of the event's type, over a copy of the set taken first.
    static void Dispatch(Event* event);
    // Removes the observer from the set of every event type 0 to 20.
    static void RemoveObserver(Observer* observer);
    // Empties one type's observer set, and removes the type from each of those observers' own sets.
    static void ClearType(std::int32_t eventType);
    // ClearType for every event type 0 to 20.
    static void ClearAll();
    // The observers of one type, in delivery order.
    static std::set<Observer*> ObserversOf(std::int32_t eventType);
    // Forgets every type and subscription: a clean start for tests.
    static void Reset();

private:
    friend class Observer;
    static void AddToType(std::int32_t eventType, Observer* observer);
    static void RemoveFromType(std::int32_t eventType, Observer* observer);
    // Stops the dispatches in flight from calling an observer that is being destroyed.
    static void ForgetDestroyed(Observer* observer);
};
