#include "LandingScript.h"

#include "CCSM.h"
#include "GameObject.h"
#include "ObjectAccess.h"
#include "QuietPrototype.h"
#include "StatUtilities.h"
#include "TypeIds.h"

LandingScript::LandingScript(std::uint32_t ownerId)
    : CollisionScript(kScriptName, ScriptTypeId::kLandingScript, ownerId)
{
    RegisterQuietPrototype(*this);
}

std::unique_ptr<Script> LandingScript::Clone() const
{
    return std::make_unique<LandingScript>(*this);
}

void LandingScript::OnCollision(std::uint32_t ownId, std::uint32_t otherId)
{
    const GameObject* self = Live(ownId);
    const GameObject* other = Live(otherId);
    if (self == nullptr || other == nullptr || self->tag != kTagPlayer || other->tag >= kTagGoal)
        return;
    CCSM* machine = MachineOf(self);
    if (TopIs(machine, kStateInAir))
        machine->ChangeState(kStateOnGround);
}
