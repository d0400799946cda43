#include "PlayerScript.h"

#include "BehaviorInput.h"
#include "CCSM.h"
#include "GameObject.h"
#include "GameStats.h"
#include "MenuHooks.h"
#include "ObjectAccess.h"
#include "Prototypes.h"
#include "RigidBody.h"
#include "StatNames.h"
#include "StatUtilities.h"
#include "TypeIds.h"

#include <cmath>

namespace
{
constexpr int kActionUp = 0;
constexpr int kActionLeft = 2;
constexpr int kActionRight = 3;
constexpr int kActionJump = 4;
constexpr int kActionGrab = 5;
// A knock-back given without a duration lasts one second per 10^7 of impulse.
constexpr float kImpulsePerSecond = 10000000.0f;
} // namespace

PlayerScript::PlayerScript(std::uint32_t ownerId) : Script(kScriptName, ScriptTypeId::kPlayerScript, ownerId)
{
    RegisterScriptPrototype(*this);
}

PlayerScript::PlayerScript(const PlayerScript& source) : Script(source) {}

std::unique_ptr<Script> PlayerScript::Clone() const
{
    return std::unique_ptr<Script>(new PlayerScript(*this));
}

void PlayerScript::Update(float dt)
{
    if (!(dt > 0.0f) || MenuHooks::AnyOpen())
        return;
    if (knockbackTime > 0.0f)
    {
        knockbackTime -= dt;
        return;
    }

    GameObject* object = ObjectOf(owner);
    if (object == nullptr)
        return;
    const auto* input = object->GetComponentAs<BehaviorInput>(ComponentTypeId::kBehaviorInput);
    CCSM* machine = MachineOf(object);
    RigidBody* body = GetRigidBody(object);
    // Commands handed in below only queue, so this is still the body's velocity when the fall speed acts.
    const Vector3 velocity = body != nullptr ? body->GetVelocity() : Vector3{};
    if (input == nullptr || machine == nullptr || machine->GetTopState() == nullptr)
        return;
    GameStats* stats = StatsOf(object);

    bool jumped = false;
    if (input->IsActionTriggered(kActionUp) || input->IsActionTriggered(kActionJump))
    {
        const bool movedUp = machine->HandleCommand(kCommandMoveUp);
        const bool jumpAccepted = machine->HandleCommand(kCommandJump);
        jumped = movedUp || jumpAccepted;
    }

    const bool left = input->IsActionHeld(kActionLeft);
    const bool right = input->IsActionHeld(kActionRight);
    if (left && right)
    {
        machine->HandleCommand(kCommandStopMoving);
        if (!jumped)
            machine->HandleCommand(kCommandStopMoving);
    }
    else if (left)
    {
        machine->HandleCommand(kCommandMoveLeft);
        SetStatIfPresent(stats, kStatOrientation, 0.0f);
    }
    else if (right)
    {
        machine->HandleCommand(kCommandMoveRight);
        SetStatIfPresent(stats, kStatOrientation, 1.0f);
    }
    else if (!jumped)
    {
        machine->HandleCommand(kCommandStopMoving);
    }

    if (input->IsActionTriggered(kActionGrab))
    {
        if (const auto held = TryGetStat(stats, kStatGrabbedObject))
            machine->HandleCommand(*held > 0.0f ? kCommandThrow : kCommandGrab);
    }

    const auto fallSpeed = TryGetStat(stats, kStatFallSpeed);
    if (fallSpeed && body != nullptr && TopIs(machine, kStateInAir))
        body->SetVelocity({velocity.x, velocity.y - *fallSpeed, velocity.z});
}

void PlayerScript::Knockback(const Vector3& impulse, float duration)
{
    if (RigidBody* body = GetRigidBody(ObjectOf(owner)))
        body->AddForce(impulse);
    knockbackTime = duration == 0.0f
                        ? std::sqrt(impulse.x * impulse.x + impulse.y * impulse.y + impulse.z * impulse.z) /
                              kImpulsePerSecond
                        : duration;
}
