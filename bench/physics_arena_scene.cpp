#include "physics_arena_scene.h"

#include "BoxCollider.h"
#include "CircleCollider.h"
#include "EventManager.h"
#include "FrameRateManager.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "PhysicsPrototypes.h"
#include "Prototypes.h"
#include "QuadTree.h"
#include "RigidBody.h"
#include "SystemManager.h"
#include "Transform.h"
#include "TypeIds.h"

#include <cmath>
#include <random>

namespace
{
constexpr float kArenaWidth = 1920.0f;
constexpr float kArenaHeight = 480.0f;
constexpr std::int32_t kWood = 1;
constexpr std::int32_t kSuperBall = 5;
constexpr std::int32_t kStatic = 7;

// A float in [0, 1) that does not depend on the standard library's distributions.
float Unit(std::mt19937& random)
{
    return static_cast<float>(random() >> 8) * (1.0f / 16777216.0f);
}

GameObject* Place(GameObjectFactory& factory, float x, float y, float sx, float sy, float degrees)
{
    GameObject* object = factory.CreateObject();
    auto* transform = object->GetComponentAs<Transform>(ComponentTypeId::kTransform);
    transform->SetTranslation({x, y, 1.0f});
    transform->SetScale({sx, sy, 0.0f});
    transform->SetRotation(degrees);
    return object;
}

void AddWall(GameObjectFactory& factory, float x, float y, float sx, float sy)
{
    GameObject* wall = Place(factory, x, y, sx, sy, 0.0f);
    BoxCollider box(wall->id);
    wall->AddComponent(box);
    RigidBody body(wall->id, kStatic);
    body.SetStatic(true);
    wall->AddComponent(body);
}
} // namespace

ArenaScene::ArenaScene(int bodies, int wideColliders, std::uint32_t seed)
{
    EventManager::Reset();
    FrameRateManager::Reset();
    ResetPrototypes();
    QuadTree::Reset();
    factory = std::make_unique<GameObjectFactory>();
    factory->Init();
    RegisterPhysics();

    AddWall(*factory, 0.0f, -250.0f, 1920.0f, 20.0f);
    AddWall(*factory, 0.0f, 250.0f, 1920.0f, 20.0f);
    AddWall(*factory, -970.0f, 0.0f, 20.0f, 520.0f);
    AddWall(*factory, 970.0f, 0.0f, 20.0f, 520.0f);

    std::mt19937 random(seed);
    const float size =
        bodies > 0 ? 0.35f * std::sqrt(kArenaWidth * kArenaHeight / static_cast<float>(bodies)) : 0.0f;
    const float halfRoomX = kArenaWidth / 2.0f - size;
    const float halfRoomY = kArenaHeight / 2.0f - size;
    for (int i = 0; i < bodies; ++i)
    {
        const float x = (Unit(random) * 2.0f - 1.0f) * halfRoomX;
        const float y = (Unit(random) * 2.0f - 1.0f) * halfRoomY;
        const float heading = Unit(random) * 6.2831853f;
        const bool round = i % 2 == 1;
        GameObject* object = Place(*factory, x, y, size, size, round ? 0.0f : Unit(random) * 360.0f);
        if (round)
        {
            CircleCollider circle(object->id);
            object->AddComponent(circle);
        }
        else
        {
            BoxCollider box(object->id);
            object->AddComponent(box);
        }
        RigidBody body(object->id, round ? kSuperBall : kWood);
        body.SetGravityScale(0.0f);
        body.SetVelocity({2.0f * size * std::cos(heading), 2.0f * size * std::sin(heading), 0.0f});
        object->AddComponent(body);
        bodyIds.push_back(object->id);
    }

    for (int i = 0; i < wideColliders; ++i)
    {
        GameObject* wide = Place(*factory, 0.0f, 0.0f, 1900.0f, 470.0f, 0.0f);
        BoxCollider box(wide->id);
        box.SetResolution(false);
        wide->AddComponent(box);
    }
}

ArenaScene::~ArenaScene()
{
    factory->Exit();
    factory.reset();
    QuadTree::Reset();
    EventManager::Reset();
}

void ArenaScene::Step()
{
    PhysicsUpdate(1.0f / 60.0f);
}

const CollisionCounters& ArenaScene::Counters() const
{
    return static_cast<const CollisionChecker*>(SystemManager::GetSystem(kCollisionCheckerSlot))->Counters();
}

std::vector<float> ArenaScene::State() const
{
    std::vector<float> state;
    for (std::uint32_t id : bodyIds)
    {
        const GameObject* object = factory->GetObject(id);
        const auto* transform = object->GetComponentAs<Transform>(ComponentTypeId::kTransform);
        const auto* body = object->GetComponentAs<RigidBody>(ComponentTypeId::kRigidBody);
        const Vector3& position = transform->GetTranslation();
        const Vector3& velocity = body->GetVelocity();
        state.insert(state.end(), {position.x, position.y, transform->GetRotation(), velocity.x, velocity.y,
                                   body->GetAngularVelocity()});
    }
    return state;
}
