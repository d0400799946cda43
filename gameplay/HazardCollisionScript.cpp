#include "HazardCollisionScript.h"

#include "BehaviorIds.h"
#include "CCSM.h"
#include "DestructableScript.h"
#include "GameObject.h"
#include "GameStats.h"
#include "ObjectAccess.h"
#include "QuietPrototype.h"
#include "SoundSystem.h"
#include "StatNames.h"
#include "StatUtilities.h"
#include "TypeIds.h"

namespace
{
constexpr const char* kBurnSound = "LavaBurn";

// Lets go of the ball the object holds: only the ball its stat names, and only while that ball is
// really held, so a stale id never pops another object's state or a ball's only state.
void DropHeldBall(std::uint32_t holderId)
{
    GameStats* stats = StatsOf(Live(holderId));
    const auto held = TryGetStat(stats, kStatGrabbedObject);
    if (!held || *held == 0.0f)
        return;
    GameObject* ball = Live(IdFromStat(*held));
    CCSM* machine = MachineOf(ball);
    if (ball != nullptr && ball->tag == kTagBall && TopIs(machine, kStateGrabbed) &&
        machine->GetStateStack().size() > 1)
        machine->PopState();
    // The pop runs the ball's state code, which may have changed the holder: look its stats up again.
    if (GameStats* after = StatsOf(Live(holderId)))
        after->SetStat(kStatGrabbedObject, 0.0f);
}

// A ball in the lava drops back to being free.
void FreeBall(GameObject& ball)
{
    CCSM* machine = MachineOf(&ball);
    if (machine == nullptr)
        return;
    machine->PopState();
    machine->PushState(kStateUnGrabbed);
}
} // namespace

HazardCollisionScript::HazardCollisionScript(std::uint32_t ownerId)
    : CollisionScript(kScriptName, ScriptTypeId::kHazardCollisionScript, ownerId)
{
    RegisterQuietPrototype(*this);
}

std::unique_ptr<Script> HazardCollisionScript::Clone() const
{
    return std::unique_ptr<Script>(new HazardCollisionScript(*this));
}

void HazardCollisionScript::OnCollision(std::uint32_t, std::uint32_t otherId)
{
    if (StatsOf(Live(otherId)) == nullptr)
        return;
    DropHeldBall(otherId);
    GameObject* other = Live(otherId);
    DestructableScript* burn = other != nullptr
                                   ? other->GetScriptAs<DestructableScript>(ScriptTypeId::kDestructableScript)
                                   : nullptr;
    if (burn == nullptr)
        return;
    // Every contact plays the sound; the burn itself starts only once per fall.
    burn->SetBurnChannel(SoundSystem::PlaySound(kBurnSound));
    other = Live(otherId);
    if (other != nullptr && other->tag == kTagBall)
        FreeBall(*other);
}
