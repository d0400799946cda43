#include "GoalCollisionScript.h"

#include "CCSM.h"
#include "Event.h"
#include "GameObject.h"
#include "GameStats.h"
#include "ObjectAccess.h"
#include "ParticleComponent.h"
#include "QuietPrototype.h"
#include "StatNames.h"
#include "StatUtilities.h"
#include "TypeIds.h"

namespace
{
constexpr float kFlareRate = 10.0f;
constexpr float kFlareLife = 2.5f;

ParticleComponent* ParticlesOf(const GameObject* object)
{
    return object != nullptr ? object->GetComponentAs<ParticleComponent>(ComponentTypeId::kParticleComponent)
                             : nullptr;
}
} // namespace

GoalCollisionScript::GoalCollisionScript(std::uint32_t ownerId)
    : CollisionScript(kScriptName, ScriptTypeId::kGoalCollisionScript, ownerId)
{
    RegisterQuietPrototype(*this);
}

GoalCollisionScript::GoalCollisionScript(const GoalCollisionScript& source) : CollisionScript(source) {}

std::unique_ptr<Script> GoalCollisionScript::Clone() const
{
    return std::unique_ptr<Script>(new GoalCollisionScript(*this));
}

void GoalCollisionScript::OnCollision(std::uint32_t ownId, std::uint32_t otherId)
{
    GameObject* other = Live(otherId);
    if (other == nullptr)
        return;
    if (other->tag == kTagPlayer)
    {
        GameStats* stats = StatsOf(other);
        // A holder throws at once; the held ball is static like the goal, so it scores after the throw.
        if (stats != nullptr && stats->GetStat(kStatGrabbedObject) != 0.0f)
        {
            if (CCSM* machine = MachineOf(other))
                machine->HandleCommand(kCommandThrow);
            return;
        }
    }
    GameObject* goal = Live(ownId);
    GameStats* goalStats = StatsOf(goal);
    if (other->tag != kTagBall || goal == nullptr || goal->tag != kTagGoal || goalStats == nullptr)
        return;
    if (const auto side = TryGetStat(goalStats, kStatPlayerAffiliation))
    {
        GoalScoreEvent scored(*side);
        Send(scored);
    }
    if (CCSM* machine = MachineOf(Live(otherId)))
        machine->HandleCommand(kCommandScore);
    if (ParticleComponent* particles = ParticlesOf(Live(ownId)))
        Flare(*particles);
}

void GoalCollisionScript::Flare(ParticleComponent& particles)
{
    if (restingRate < 0.0f)
    {
        restingRate = particles.GetEmitter().Settings().emissionRate;
        restingLife = particles.GetEmitter().Settings().maxLife;
    }
    // A second goal flares from the resting values, not from a flare still settling.
    particles.SetEmissionRate(kFlareRate * restingRate);
    particles.SetMaxLife(kFlareLife * restingLife);
}

void GoalCollisionScript::Update(float dt)
{
    ParticleComponent* particles = ParticlesOf(Live(owner));
    if (particles == nullptr || restingRate < 0.0f)
        return;
    const float currentRate = particles->GetEmitter().Settings().emissionRate;
    particles->SetEmissionRate((1.0f - dt) * currentRate + dt * restingRate);
    const float currentLife = particles->GetEmitter().Settings().maxLife;
    particles->SetMaxLife((dt / 2.0f) * restingLife + (1.0f - dt / 2.0f) * currentLife);
}
