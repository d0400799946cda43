#include "BallBounceScript.h"

#include "Event.h"
#include "GameObject.h"
#include "Light.h"
#include "ObjectAccess.h"
#include "ParticleComponent.h"
#include "QuietPrototype.h"
#include "RigidBody.h"
#include "SoundInstance.h"
#include "SoundSystem.h"
#include "StatUtilities.h"
#include "TypeIds.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr float kFullIntensitySpeed = 500.0f;
constexpr float kMaxIntensity = 0.9f;
constexpr float kParticlesPerRate = 4.0f;
// Far beyond any emitter's bound; only keeps the conversion defined for absurd rates.
constexpr float kMostParticles = 1000000.0f;
} // namespace

void SelectBounceSound(const std::string& name)
{
    CurrentBounceSound = SoundSystem::GetSoundInstance(name);
}

BallBounceScript::BallBounceScript(std::uint32_t ownerId)
    : Script(kScriptName, ScriptTypeId::kBallBounceScript, ownerId)
{
    RegisterQuietPrototype(*this);
}

BallBounceScript::BallBounceScript(const BallBounceScript& source) : Script(source) {}

BallBounceScript::~BallBounceScript()
{
    Unsubscribe(evBallBounce);
    Unsubscribe(evModuleLoaded);
}

std::unique_ptr<Script> BallBounceScript::Clone() const
{
    std::unique_ptr<BallBounceScript> copy(new BallBounceScript(*this));
    copy->Listen();
    SelectBounceSound(kBounceSound);
    return copy;
}

void BallBounceScript::Init()
{
    Listen();
    SelectBounceSound(kBounceSound);
}

void BallBounceScript::Exit()
{
    Unsubscribe(evBallBounce);
    Unsubscribe(evModuleLoaded);
}

void BallBounceScript::Listen()
{
    Subscribe(evBallBounce);
    Subscribe(evModuleLoaded);
}

void BallBounceScript::OnNotify(Event* event)
{
    if (const auto* bounce = dynamic_cast<const BallBounceEvent*>(event))
        OnBounce(bounce->velocity);
    else if (const auto* loaded = dynamic_cast<const ModuleLoadedEvent*>(event))
        OnModuleLoaded(*loaded);
}

void BallBounceScript::OnBounce(const Vector3& velocity)
{
    const float intensity =
        std::sqrt(velocity.x * velocity.x + velocity.y * velocity.y + velocity.z * velocity.z) /
        kFullIntensitySpeed;
    if (CurrentBounceSound != nullptr)
        CurrentBounceSound->SetParameter(intensity);

    GameObject* object = Live(owner);
    auto* particles = object != nullptr
                          ? object->GetComponentAs<ParticleComponent>(ComponentTypeId::kParticleComponent)
                          : nullptr;
    if (particles == nullptr)
        return;
    const float share = std::min(intensity, kMaxIntensity);
    const float count = share * share * (particles->GetEmitter().Settings().emissionRate * kParticlesPerRate);
    // NaN fails this test too, so a NaN bounce queues nothing.
    if (count >= 1.0f)
        particles->QueueParticles(static_cast<std::size_t>(std::min(count, kMostParticles)));
}

void BallBounceScript::OnModuleLoaded(const ModuleLoadedEvent& loaded)
{
    if (std::find(loaded.tags.begin(), loaded.tags.end(), kTagBall) == loaded.tags.end() ||
        loaded.newIds.empty())
        return;
    // Ball modules list the ball first.
    const GameObject* ball = Live(loaded.newIds.front());
    if (ball == nullptr)
        return;
    const RigidBody* body = GetRigidBody(ball);
    if (body != nullptr && body->GetGravityScale() > 0.0f)
        SelectBounceSound(kBalloonBounceSound);
    else if (ball->GetComponent(ComponentTypeId::kLight) != nullptr)
        SelectBounceSound(kLightBounceSound);
    else
        SelectBounceSound(kBounceSound);
}
