#include "BoxCollider.h"
#include "CircleCollider.h"
#include "Engine.h"
#include "Event.h"
#include "EventManager.h"
#include "FrameRateManager.h"
#include "GameObjectFactory.h"
#include "Observer.h"
#include "PhysicsPrototypes.h"
#include "PlaceholderSystem.h"
#include "Prototypes.h"
#include "RigidBody.h"
#include "Transform.h"
#include "TypeIds.h"

#include <gtest/gtest.h>

namespace
{
class CollisionCounter : public Observer
{
  public:
    CollisionCounter() { Subscribe(evCollision); }
    void OnNotify(Event*) override { ++count; }
    int count = 0;
};

// The frame loop with a real object factory: start-up registers physics, and the loop's physics step
// then moves bodies and reports contacts.
TEST(FrameLoopPhysics, RegisteredPhysicsMovesBodiesAndRaisesEvents)
{
    EventManager::Reset();
    FrameRateManager::Reset();
    ResetPrototypes();
    SystemFactories factories;
    for (int slot = 0; slot < kEngineSlotCount; ++slot)
        factories[slot] = [] { return std::make_unique<PlaceholderSystem>(estSystemBase); };
    factories[slotObjectFactory] = [] { return std::make_unique<GameObjectFactory>(); };
    double now = 0.0;
    {
        Engine engine(factories);
        engine.SetClock([&now] { return now; });
        engine.Init();
        RegisterPhysics();

        GameObject* floor = gGameObjectFactory->CreateObject();
        floor->GetComponentAs<Transform>(ComponentTypeId::kTransform)->SetScale({400.0f, 20.0f, 0.0f});
        BoxCollider box(floor->id);
        floor->AddComponent(box);
        RigidBody floorBody(floor->id, 7);
        floorBody.SetStatic(true);
        floor->AddComponent(floorBody);
        GameObject* ball = gGameObjectFactory->CreateObject();
        auto* ballTransform = ball->GetComponentAs<Transform>(ComponentTypeId::kTransform);
        ballTransform->SetTranslation({0.0f, 40.0f, 1.0f});
        ballTransform->SetScale({20.0f, 20.0f, 0.0f});
        CircleCollider circle(ball->id);
        ball->AddComponent(circle);
        RigidBody body(ball->id, 5);
        ball->AddComponent(body);

        CollisionCounter counter;
        for (int pass = 0; pass < 120; ++pass)
        {
            now += 1.0 / 60.0;
            engine.RunFramePass();
        }
        EXPECT_GT(counter.count, 0);
        EXPECT_NEAR(ballTransform->GetTranslation().y, 20.0f, 1.0f);
        engine.Shutdown();
    }
    EventManager::Reset();
}
} // namespace
