#include "Event.h"
#include "EventManager.h"
#include "Observer.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <vector>

namespace
{
// Counts what it receives and runs an optional action inside OnNotify.
class Listener : public Observer
{
public:
    void OnNotify(Event* event) override
    {
        received.push_back(event->EventType);
        if (action)
            action(event);
    }
    std::vector<std::uint32_t> received;
    std::function<void(Event*)> action;
};

class EventManagerTest : public ::testing::Test
{
protected:
    void SetUp() override { EventManager::Reset(); }
    void TearDown() override { EventManager::Reset(); }
};
} // namespace

TEST_F(EventManagerTest, AnUnsubscribedTypeReachesNobody)
{
    Listener listener;
    listener.Subscribe(evGoalScore);
    LevelStartEvent event;
    EventManager::Dispatch(&event);
    EXPECT_TRUE(listener.received.empty());
}

TEST_F(EventManagerTest, ObserversOfOneTypeAreCalledInAddressOrderOnceEach)
{
    Listener pair[2];
    std::vector<Listener*> order;
    pair[1].Subscribe(evCollision);
    pair[0].Subscribe(evCollision);
    pair[0].Subscribe(evCollision);
    for (Listener& l : pair)
        l.action = [&order, &l](Event*) { order.push_back(&l); };
    CollisionEvent event(1, 2);
    EventManager::Dispatch(&event);
    EXPECT_EQ(order, (std::vector<Listener*>{&pair[0], &pair[1]}));
}

TEST_F(EventManagerTest, UnsubscribingDuringDeliveryStillGetsTheCurrentEventButNotTheNext)
{
    Listener first, second;
    first.Subscribe(evBallGrab);
    second.Subscribe(evBallGrab);
    Listener* later = &first < &second ? &second : &first;
    Listener* earlier = later == &first ? &second : &first;
    earlier->action = [later](Event*) { later->Unsubscribe(evBallGrab); };

    BallGrabEvent event;
    EventManager::Dispatch(&event);
    EXPECT_EQ(later->received.size(), 1u);
    EventManager::Dispatch(&event);
    EXPECT_EQ(later->received.size(), 1u);
    EXPECT_EQ(earlier->received.size(), 2u);
}

TEST_F(EventManagerTest, SubscribingDuringDeliveryTakesEffectFromTheNextDispatch)
{
    Listener sender, newcomer;
    sender.Subscribe(evBallDrop);
    sender.action = [&newcomer](Event*) { newcomer.Subscribe(evBallDrop); };
    BallDropEvent event;
    EventManager::Dispatch(&event);
    EXPECT_TRUE(newcomer.received.empty());
    EventManager::Dispatch(&event);
    EXPECT_EQ(newcomer.received.size(), 1u);
}

TEST_F(EventManagerTest, ANestedDispatchCompletesBeforeTheOuterOneGoesOn)
{
    std::vector<std::uint32_t> log;
    Listener outer, inner;
    outer.Subscribe(evRoundFinished);
    inner.Subscribe(evGameFinished);
    inner.Subscribe(evRoundFinished);
    outer.action = [&log](Event* event) {
        log.push_back(event->EventType);
        if (event->EventType == evRoundFinished)
        {
            GameFinishedEvent finished(1, 4, 2);
            EventManager::Dispatch(&finished);
        }
    };
    inner.action = [&log](Event* event) { log.push_back(100 + event->EventType); };
    RoundFinishedEvent round(1, 3, 2);
    EventManager::Dispatch(&round);
    // Whatever the address order, the game-finished delivery sits inside the outer observer's call.
    ASSERT_EQ(log.size(), 3u);
    if (&outer < &inner)
        EXPECT_EQ(log, (std::vector<std::uint32_t>{evRoundFinished, 100 + evGameFinished, 100 + evRoundFinished}));
    else
        EXPECT_EQ(log, (std::vector<std::uint32_t>{100 + evRoundFinished, evRoundFinished, 100 + evGameFinished}));
}

