#pragma once
#include "Math.h"

#include <cstdint>
#include <vector>

// Event type numbers; no event class or sender uses 0 or 18, and 2, 7 and 8 have listeners only.
enum EventTypeId : std::uint32_t
{
    evPlayerJump = 1,
    evUnused2 = 2,
    evBallGrab = 3,
    evBallDrop = 4,
    evBallStolen = 5,
    evBallBounce = 6,
    evUnused7 = 7,
    evUnused8 = 8,
    evGoalScore = 9,
    evLevelStart = 10,
    evLevelEnd = 11,
    evCollision = 12,
    evRoundFinished = 13,
    evGameFinished = 14,
    evMenuDown = 15,
    evMenuUp = 16,
    evMenuSelect = 17,
    evRoundStart = 19,
    evModuleLoaded = 20,
};

// The highest event type that a level load or an observer's removal walks over.
inline constexpr std::int32_t kLastEventType = 20;

// Base of every event: a receiver tests the type and then reads the payload of that type's class.
class Event
{
public:
    explicit Event(std::uint32_t type) : EventType(type) {}
    virtual ~Event() = default;

    std::uint32_t EventType;
};

class PlayerJumpEvent : public Event
{
public:
    PlayerJumpEvent() : Event(evPlayerJump) {}
};

class BallGrabEvent : public Event
{
public:
    BallGrabEvent() : Event(evBallGrab) {}
};

class BallDropEvent : public Event
{
public:
    BallDropEvent() : Event(evBallDrop) {}
};

class BallStolenEvent : public Event
{
public:
    BallStolenEvent() : Event(evBallStolen) {}
};

class BallBounceEvent : public Event
{
public:
    explicit BallBounceEvent(Vector3 velocity_ = {}) : Event(evBallBounce), velocity(velocity_) {}
    Vector3 velocity;
};

class GoalScoreEvent : public Event
{
public:
    // side: 1 or 2 for the scoring side, 0 when the round time ran out.
    explicit GoalScoreEvent(float side_ = 0.0f) : Event(evGoalScore), side(side_) {}
    float side;
};

class LevelStartEvent : public Event
{
public:
    LevelStartEvent() : Event(evLevelStart) {}
};

class LevelEndEvent : public Event
{
public:
    LevelEndEvent() : Event(evLevelEnd) {}
};

class CollisionEvent : public Event
{
public:
    CollisionEvent(std::uint32_t a, std::uint32_t b) : Event(evCollision), A(a), B(b) {}
    std::uint32_t A;
    std::uint32_t B;
};

class RoundFinishedEvent : public Event
{
public:
    RoundFinishedEvent(std::uint32_t winner_ = 0, std::uint32_t scoreOne_ = 0, std::uint32_t scoreTwo_ = 0)
        : Event(evRoundFinished), winner(winner_), scoreOne(scoreOne_), scoreTwo(scoreTwo_)
    {
    }
    std::uint32_t winner;
    std::uint32_t scoreOne;
    std::uint32_t scoreTwo;
};

class GameFinishedEvent : public Event
{
public:
    GameFinishedEvent(std::uint32_t winner_ = 0, std::uint32_t scoreOne_ = 0, std::uint32_t scoreTwo_ = 0)
        : Event(evGameFinished), winner(winner_), scoreOne(scoreOne_), scoreTwo(scoreTwo_)
    {
    }
    std::uint32_t winner;
    std::uint32_t scoreOne;
    std::uint32_t scoreTwo;
};

class MenuDownEvent : public Event
{
public:
    MenuDownEvent() : Event(evMenuDown) {}
};

class MenuUpEvent : public Event
{
public:
    MenuUpEvent() : Event(evMenuUp) {}
};

class MenuSelectEvent : public Event
{
public:
    MenuSelectEvent() : Event(evMenuSelect) {}
};

class RoundStartEvent : public Event
{
public:
    RoundStartEvent() : Event(evRoundStart) {}
};

class ModuleLoadedEvent : public Event
{
public:
    ModuleLoadedEvent() : Event(evModuleLoaded) {}
    std::vector<std::uint32_t> tags;   // the module's tags
    std::vector<std::uint32_t> newIds; // the ids given to the module's objects, in reading order
};
