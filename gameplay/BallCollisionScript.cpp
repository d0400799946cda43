#include "BallCollisionScript.h"

#include "Event.h"
#include "GameObject.h"
#include "GameStats.h"
#include "ObjectAccess.h"
#include "PlayerScript.h"
#include "QuietPrototype.h"
#include "RigidBody.h"
#include "SoundChannel.h"
#include "SoundInstance.h"
#include "SoundSystem.h"
#include "StatNames.h"
#include "StatUtilities.h"
#include "Transform.h"
#include "TypeIds.h"

#include <cmath>

namespace
{
constexpr const char* kStealSound = "BallSteal";
constexpr float kBounceSpeed = 20.0f;
constexpr float kBounceMove = 0.1f;
constexpr float kKnockbackPerMomentum = 25.0f;

float Length(const Vector3& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}
} // namespace

BallCollisionScript::BallCollisionScript(std::uint32_t ownerId)
    : CollisionScript(kScriptName, ScriptTypeId::kBallCollisionScript, ownerId)
{
    RegisterQuietPrototype(*this);
}

BallCollisionScript::BallCollisionScript(const BallCollisionScript& source) : CollisionScript(source) {}

std::unique_ptr<Script> BallCollisionScript::Clone() const
{
    return std::unique_ptr<Script>(new BallCollisionScript(*this));
}

void BallCollisionScript::OnCollision(std::uint32_t ownId, std::uint32_t otherId)
{
    const GameObject* other = Live(otherId);
    if (Live(ownId) == nullptr || other == nullptr)
        return;
    if (other->tag == kTagPlatform || other->tag == kTagGoal || other->tag == kTagSideWall)
        HitSurface(ownId);
    else if (other->tag == kTagPlayer)
        HitPlayer(ownId, otherId);
}

void BallCollisionScript::HitSurface(std::uint32_t ballId)
{
    GameObject* ball = Live(ballId);
    const RigidBody* body = GetRigidBody(ball);
    const Transform* transform = TransformOf(ball);
    if (body != nullptr && transform != nullptr && !body->GetStatic() &&
        Length(body->GetVelocity()) > kBounceSpeed)
    {
        const Vector3 before = body->GetPreviousPosition();
        const Vector3 now = transform->GetTranslation();
        if (Length(before - now) > kBounceMove && std::fabs(before.y - now.y) > kBounceMove)
        {
            BallBounceEvent bounce(body->GetVelocity());
            Send(bounce);
        }
    }
    if (GameStats* stats = StatsOf(Live(ballId)))
        stats->SetStat(kStatGivesKnockback, 0.0f);
}

void BallCollisionScript::HitPlayer(std::uint32_t ballId, std::uint32_t playerId)
{
    auto* player = Live(playerId)->GetScriptAs<PlayerScript>(ScriptTypeId::kPlayerScript);
    GameStats* stats = StatsOf(Live(ballId));
    if (player == nullptr || stats == nullptr || stats->GetStat(kStatGivesKnockback) == 0.0f)
        return;
    if (!StealStillSounding())
        stealChannel = SoundSystem::PlaySound(kStealSound);

    GameObject* ball = Live(ballId);
    RigidBody* body = GetRigidBody(ball);
    const Transform* transform = TransformOf(ball);
    if (body == nullptr || transform == nullptr)
        return;
    const float mass = transform->GetScale().x * body->GetDensity() * transform->GetScale().y;
    player->Knockback(body->GetVelocity() * (kKnockbackPerMomentum * mass), 0.0f);
    body->SetVelocity({0.0f, 0.0f, 0.0f});
}

bool BallCollisionScript::StealStillSounding() const
{
    if (stealChannel == nullptr)
        return false;
    // The sound's channels may have been freed since (a bank reload): only a channel it still owns counts.
    const SoundInstance* sound = SoundSystem::GetSoundInstance(kStealSound);
    return sound != nullptr && sound->channels.count(stealChannel) != 0 && stealChannel->IsPlaying();
}
