#include "RoundCommands.h"

#include "CCSM.h"
#include "Event.h"
#include "FrameRateManager.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStats.h"
#include "InputRecording.h"
#include "LevelFile.h"
#include "Light.h"
#include "ModuleFile.h"
#include "ObjectAccess.h"
#include "Random.h"
#include "Registries.h"
#include "RigidBody.h"
#include "SoundSystem.h"
#include "StatNames.h"
#include "StatUtilities.h"
#include "Transform.h"
#include "TransitionScript.h"
#include "TypeIds.h"
#include "WindowProvider.h"

#include <algorithm>
#include <iostream>

namespace
{
constexpr std::int32_t kWorking = 0;
constexpr std::int32_t kFinished = 1;
// Out of play is below the arena.
constexpr float kHiddenY = -3000.0f;
constexpr float kDefaultRoundSeconds = 90.0f;
constexpr const char* kLevelTimerName = "LevelTimer";
constexpr const char* kTimerObjectName = "timer";
constexpr const char* kRespawnMarkerName = "Respawn Marker";
constexpr const char* kResetMarkerName = "Reset Marker";
constexpr const char* kDefaultModule = "DEFAULT_ALL";

// Keeps the round clock full while the round is being staged.
void ApplyLevelTimerRule()
{
    GameObject* timer =
        gGameObjectFactory != nullptr ? gGameObjectFactory->GetObjectByName(kTimerObjectName) : nullptr;
    if (timer == nullptr)
    {
        FrameRateManager::SetTimer(kLevelTimerName, kDefaultRoundSeconds);
        return;
    }
    if (const auto seconds = TryGetStat(StatsOf(timer), kStatTimer))
        FrameRateManager::SetTimer(kLevelTimerName, *seconds);
}

std::vector<GameObject*> Tagged(Tag tag)
{
    return gGameObjectFactory != nullptr ? gGameObjectFactory->GetObjectsWithTag(tag)
                                         : std::vector<GameObject*>{};
}

// Moves the object and stops it.
void Place(GameObject* object, const Vector3& at)
{
    Transform* transform = TransformOf(object);
    if (transform == nullptr)
        return;
    transform->SetTranslation(at);
    if (RigidBody* body = GetRigidBody(object))
        body->SetVelocity({0.0f, 0.0f, 0.0f});
}

Vector3 TranslationOf(const GameObject* object)
{
    const Transform* transform = TransformOf(object);
    return transform != nullptr ? transform->GetTranslation() : Vector3{};
}

// The spawn point from "GoalSpawnX" and "GoalSpawnY"; a missing stat keeps the current coordinate, which
// leaves a hidden object below the arena, so it is reported once per run.
Vector3 SpawnPointOf(const GameObject* object, std::vector<std::uint32_t>& reported)
{
    Vector3 at = TranslationOf(object);
    const GameStats* stats = StatsOf(object);
    const auto x = TryGetStat(stats, kStatGoalSpawnX);
    const auto y = TryGetStat(stats, kStatGoalSpawnY);
    if (x)
        at.x = *x;
    if (y)
        at.y = *y;
    if ((!x || !y) && std::find(reported.begin(), reported.end(), object->id) == reported.end())
    {
        reported.push_back(object->id);
        std::cout << "WARNING: '" << object->name << "' has no spawn point (" << kStatGoalSpawnX << ", "
                  << kStatGoalSpawnY << ")." << std::endl;
    }
    return at;
}

void HideAll(Tag tag)
{
    for (GameObject* object : Tagged(tag))
        Place(object, {0.0f, kHiddenY, 1.0f});
}

// A marker object carrying a light; 0 when there is no factory.
std::uint32_t CreateMarker(const char* name)
{
    if (gGameObjectFactory == nullptr)
        return 0;
    GameObject* marker = gGameObjectFactory->CreateObject();
    marker->SetName(name);
    Light light;
    marker->AddComponent(light);
    return marker->id;
}

// The marker while it is still the object created for it: an id freed and reused names another object.
GameObject* LiveMarker(std::uint32_t id, const char* name)
{
    GameObject* marker = Live(id);
    return marker != nullptr && marker->name == name ? marker : nullptr;
}

void DestroyMarker(std::uint32_t& id, const char* name)
{
    if (LiveMarker(id, name) != nullptr)
        gGameObjectFactory->QueueDestroy(id);
    id = 0;
}

// The object's light, added when missing.
Light* EnsureLight(GameObject* object)
{
    if (object == nullptr)
        return nullptr;
    if (GetLight(*object) == nullptr)
    {
        Light light;
        object->AddComponent(light);
    }
    return GetLight(*object);
}

float WindowHeight()
{
    return static_cast<float>(WindowProvider::GetWindowHeight(0));
}

void HandToOwnMachine(CCSM* machine, CommandId id)
{
    if (machine != nullptr)
        machine->HandleCommand(id);
}

// Without a transition script no winner is known, which gives the plain goal light.
std::uint32_t RoundWinnerOf(const GameObject* manager)
{
    const auto* transition = manager != nullptr
                                 ? manager->GetScriptAs<TransitionScript>(ScriptTypeId::kTransitionScript)
                                 : nullptr;
    return transition != nullptr ? transition->GetLastRoundWinner() : 0;
}

void LightGoalsFor(std::uint32_t winner, float e)
{
    for (GameObject* goal : Tagged(kTagGoal))
    {
        Light* light = EnsureLight(goal);
        if (light == nullptr)
            continue;
        light->size = {1000.0f * e + (1.0f - e), 750.0f * e + (1.0f - e)};
        light->shadowTint = {0.0f, 0.0f, 0.0f, 0.0f};
        if (winner == 1)
        {
            light->tint = {50.0f, 20.0f, 0.0f, 255.0f};
            light->intensity = 0.1f;
        }
        else if (winner == 2)
        {
            light->tint = {0.0f, 11.0f, 255.0f, 255.0f};
            light->intensity = 0.5f;
        }
        else
        {
            light->tint = {50.0f, 50.0f, 50.0f, 255.0f};
            light->intensity = 0.1f;
        }
    }
}

// A module load can replace the balls; a player still naming a freed ball would throw a missing one.
void ForgetVanishedBalls()
{
    for (GameObject* player : Tagged(kTagPlayer))
    {
        GameStats* stats = StatsOf(player);
        const auto held = TryGetStat(stats, kStatGrabbedObject);
        if (!held || *held == 0.0f)
            continue;
        const GameObject* ball = Live(IdFromStat(*held));
        if (ball == nullptr || ball->tag != kTagBall || MachineOf(ball) == nullptr)
            stats->SetStat(kStatGrabbedObject, 0.0f);
    }
}
} // namespace

