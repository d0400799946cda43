#include "DraggingCollisionScript.h"

#include "GameObject.h"
#include "ObjectAccess.h"
#include "QuietPrototype.h"
#include "RigidBody.h"
#include "StatUtilities.h"
#include "Transform.h"
#include "TypeIds.h"

DraggingCollisionScript::DraggingCollisionScript(std::uint32_t ownerId)
    : CollisionScript(kScriptName, ScriptTypeId::kDraggingCollisionScript, ownerId)
{
    RegisterQuietPrototype(*this);
}

std::unique_ptr<Script> DraggingCollisionScript::Clone() const
{
    return std::unique_ptr<Script>(new DraggingCollisionScript(*this));
}

void DraggingCollisionScript::OnCollision(std::uint32_t ownId, std::uint32_t otherId)
{
    GameObject* platform = Live(ownId);
    Transform* platformAt = TransformOf(platform);
    const RigidBody* body = GetRigidBody(platform);
    Transform* riderAt = TransformOf(Live(otherId));
    if (platformAt == nullptr || body == nullptr || riderAt == nullptr)
        return;
    // The motion system stores the previous position of static bodies too, so a moved platform shows here.
    const Vector3 moved = platformAt->GetTranslation() - body->GetPreviousPosition();
    Vector3 at = riderAt->GetTranslation();
    at.x += moved.x;
    at.y += moved.y;
    riderAt->SetTranslation(at);
}
