#pragma once
#include "BoxCollider.h"
#include "CircleCollider.h"
#include "CollisionChecker.h"
#include "EventManager.h"
#include "FrameRateManager.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "MotionSystem.h"
#include "PhysicsPrototypes.h"
#include "Prototypes.h"
#include "QuadTree.h"
#include "RecordingDebugDraw.h"
#include "RigidBody.h"
#include "SystemManager.h"
#include "Transform.h"
#include "TypeIds.h"

#include <gtest/gtest.h>

#include <memory>

// A running object factory with the physics systems installed, over clean global state.
class PhysicsWorld
{
  public:
    static constexpr float kStep = 1.0f / 60.0f;

    PhysicsWorld()
    {
        EventManager::Reset();
        FrameRateManager::Reset();
        ResetPrototypes();
        QuadTree::Reset();
        factory = std::make_unique<GameObjectFactory>();
        factory->Init();
        RegisterPhysics();
    }
    ~PhysicsWorld()
    {
        factory->Exit();
        factory.reset();
        QuadTree::Reset();
        EventManager::Reset();
    }
    PhysicsWorld(const PhysicsWorld&) = delete;
    PhysicsWorld& operator=(const PhysicsWorld&) = delete;

    // An object at (x, y) with the scale and rotation; no body, no collider yet.
    GameObject* Place(float x, float y, float sx, float sy, float degrees = 0.0f)
    {
        GameObject* object = factory->CreateObject();
        Transform* transform = TransformOf(object);
        transform->SetTranslation({x, y, 1.0f});
        transform->SetScale({sx, sy, 0.0f});
        transform->SetRotation(degrees);
        return object;
    }

    // A box-collided object with a body of the substance.
    GameObject* Box(float x, float y, float sx, float sy, std::int32_t substance, float degrees = 0.0f)
    {
        GameObject* object = Place(x, y, sx, sy, degrees);
        BoxCollider box(object->id);
        object->AddComponent(box);
        RigidBody body(object->id, substance);
        object->AddComponent(body);
        return object;
    }

    // A circle-collided object (radius 0.5 times the scale) with a body of the substance.
    GameObject* Ball(float x, float y, float scale, std::int32_t substance)
    {
        GameObject* object = Place(x, y, scale, scale);
        CircleCollider circle(object->id);
        object->AddComponent(circle);
        RigidBody body(object->id, substance);
        object->AddComponent(body);
        return object;
    }

    // A static floor of the Static substance.
    GameObject* Floor(float x = 0.0f, float y = -220.0f, float sx = 1920.0f, float sy = 40.0f)
    {
        GameObject* floor = Box(x, y, sx, sy, 7);
        BodyOf(floor)->SetStatic(true);
        return floor;
    }

    void Step(int steps = 1)
    {
        for (int i = 0; i < steps; ++i)
            PhysicsUpdate(kStep);
    }

    static Transform* TransformOf(const GameObject* object)
    {
        return object->GetComponentAs<Transform>(ComponentTypeId::kTransform);
    }
    static RigidBody* BodyOf(const GameObject* object)
    {
        return object->GetComponentAs<RigidBody>(ComponentTypeId::kRigidBody);
    }
    static Collider* ColliderOf(const GameObject* object)
    {
        return object->GetComponentAs<Collider>(ComponentTypeId::kCollider);
    }
    static Vector3 PositionOf(const GameObject* object) { return TransformOf(object)->GetTranslation(); }

    CollisionChecker& Checker()
    {
        return *static_cast<CollisionChecker*>(SystemManager::GetSystem(kCollisionCheckerSlot));
    }

    std::unique_ptr<GameObjectFactory> factory;
};

// A test fixture around a PhysicsWorld, with a recording debug sink.
class PhysicsTest : public ::testing::Test
{
  protected:
    RecordingDebugDraw recorder;
    PhysicsWorld world;
};