std::int32_t LevelStartCommand::Execute(float dt)
{
    ApplyLevelTimerRule();
    elapsed += dt;
    HideAll(kTagBall);
    HideAll(kTagPlayer);
    if (elapsed < duration)
        return kWorking;
    HandToOwnMachine(owner, kCommandRespawn);
    elapsed = 0.0f;
    return kFinished;
}

void RespawnCommand::Init()
{
    Command::Init();
    elapsed = 0.0f;
}

std::int32_t RespawnCommand::Execute(float dt)
{
    elapsed += dt;
    ApplyLevelTimerRule();
    if (elapsed >= 1.5f && readyCuePending)
    {
        readyCuePending = false;
        SoundSystem::PlaySound("ReadyVO");
    }
    else if (elapsed >= duration)
    {
        SoundSystem::PlaySound("GoVO");
    }

    const std::vector<GameObject*> players = Tagged(kTagPlayer);
    if (firstRun && !players.empty())
    {
        markerIds[0] = CreateMarker(kRespawnMarkerName);
        markerIds[1] = CreateMarker(kRespawnMarkerName);
        firstRun = false;
    }
    const float height = WindowHeight();
    for (std::size_t k = 0; k < players.size(); ++k)
    {
        GameObject* player = players[k];
        const Vector3 target = SpawnPointOf(player, reportedNoSpawn);
        const float z = TranslationOf(player).z;
        GameObject* marker = LiveMarker(markerIds[k == 0 ? 0 : 1], kRespawnMarkerName);
        if (Light* light = marker != nullptr ? GetLight(*marker) : nullptr)
        {
            light->size = {50.0f, 250.0f};
            light->tint = {50.0f, 50.0f, 50.0f, 255.0f};
            light->shadowTint = {0.0f, 0.0f, 0.0f, 0.0f};
            light->intensity = 0.1f;
            if (elapsed < 2.0f)
            {
                const float t = elapsed * 0.5f;
                TransformOf(marker)->SetTranslation({target.x, (1.0f - t) * height + t * target.y, z});
            }
            else
            {
                const float after = elapsed - 2.0f;
                light->intensity = after * finalIntensity + (1.0f - after) * 0.1f;
            }
        }
        Place(player, {target.x, elapsed < duration ? kHiddenY : target.y, z});
    }
    for (GameObject* ball : Tagged(kTagBall))
    {
        const Vector3 target = SpawnPointOf(ball, reportedNoSpawn);
        Place(ball, {target.x, elapsed < duration ? kHiddenY : target.y, TranslationOf(ball).z});
    }

    if (elapsed < duration)
        return kWorking;
    elapsed = 0.0f;
    readyCuePending = true;
    firstRun = true;
    reportedNoSpawn.clear();
    for (std::uint32_t& id : markerIds)
        DestroyMarker(id, kRespawnMarkerName);
    return kFinished;
}

