#include "BallStates.h"

#include "CCSM.h"
#include "GameObject.h"
#include "GameStats.h"
#include "InputSystem.h"
#include "ObjectAccess.h"
#include "RigidBody.h"
#include "StatNames.h"
#include "StatUtilities.h"
#include "Transform.h"

#include <cmath>

namespace
{
// Kept from the tuned game: not quite pi / 180.
constexpr double kHoldingRadiansPerDegree = 0.017453277777777776;
constexpr double kDegreesPerRadian = 57.29577951308232;
constexpr float kRestThrowAngle = 30.0f;
constexpr float kHeldDepth = 1.0f;
} // namespace

float ThrowAngleFromStick(float stickX, float stickY)
{
    // Straight up or down by the sign of y: atan of an infinite slope, spelled out so that no compiler
    // setting can change it.
    const double a = stickX == 0.0f ? (stickY > 0.0f ? 90.0 : -90.0)
                                    : std::atan(static_cast<double>(stickY) / stickX) * kDegreesPerRadian;
    const bool right = stickX >= 0.0f;
    if (a > 15.0 && a <= 45.0)
        return right ? -30.0f : 150.0f;
    if (a > 45.0 && a <= 100.0)
        return right ? -60.0f : 120.0f;
    if (a >= -45.0 && a < -15.0)
        return right ? 30.0f : -150.0f;
    if (a >= -100.0 && a < -45.0)
        return right ? 60.0f : -120.0f;
    return right ? 0.0f : 180.0f;
}

Vector2 RightStickOf(const std::string& playerName)
{
    int slot = -1;
    if (playerName == "Player 1")
        slot = 0;
    else if (playerName == "Player 2")
        slot = 1;
    if (slot < 0 || gInputSystem == nullptr)
        return {0.0f, 0.0f};
    return gInputSystem->controllers[slot].GetRightStick();
}

std::unique_ptr<State> StateGrabbed::Clone(const std::string& contextName) const
{
    auto copy = std::make_unique<StateGrabbed>(*this);
    copy->TakeContext(contextName);
    return copy;
}

void StateGrabbed::Hold(std::uint32_t holderId, std::uint32_t heldId)
{
    holder = holderId;
    held = heldId;
}

std::uint32_t StateGrabbed::GetHolder() const
{
    return Live(holder) != nullptr ? holder : 0;
}

void StateGrabbed::Exit(StateId)
{
    GameObject* holderObject = Live(holder);
    GameObject* ball = Live(held);
    if (holderObject != nullptr && ball != nullptr)
    {
        if (RigidBody* body = GetRigidBody(ball))
            body->SetStatic(false);
    }
    held = 0;
    SetStatIfPresent(StatsOf(holderObject), kStatGrabbedObject, 0.0f);
    holder = 0;
}

void StateGrabbed::Update(float)
{
    GameObject* holderObject = Live(holder);
    GameObject* ball = Live(held);
    Transform* holderTransform = TransformOf(holderObject);
    Transform* ballTransform = TransformOf(ball);
    GameStats* holderStats = StatsOf(holderObject);
    if (holderTransform == nullptr || ballTransform == nullptr || holderStats == nullptr)
        return;
    RigidBody* body = GetRigidBody(ball);
    if (body != nullptr)
        body->SetStatic(true);

    const Vector3 at = holderTransform->GetTranslation();
    // Absent, the distance is 0: the ball sits inside its holder.
    const float distance = TryGetStat(holderStats, kStatHoldingDistance).value_or(0.0f);
    const Vector2 stick = RightStickOf(holderObject->name);
    bool moved = false;
    if (stick.x != 0.0f || stick.y != 0.0f)
    {
        const float throwAngle = ThrowAngleFromStick(stick.x, stick.y);
        holderStats->SetStat(kStatThrowAngle, throwAngle);
        float holdAngle = throwAngle;
        // On the ground the ball is held level rather than below the player.
        if (TopIs(MachineOf(holderObject), kStateOnGround) && throwAngle < 0.0f)
            holdAngle = throwAngle > -90.0f ? 0.0f : 180.0f;
        const double radians = holdAngle * kHoldingRadiansPerDegree;
        ballTransform->SetTranslation({at.x + distance * static_cast<float>(std::cos(radians)),
                                       at.y + distance * static_cast<float>(std::sin(radians)), kHeldDepth});
        moved = true;
    }
    else
    {
        if (const auto orientation = TryGetStat(holderStats, kStatOrientation))
        {
            const float side = *orientation != 0.0f ? distance : -distance;
            ballTransform->SetTranslation({at.x + side, at.y, kHeldDepth});
            moved = true;
        }
        holderStats->SetStat(kStatThrowAngle, kRestThrowAngle);
    }
    if (!moved)
        return;
    ballTransform->MarkDirty();
    ball->SetDirty(true);
    if (body != nullptr)
        body->SetVelocity({0.0f, 0.0f, 0.0f});
}

std::unique_ptr<State> StateUnGrabbed::Clone(const std::string& contextName) const
{
    auto copy = std::make_unique<StateUnGrabbed>(*this);
    copy->TakeContext(contextName);
    return copy;
}
