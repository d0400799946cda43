#include "BallCommands.h"

#include "BallStates.h"
#include "CCSM.h"
#include "Event.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStats.h"
#include "ObjectAccess.h"
#include "PlayerScript.h"
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
// The vertical reach test allows this much more than the horizontal one, but the strict test on both
// that follows it makes it dead; kept as the game has it.
constexpr float kVerticalReach = 1.5f;
constexpr float kStealImpulse = 5000000.0f;
constexpr float kStealSeconds = 0.5f;
constexpr float kThrowForcePerPower = 15000.0f;
// Kept from the tuned game: not quite pi / 180.
constexpr float kThrowRadiansPerDegree = 0.017444445f;

// The ball's Grabbed state when it can be grabbed at all: the ball needs a Transform and a machine that
// has state 3.
StateGrabbed* GrabbedStateOf(const GameObject* ball)
{
    const CCSM* machine = MachineOf(ball);
    if (machine == nullptr || TransformOf(ball) == nullptr)
        return nullptr;
    return dynamic_cast<StateGrabbed*>(machine->GetState(kStateGrabbed));
}

// The last ball in id order that the grabber reaches, or null.
GameObject* BallInReach(const Vector3& at, float range)
{
    GameObject* chosen = nullptr;
    for (GameObject* ball : gGameObjectFactory->GetObjectsWithTag(kTagBall))
    {
        if (GrabbedStateOf(ball) == nullptr)
            continue;
        const Vector3 ballAt = TransformOf(ball)->GetTranslation();
        const float dx = std::fabs(at.x - ballAt.x);
        const float dy = std::fabs(at.y - ballAt.y);
        if (range >= dx && range * kVerticalReach >= dy && range > dx && range > dy)
            chosen = ball;
    }
    return chosen;
}

// Knocks the old holder away from the thief, to the side the thief faces.
void KnockBackVictim(std::uint32_t victimId, const GameStats& thiefStats)
{
    GameObject* victim = Live(victimId);
    auto* script =
        victim != nullptr ? victim->GetScriptAs<PlayerScript>(ScriptTypeId::kPlayerScript) : nullptr;
    const auto orientation = TryGetStat(&thiefStats, kStatOrientation);
    if (script == nullptr || !orientation)
        return;
    const float x = *orientation == 1.0f ? kStealImpulse : -kStealImpulse;
    script->Knockback({x, kStealImpulse, 0.0f}, kStealSeconds);
}

// The ball a thrower may throw: a live ball whose top is Grabbed with this thrower as holder.
GameObject* HeldBall(float grabbedObject, std::uint32_t throwerId)
{
    GameObject* ball = Live(IdFromStat(grabbedObject));
    if (ball == nullptr || ball->tag != kTagBall)
        return nullptr;
    CCSM* machine = MachineOf(ball);
    const auto* grabbed =
        machine != nullptr ? dynamic_cast<const StateGrabbed*>(machine->GetTopState()) : nullptr;
    return grabbed != nullptr && grabbed->GetHolder() == throwerId ? ball : nullptr;
}
} // namespace

std::int32_t CommandGrab::Execute(float)
{
    GameObject* grabber = OwnerObject(owner);
    GameStats* stats = StatsOf(grabber);
    Transform* transform = TransformOf(grabber);
    if (stats == nullptr || transform == nullptr || gGameObjectFactory == nullptr)
        return kFinished;
    const float range = stats->GetStat(kStatGrabRange) * transform->GetScale().x;
    GameObject* ball = BallInReach(transform->GetTranslation(), range);
    if (ball == nullptr)
        return kFinished;
    const std::uint32_t grabberId = grabber->id;
    const std::uint32_t ballId = ball->id;

    if (GameStats* ballStats = StatsOf(ball))
        ballStats->SetStat(kStatGivesKnockback, 0.0f);
    CCSM* ballMachine = MachineOf(ball);
    if (TopIs(ballMachine, kStateGrabbed))
    {
        const auto* grabbed = static_cast<const StateGrabbed*>(ballMachine->GetTopState());
        KnockBackVictim(grabbed->GetHolder(), *stats);
        BallStolenEvent stolen;
        Send(stolen);
        // Grabbed's Exit frees the old holder.
        ballMachine = MachineOf(Live(ballId));
        if (ballMachine == nullptr)
            return kFinished;
        ballMachine->PopState();
    }
    ballMachine = MachineOf(Live(ballId));
    if (ballMachine == nullptr)
        return kFinished;
    ballMachine->PushState(kStateGrabbed);
    if (auto* grabbed = dynamic_cast<StateGrabbed*>(ballMachine->GetTopState()))
        grabbed->Hold(grabberId, ballId);
    if (GameStats* grabberStats = StatsOf(Live(grabberId)))
        grabberStats->SetStat(kStatGrabbedObject, static_cast<float>(ballId));
    BallGrabEvent grabbedEvent;
    Send(grabbedEvent);
    return kFinished;
}

std::int32_t CommandThrow::Execute(float)
{
    GameObject* thrower = OwnerObject(owner);
    if (thrower == nullptr)
        return kFinished;
    GameStats* stats = StatsOf(thrower);
    const auto grabbedObject = TryGetStat(stats, kStatGrabbedObject);
    if (!grabbedObject)
        return kRunAgain;
    const std::uint32_t throwerId = thrower->id;

    // A ball destroyed or replaced while held never released its holder: then only the stat is cleared.
    if (GameObject* ball = HeldBall(*grabbedObject, throwerId))
    {
        const std::uint32_t ballId = ball->id;
        MachineOf(ball)->PushState(kStateUnGrabbed);
        ball = Live(ballId);
        RigidBody* body = GetRigidBody(ball);
        if (body != nullptr)
            body->SetStatic(false);
        if (GameStats* ballStats = StatsOf(ball))
            ballStats->SetStat(kStatGivesKnockback, 1.0f);
        stats = StatsOf(Live(throwerId));
        if (const auto angle = TryGetStat(stats, kStatThrowAngle))
        {
            const float radians = *angle * kThrowRadiansPerDegree;
            const float power = stats->GetStat(kStatThrowPower) * kThrowForcePerPower;
            float fx = std::cos(radians) * power;
            const float fy = std::sin(radians) * power;
            const Vector2 stick = RightStickOf(thrower->name);
            const bool aimed = stick.x != 0.0f || stick.y != 0.0f;
            // The rest angle points right; a player facing left throws mirrored.
            if (!aimed && TryGetStat(stats, kStatOrientation).value_or(0.0f) == 0.0f)
                fx = -fx;
            if (body != nullptr)
                body->AddForce({fx, fy, 0.0f});
        }
        BallDropEvent dropped;
        Send(dropped);
    }
    if (GameStats* throwerStats = StatsOf(Live(throwerId)))
        throwerStats->SetStat(kStatGrabbedObject, 0.0f);
    return kFinished;
}

std::int32_t ScoreCommand::Execute(float)
{
    const State* top = owner->GetTopState();
    if (top == nullptr || top->GetId() == kStateUnGrabbed)
        return kFinished;
    owner->PopState();
    owner->PushState(kStateUnGrabbed);
    return kFinished;
}