TEST_F(EventManagerTest, AnObserverDestroyedDuringDeliveryIsNotCalled)
{
    auto a = std::make_unique<Listener>();
    auto b = std::make_unique<Listener>();
    a->Subscribe(evMenuSelect);
    b->Subscribe(evMenuSelect);
    std::unique_ptr<Listener>& victimOwner = a.get() < b.get() ? b : a;
    Listener* killer = a.get() < b.get() ? a.get() : b.get();
    int victimCalls = 0;
    victimOwner->action = [&victimCalls](Event*) { ++victimCalls; };
    killer->action = [&victimOwner](Event*) { victimOwner.reset(); };
    MenuSelectEvent event;
    EventManager::Dispatch(&event);
    EXPECT_EQ(victimCalls, 0);
    EXPECT_EQ(EventManager::ObserversOf(evMenuSelect).size(), 1u);
}

TEST_F(EventManagerTest, ADestroyedObserverLeavesEveryTypeItHad)
{
    Listener survivor;
    survivor.Subscribe(evPlayerJump);
    {
        Listener listener;
        listener.Subscribe(evPlayerJump);
        listener.Subscribe(evModuleLoaded);
        listener.Subscribe(40);
    }
    EXPECT_EQ(EventManager::ObserversOf(evPlayerJump), (std::set<Observer*>{&survivor}));
    EXPECT_TRUE(EventManager::ObserversOf(evModuleLoaded).empty());
    EXPECT_TRUE(EventManager::ObserversOf(40).empty());
}

TEST_F(EventManagerTest, ClearingATypeKeepsTheObserversOwnSetInStepAndResubscribingWorks)
{
    Listener listener;
    listener.Subscribe(evLevelEnd);
    listener.Subscribe(evLevelStart);
    EventManager::ClearAll();
    EXPECT_TRUE(listener.SubscribedTypes().empty());
    EXPECT_TRUE(EventManager::ObserversOf(evLevelEnd).empty());

    listener.Subscribe(evLevelEnd);
    EXPECT_EQ(listener.SubscribedTypes(), (std::set<std::int32_t>{evLevelEnd}));
    LevelEndEvent event;
    EventManager::Dispatch(&event);
    EXPECT_EQ(listener.received.size(), 1u);
}

TEST_F(EventManagerTest, ACopiedObserverStartsWithoutSubscriptions)
{
    Listener original;
    original.Subscribe(evBallBounce);
    Listener copy(original);
    EXPECT_TRUE(copy.SubscribedTypes().empty());
    BallBounceEvent event(Vector3(1.0f, 2.0f, 0.0f));
    EventManager::Dispatch(&event);
    EXPECT_EQ(original.received.size(), 1u);
    EXPECT_TRUE(copy.received.empty());
}

// Types outside 0..31 (negative, or beyond the game's own) are kept beside the common ones: the own set
// lists all of them in ascending order, delivery reaches each, and a destroyed observer leaves every one.
TEST_F(EventManagerTest, AnObserverKeepsEveryTypeItSubscribesInOrderAndLeavesThemAllWhenDestroyed)
{
    auto listener = std::make_unique<Listener>();
    for (std::int32_t type : std::initializer_list<std::int32_t>{40, evCollision, -3, 31, 0, 32, evCollision, 40})
        listener->Subscribe(type);
    const std::set<std::int32_t> expected{-3, 0, evCollision, 31, 32, 40};
    EXPECT_EQ(listener->SubscribedTypes(), expected);
    EXPECT_EQ(listener->SubscribedTypes().size(), expected.size());
    EXPECT_EQ(std::vector<std::int32_t>(listener->SubscribedTypes().begin(), listener->SubscribedTypes().end()),
              std::vector<std::int32_t>(expected.begin(), expected.end()));

    Event large(40);
    Event top(31);
    EventManager::Dispatch(&large);
    EventManager::Dispatch(&top);
    EXPECT_EQ(listener->received, (std::vector<std::uint32_t>{40, 31}));

    listener->Unsubscribe(40);
    listener->Unsubscribe(31);
    EXPECT_EQ(listener->SubscribedTypes(), (std::set<std::int32_t>{-3, 0, evCollision, 32}));
    EXPECT_EQ(listener->SubscribedTypes().count(40), 0u);
    EXPECT_TRUE(EventManager::ObserversOf(40).empty());
    EventManager::Dispatch(&large);
    EXPECT_EQ(listener->received.size(), 2u);

    Listener witness;
    witness.Subscribe(32);
    listener.reset();
    for (std::int32_t type : expected)
        EXPECT_EQ(EventManager::ObserversOf(type).size(), type == 32 ? 1u : 0u) << type;
}
