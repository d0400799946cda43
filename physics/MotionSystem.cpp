#include "MotionSystem.h"

#include "FrameRateManager.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "RigidBody.h"
#include "TimeManipulator.h"
#include "Transform.h"
#include "TypeIds.h"

#include <cmath>

MotionSystem* gMotionSystem = nullptr;

namespace
{
// Objects queued for destruction, hidden, or kept out of the physics step.
constexpr std::uint32_t kSkipFlags = kFlagQueuedForDestruction | kFlagHidden | kFlagNoPhysics;
// Angular damping in degrees, applied once per step and never clamped (3 becomes -5, then 3 again).
constexpr float kAngularDampingPerStep = 8.0f;

float FiniteOrZero(float value)
{
    return std::isfinite(value) ? value : 0.0f;
}
} // namespace

MotionSystem::MotionSystem() : System(kSystemName, {ComponentTypeId::kRigidBody, ComponentTypeId::kTransform})
{
    PublishOnce(gMotionSystem, this);
}

MotionSystem::~MotionSystem()
{
    UnpublishIfOwner(gMotionSystem, this);
}

void MotionSystem::Update(float dt)
{
    if (FrameRateManager::IsPaused() || gGameObjectFactory == nullptr)
        return;
    const auto members = MemberList();
    for (std::uint32_t id : *members)
        StepObject(id, dt);
}

void MotionSystem::StepObject(std::uint32_t id, float dt)
{
    GameObject* object = gGameObjectFactory->GetObject(id);
    if (object == nullptr || (object->flags & kSkipFlags) != 0)
        return;
    float t = dt;
    const auto* time = object->GetComponentAs<TimeManipulator>(ComponentTypeId::kTimeManipulator);
    if (time != nullptr && time->IsActive())
        t *= time->GetSpeed();
    auto* body = object->GetComponentAs<RigidBody>(ComponentTypeId::kRigidBody);
    auto* transform = object->GetComponentAs<Transform>(ComponentTypeId::kTransform);
    if (body == nullptr || transform == nullptr)
        return;

    if (body->GetStatic())
    {
        // Riders of a static platform read how far it moved since the last step.
        body->SetPreviousPosition(transform->GetTranslation());
        body->ClearForces();
        return;
    }

    // The body's owner is this object, so its scale is the one the body would look up at every call.
    const Vector3 scale = transform->GetScale();
    // Gravity through an impulse: the velocity changes by the gravity scale every step.
    body->ApplyImpulse({0.0f, body->ComputeMass(scale) * body->GetGravityScale(), 0.0f}, {0.0f, 0.0f, 0.0f},
                       scale);
    body->SetPreviousPosition(transform->GetTranslation());

    // Linear: velocity first, then the translation with the new velocity.
    const float inverseMass = body->ComputeInverseMass(scale);
    Vector3 velocity = body->GetVelocity() + body->GetForce() * inverseMass * t;
    velocity = {FiniteOrZero(velocity.x), FiniteOrZero(velocity.y), FiniteOrZero(velocity.z)};
    Vector3 translation = transform->GetTranslation() + velocity * t;

    // Angular: the rotation turns even when the body cannot rotate; only the stored speed stays.
    const float inverseInertia = body->ComputeInertia(scale);
    float w = FiniteOrZero(body->GetAngularVelocity() + body->GetTorque() * inverseInertia * t);
    if (w > 0.0f)
        w -= kAngularDampingPerStep;
    else if (w < 0.0f)
        w += kAngularDampingPerStep;
    const float rotation = transform->GetRotation() + w * t;
    if (body->GetCanRotate())
        body->SetAngularVelocity(w);

    body->SetVelocity(velocity);
    if (std::isnan(translation.x))
        translation.x = 0.0f;
    if (std::isnan(translation.y))
        translation.y = 0.0f;
    transform->SetTranslation(translation);
    if (std::isfinite(rotation))
        transform->SetRotation(rotation);
    body->ClearForces();
}
