#include "DestructableScript.h"

#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStats.h"
#include "Light.h"
#include "ObjectAccess.h"
#include "QuietPrototype.h"
#include "RigidBody.h"
#include "SoundChannel.h"
#include "SoundSystem.h"
#include "StatNames.h"
#include "StatUtilities.h"
#include "Transform.h"
#include "TypeIds.h"

#include <cmath>

namespace
{
constexpr const char* kRespawnSound = "PlayerRespawn";
constexpr Vector2 kMarkerSize{50.0f, 50.0f};
constexpr float kMarkerIntensity = 0.1f;
// Kept as the game has it: well past 1.0 per channel, so the HDR lighting brightens it.
constexpr Vector4 kMarkerTint{50.0f, 50.0f, 50.0f, 255.0f};

// A spawn coordinate; a missing one is created as 0 and an unusable one counts as 0.
float SpawnCoordinate(GameStats& stats, const char* name)
{
    if (const auto value = TryGetStat(&stats, name))
        return std::isfinite(*value) ? *value : 0.0f;
    stats.SetStat(name, 0.0f);
    return 0.0f;
}
} // namespace

DestructableScript::DestructableScript(std::uint32_t ownerId)
    : Script(kScriptName, ScriptTypeId::kDestructableScript, ownerId)
{
    RegisterQuietPrototype(*this);
}

// Nothing of a burn carries over to a copy.
DestructableScript::DestructableScript(const DestructableScript& source) : Script(source)
{
    burnChannel = nullptr;
    burnTime = -1.0f;
    burnDuration = kBurnSeconds;
    needsMarker = true;
    marker = 0;
    startPosition = {};
    started = false;
    toggled = false;
}

DestructableScript::~DestructableScript()
{
    // A burn cut short would otherwise leave its light behind for good.
    if (LiveMarker() != nullptr)
        gGameObjectFactory->QueueDestroy(marker);
}

std::unique_ptr<Script> DestructableScript::Clone() const
{
    return std::unique_ptr<Script>(new DestructableScript(*this));
}

GameObject* DestructableScript::LiveMarker() const
{
    GameObject* object = Live(marker);
    return object != nullptr && object->name == kMarkerName ? object : nullptr;
}

GameObject* DestructableScript::EnsureMarker()
{
    GameObject* object = LiveMarker();
    if ((needsMarker || object == nullptr) && gGameObjectFactory != nullptr)
    {
        object = gGameObjectFactory->CreateObject();
        object->SetName(kMarkerName);
        marker = object->id;
        needsMarker = false;
    }
    if (object == nullptr)
        return nullptr;
    if (GetLight(*object) == nullptr)
    {
        Light light;
        object->AddComponent(light);
    }
    if (TransformOf(object) == nullptr)
    {
        Transform at(0.0f, 0.0f, 1.0f);
        object->AddComponent(at);
    }
    if (Light* light = GetLight(*object))
    {
        light->size = kMarkerSize;
        light->intensity = kMarkerIntensity;
        light->tint = kMarkerTint;
        light->shadowTint = kMarkerTint;
    }
    return object;
}

void DestructableScript::Update(float dt)
{
    // A play that just started counts as playing, so the burn begins the update after the contact.
    const bool playing = burnChannel != nullptr && burnChannel->IsPlaying();
    if (playing && burnTime < 0.0f)
        burnTime = 0.0f;
    if (burnChannel != nullptr && !playing)
        burnChannel = nullptr;
    if (burnTime >= 0.0f && burnTime < burnDuration)
        BurnStep(dt);
}

void DestructableScript::BurnStep(float dt)
{
    GameObject* object = Live(owner);
    GameStats* stats = StatsOf(object);
    Transform* transform = TransformOf(object);
    RigidBody* body = GetRigidBody(object);
    if (stats == nullptr || transform == nullptr || body == nullptr)
        return;
    const float spawnX = SpawnCoordinate(*stats, kStatGoalSpawnX);
    const float spawnY = SpawnCoordinate(*stats, kStatGoalSpawnY);
    const bool isBall = object->tag == kTagBall;

    burnTime += dt;
    if (!started)
    {
        startPosition = transform->GetTranslation();
        started = true;
        if (!isBall)
            SoundSystem::PlaySound(kRespawnSound);
    }
    GameObject* light = EnsureMarker();
    // Creating the marker may have grown the object table: look the owner up again.
    object = Live(owner);
    transform = TransformOf(object);
    body = GetRigidBody(object);
    if (transform == nullptr || body == nullptr)
        return;

    const bool done = burnTime >= burnDuration;
    if (!done && light != nullptr)
    {
        const float k = burnTime / burnDuration;
        if (Transform* lightAt = TransformOf(light))
            lightAt->SetTranslation({(1.0f - k) * startPosition.x + k * spawnX,
                                     (1.0f - k) * startPosition.y + k * spawnY, startPosition.z});
    }
    transform->SetTranslation(done ? Vector3{spawnX, spawnY, 0.0f} : Vector3{kWaitingX, spawnY, 0.0f});
    body->SetVelocity({0.0f, 0.0f, 0.0f});
    if (done)
        EndBurn();
}

void DestructableScript::EndBurn()
{
    burnTime = -1.0f;
    if (LiveMarker() != nullptr)
        gGameObjectFactory->QueueDestroy(marker);
    started = false;
    needsMarker = true;
    // A burn sound longer than the burn must not start a second one: the next burn needs a new contact.
    burnChannel = nullptr;
}