std::int32_t ResetPlayersCommand::Execute(float dt)
{
    elapsed += dt;
    std::vector<GameObject*> objects = Tagged(kTagPlayer);
    const std::vector<GameObject*> balls = Tagged(kTagBall);
    objects.insert(objects.end(), balls.begin(), balls.end());
    if (firstRun && !objects.empty())
    {
        for (std::uint32_t& id : markerIds)
            id = CreateMarker(kResetMarkerName);
        firstRun = false;
    }
    const float height = WindowHeight();
    for (std::size_t k = 0; k < objects.size(); ++k)
    {
        const Vector3 target = SpawnPointOf(objects[k], reportedNoSpawn);
        GameObject* marker = LiveMarker(markerIds[std::min<std::size_t>(k, 2)], kResetMarkerName);
        if (Light* light = marker != nullptr ? GetLight(*marker) : nullptr)
        {
            light->size = {50.0f, 50.0f};
            light->tint = {1.0f, 1.0f, 1.0f, 1.0f};
            light->shadowTint = {0.0f, 0.0f, 0.0f, 0.0f};
            light->intensity = 5.0f;
            if (elapsed < duration)
            {
                const float t = elapsed / duration;
                TransformOf(marker)->SetTranslation({t * target.x, (1.0f - t) * height + t * target.y, 0.0f});
            }
        }
        Place(objects[k], {target.x, elapsed < duration ? kHiddenY : target.y, TranslationOf(objects[k]).z});
    }

    if (elapsed < duration)
        return kWorking;
    elapsed = 0.0f;
    firstRun = true;
    reportedNoSpawn.clear();
    for (std::uint32_t& id : markerIds)
        DestroyMarker(id, kResetMarkerName);
    return kFinished;
}

void RoundEndCommand::Init()
{
    Command::Init();
    moduleNames = GetLevelModuleNames();
}

std::int32_t RoundEndCommand::Execute(float dt)
{
    ApplyLevelTimerRule();
    LightGoalsFor(RoundWinnerOf(OwnerObject(owner)), elapsed);
    elapsed += dt;
    HideAll(kTagBall);
    if (!(elapsed > duration))
        return kWorking;

    for (GameObject* goal : Tagged(kTagGoal))
        RemoveComponent(goal->id, ComponentTypeId::kLight);
    moduleNames = GetLevelModuleNames();
    if (!moduleNames.empty())
    {
        if (!DrawModule())
            return kWorking;
        LoadChosenModule();
    }
    elapsed = 0.0f;
    FrameRateManager::RestoreDefaults();
    HandToOwnMachine(owner, kCommandRespawn);
    return kFinished;
}

bool RoundEndCommand::DrawModule()
{
    const auto count = static_cast<std::uint32_t>(moduleNames.size());
    std::optional<std::int32_t> replayed;
    if (IsReplaying())
        replayed = TakeRecordedModuleChoice();
    // A used-up or damaged recording falls back to a fresh draw rather than repeating one module forever.
    if (replayed && *replayed >= 0 && static_cast<std::uint32_t>(*replayed) < count)
        chosenModule = static_cast<std::uint32_t>(*replayed);
    else
        chosenModule = RandomInt(0, count - 1);
    if (IsRecording())
        WriteInputRecord(kRecordModuleChoice, 0, 0, static_cast<std::int32_t>(chosenModule));
    return std::find(usedModules.begin(), usedModules.end(), chosenModule) == usedModules.end();
}

void RoundEndCommand::LoadChosenModule()
{
    const std::string& name = moduleNames[chosenModule];
    bool loaded = true;
    try
    {
        LoadModule(name, true);
    }
    catch (const std::exception&)
    {
        try
        {
            LoadModule(name, false);
        }
        catch (const std::exception&)
        {
            std::cerr << "ROUND END COMMAND: Module '" << name << "' failed to load.";
            try
            {
                LoadModule(kDefaultModule, true);
            }
            catch (const std::exception&)
            {
                std::cerr << "DEFAULT_ALL module failed to load.  Recreate DEFAULT_ALL immediately.";
                loaded = false;
            }
        }
    }
    if (loaded)
        ForgetVanishedBalls();
    RoundStartEvent roundStart;
    Send(roundStart);
    usedModules.push_back(chosenModule);
    if (usedModules.size() >= moduleNames.size())
        usedModules.clear();
}

std::int32_t SlowTimeCommand::Execute(float dt)
{
    FrameRateManager::SetSlowMotion(remainingFactor);
    remainingFactor -= dt;
    HideAll(kTagBall);
    if (remainingFactor >= 1.0f)
        return kWorking;
    FrameRateManager::RestoreDefaults();
    remainingFactor = startFactor;
    for (const Tag tag : {kTagPlayer, kTagBall})
    {
        for (GameObject* object : Tagged(tag))
        {
            const Vector3 target = SpawnPointOf(object, reportedNoSpawn);
            Place(object, {target.x, target.y, TranslationOf(object).z});
        }
    }
    reportedNoSpawn.clear();
    return kFinished;
}
