#include "PlayerCommands.h"

#include "BehaviorInput.h"
#include "CCSM.h"
#include "Event.h"
#include "GameObject.h"
#include "GameStats.h"
#include "ObjectAccess.h"
#include "Renderer.h"
#include "RigidBody.h"
#include "StatNames.h"
#include "StatUtilities.h"
#include "Transform.h"
#include "TypeIds.h"

#include <cmath>

namespace
{
constexpr std::int32_t kFinished = 1;
constexpr std::int32_t kRunAgain = 2;
constexpr int kJumpAction = 4;
// A held jump keeps rising up to this many body heights above the take-off.
constexpr float kJumpHeightInBodies = 3.0f;
constexpr float kHeavyDensity = 2.0f;
constexpr float kLightDensity = 0.2f;

// One run of MoveLeft (direction -1) or MoveRight (+1).
std::int32_t RunMove(const CCSM* machine, float direction)
{
    GameObject* object = OwnerObject(machine);
    if (object == nullptr)
        return kRunAgain;
    GameStats* stats = StatsOf(object);
    RigidBody* body = GetRigidBody(object);
    if (stats == nullptr || body == nullptr)
        return kFinished;

    float speed = stats->GetStat(kStatMovementSpeed);
    if (const auto holdingSpeed = TryGetStat(stats, kStatSpeedWhenHoldingBall))
    {
        // NaN counts as holding: only an exact 0 means empty hands.
        if (TryGetStat(stats, kStatGrabbedObject).value_or(0.0f) != 0.0f)
            speed = *holdingSpeed;
    }
    if (Renderer* sprite = GetRenderer(*object))
        sprite->flip = direction < 0.0f;

    Vector3& velocity = body->GetVelocity();
    const auto acceleration = TryGetStat(stats, kStatMovementAcceleration);
    const auto deceleration = TryGetStat(stats, kStatMovementDeceleration);
    if (acceleration && deceleration)
    {
        // Works on the magnitude whatever the direction, so turning round keeps the speed; a step may
        // overshoot the top speed once and the next run brakes back.
        float magnitude = std::fabs(velocity.x);
        if (speed > magnitude)
            magnitude += *acceleration;
        else if (magnitude > speed)
            magnitude -= *deceleration;
        velocity.x = direction * magnitude;
    }
    else
    {
        velocity.x = direction * speed;
    }
    return kFinished;
}

std::int32_t SetVerticalSpeed(const CCSM* machine, float direction)
{
    GameObject* object = OwnerObject(machine);
    GameStats* stats = StatsOf(object);
    RigidBody* body = GetRigidBody(object);
    if (stats != nullptr && body != nullptr)
        body->GetVelocity().y = direction * stats->GetStat(kStatMovementSpeed);
    return kFinished;
}

std::int32_t SetDensity(const CCSM* machine, float density)
{
    if (RigidBody* body = GetRigidBody(OwnerObject(machine)))
        body->SetDensity(density, body->GetRestitution());
    return kFinished;
}
} // namespace

std::int32_t CommandMoveLeft::Execute(float)
{
    return RunMove(owner, -1.0f);
}

std::int32_t CommandMoveRight::Execute(float)
{
    return RunMove(owner, 1.0f);
}

std::int32_t CommandMoveUp::Execute(float)
{
    return SetVerticalSpeed(owner, 1.0f);
}

std::int32_t CommandMoveDown::Execute(float)
{
    return SetVerticalSpeed(owner, -1.0f);
}

std::int32_t CommandStopMoving::Execute(float)
{
    GameObject* object = OwnerObject(owner);
    if (object == nullptr)
        return kRunAgain;
    RigidBody* body = GetRigidBody(object);
    if (body == nullptr)
        return kFinished;
    float& vx = body->GetVelocity().x;
    const auto deceleration = TryGetStat(StatsOf(object), kStatMovementDeceleration);
    if (!deceleration || !(std::fabs(vx) > *deceleration))
        vx = 0.0f;
    else
        vx += vx > 0.0f ? -*deceleration : *deceleration;
    return kFinished;
}

std::int32_t CommandJump::Execute(float)
{
    GameObject* object = OwnerObject(owner);
    GameStats* stats = StatsOf(object);
    RigidBody* body = GetRigidBody(object);
    Transform* transform = TransformOf(object);
    if (stats == nullptr || body == nullptr || transform == nullptr)
        return kFinished;

    const float speed = stats->GetStat(kStatJumpSpeed);
    body->GetVelocity().y = speed;
    const float height = transform->GetTranslation().y;
    maxHeight = height + kJumpHeightInBodies * transform->GetScale().y;
    jumpVelocity = speed;
    lastHeight = height;
    // InAir refuses Jump, so this push turns this very command to Cancel: the hold rule from next update.
    owner->PushState(kStateInAir);
    PlayerJumpEvent jumped;
    Send(jumped);
    return 0;
}

std::int32_t CommandJump::Cancel(float)
{
    GameObject* object = OwnerObject(owner);
    RigidBody* body = GetRigidBody(object);
    Transform* transform = TransformOf(object);
    const auto* input =
        object != nullptr ? object->GetComponentAs<BehaviorInput>(ComponentTypeId::kBehaviorInput) : nullptr;
    if (body == nullptr || transform == nullptr)
        return kFinished;
    const float height = transform->GetTranslation().y;
    if (!(lastHeight < height))
        return kFinished;
    if (input == nullptr || !input->IsActionHeld(kJumpAction))
        return kFinished;
    if (!(maxHeight > height))
        return kFinished;
    body->GetVelocity().y = jumpVelocity;
    lastHeight = height;
    return 0;
}

std::int32_t MakeHeavyCommand::Execute(float)
{
    return SetDensity(owner, kHeavyDensity);
}

std::int32_t MakeLightCommand::Execute(float)
{
    return SetDensity(owner, kLightDensity);
}
