#include "PlayerStates.h"

#include "CCSM.h"
#include "ObjectAccess.h"
#include "RigidBody.h"

namespace
{
constexpr float kFallingSpeed = -100.0f;
}

std::unique_ptr<State> StateOnGround::Clone(const std::string& contextName) const
{
    auto copy = std::make_unique<StateOnGround>(*this);
    copy->TakeContext(contextName);
    return copy;
}

void StateOnGround::Update(float)
{
    const RigidBody* body = GetRigidBody(OwnerObject(owner));
    if (body != nullptr && body->GetVelocity().y < kFallingSpeed)
        owner->PushState(kStateInAir);
}

std::unique_ptr<State> StateInAir::Clone(const std::string& contextName) const
{
    auto copy = std::make_unique<StateInAir>(*this);
    copy->TakeContext(contextName);
    return copy;
}
