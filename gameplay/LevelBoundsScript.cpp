#include "LevelBoundsScript.h"

#include "GameObject.h"
#include "GameStats.h"
#include "ObjectAccess.h"
#include "QuietPrototype.h"
#include "RigidBody.h"
#include "StatNames.h"
#include "StatUtilities.h"
#include "Transform.h"
#include "TypeIds.h"

LevelBoundsScript::LevelBoundsScript(std::uint32_t ownerId)
    : CollisionScript(kScriptName, ScriptTypeId::kLevelBoundsScript, ownerId)
{
    RegisterQuietPrototype(*this);
}

std::unique_ptr<Script> LevelBoundsScript::Clone() const
{
    return std::make_unique<LevelBoundsScript>(*this);
}

void LevelBoundsScript::OnCollision(std::uint32_t, std::uint32_t otherId)
{
    GameObject* other = Live(otherId);
    if (other == nullptr || (other->tag != kTagPlayer && other->tag != kTagBall))
        return;
    GameStats* stats = StatsOf(other);
    if (stats == nullptr)
        return;
    const Vector3 spawn{stats->GetStat(kStatGoalSpawnX), stats->GetStat(kStatGoalSpawnY), 1.0f};
    if (Transform* transform = TransformOf(other))
    {
        transform->SetTranslation(spawn);
        transform->MarkDirty();
        other->SetDirty(true);
    }
    if (RigidBody* body = GetRigidBody(other))
    {
        body->SetVelocity({0.0f, 0.0f, 0.0f});
        if (body->GetCanRotate())
            body->SetAngularVelocity(0.0f);
    }
}
