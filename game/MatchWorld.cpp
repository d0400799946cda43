#include "MatchWorld.h"

#include "ArenaBlock.h"
#include "BackgroundRenderer.h"
#include "BallBounceScript.h"
#include "BallCollisionScript.h"
#include "BehaviorIds.h"
#include "BehaviorInput.h"
#include "BoxCollider.h"
#include "CCSM.h"
#include "CCSMFactory.h"
#include "CircleCollider.h"
#include "ColorTextures.h"
#include "DeformationScript.h"
#include "GameFinishedScript.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStats.h"
#include "GoalCollisionScript.h"
#include "Graphics.h"
#include "HUDScript.h"
#include "LandingScript.h"
#include "LevelMusicScript.h"
#include "MatchBehaviorTables.h"
#include "ParticleComponent.h"
#include "PlayerScript.h"
#include "Renderer.h"
#include "RigidBody.h"
#include "ScoringScript.h"
#include "StatNames.h"
#include "Substance.h"
#include "TextureManager.h"
#include "Transform.h"
#include "TransitionScript.h"
#include "TypeIds.h"
#include "VoiceOverScripts.h"

#include <SDL.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr std::int32_t kSubstanceWood = 1;
constexpr std::int32_t kSubstanceSuperBall = 5;
constexpr std::uint32_t kFlagPrefab = kFlagPrefabPrototype;

// Action numbers of the players' bindings.
enum Action : int
{
    actUp = 0,
    actDown = 1,
    actLeft = 2,
    actRight = 3,
    actGrab = 5,
};

struct PlayerKeys
{
    std::int32_t up, down, left, right, grab;
};

// ---- Behaviour tables ------------------------------------------------------------------------------

// An earlier level file may have left the editor context without the round end; the manager needs it.
void CompleteEditorContext()
{
    CommandContext* editor = gCCSMFactory->FindContext("ManagerModeEditor Context");
    if (editor == nullptr)
        return;
    for (const CommandId id : editor->allowedCommands)
        if (id == kCommandRoundEnd)
            return;
    editor->allowedCommands.push_back(kCommandRoundEnd);
}

void TakeBehavior(GameObject& object, const std::string& behavior)
{
    if (auto* machine = object.GetComponentAs<CCSM>(ComponentTypeId::kCCSM))
        machine->SetBehavior(behavior);
}

// ---- Particles -------------------------------------------------------------------------------------

// Every emitter of the match draws additively, unsorted, without writing depth.
Material MatchParticleMaterial()
{
    MaterialRenderState state(bmAdditive, false, kDepthLess);
    state.sortByDepth = false;
    Shader* shader = gGraphics != nullptr ? gGraphics->GetShader("particleBasic") : nullptr;
    return Material("particleBasic", shader, 2000, state);
}

// The vector field is switched on first; each setter after it rebuilds the field.
void SetVectorField(ParticleEmitter& emitter, float spacing, std::uint32_t size, const Vector3& base,
                    float random)
{
    emitter.SetUseVectorField(true);
    emitter.SetVectorFieldSpacing(spacing);
    emitter.SetVectorFieldWidth(size);
    emitter.SetVectorFieldHeight(size);
    emitter.SetVectorFieldBase(base);
    emitter.SetVectorFieldRandom(random);
}

// side -1: the left goal's stream drifts right, into the arena; +1: the right goal's, left.
ParticleComponent GoalParticles(float side, const Vector4& tint)
{
    ParticleComponent particles(MatchParticleMaterial());
    ParticleEmitter& emitter = particles.GetEmitter();
    ParticleSettings& settings = emitter.EditSettings();
    settings.dimensions = {0.0f, 90.0f};
    settings.center = {6.0f * side, 0.0f};
    settings.minVelocity = settings.maxVelocity = {10.0f * side, 0.0f, 0.0f};
    settings.minAcceleration = {-50.0f * side, -15.0f, 0.0f};
    settings.maxAcceleration = {-50.0f * side, 15.0f, 0.0f};
    settings.initScale = {50.0f, 50.0f};
    settings.initDepth = 0.98f;
    settings.finalDepth = 0.99f;
    settings.minLife = 0.5f;
    settings.maxLife = 0.75f;
    settings.initialTint = tint;
    settings.tintVariation = {0.13f, 0.13f, 0.13f, 0.196f};
    settings.finalTint = {1.0f, 0.995f, 0.51f, 1.0f};
    emitter.SetEmissionRate(120.0f);
    SetVectorField(emitter, 7.0f, 10, {-50.0f * side, 0.0f, 0.0f}, 40.0f);
    return particles;
}

ParticleComponent BallTrail()
{
    ParticleComponent particles(MatchParticleMaterial());
    ParticleEmitter& emitter = particles.GetEmitter();
    ParticleSettings& settings = emitter.EditSettings();
    settings.isBox = false;
    settings.radii = {10.0f, 11.0f};
    settings.initScale = {5.0f, 5.0f};
    settings.initDepth = 0.11f;
    settings.finalDepth = 0.1f;
    settings.maxLife = 1.0f;
    settings.initialTint = {0.45f, 0.0f, 1.0f, 0.9f};
    settings.tintVariation = {0.0f, 0.0f, 0.0f, 0.0f};
    settings.finalTint = {0.9f, 0.8f, 1.0f, 0.5f};
    emitter.SetEmissionRate(100.0f);
    SetVectorField(emitter, 5.0f, 25, {0.0f, 10.0f, 0.0f}, 200.0f);
    return particles;
}

// ---- Objects ---------------------------------------------------------------------------------------

Transform& TransformOf(GameObject& object)
{
    return *object.GetComponentAs<Transform>(ComponentTypeId::kTransform);
}

GameObject& CreateManager()
{
    GameObject& manager = *gGameObjectFactory->CreateObject();
    CCSM machine;
    CompleteEditorContext();
    manager.AddComponent(machine);
    LevelMusicScript music;
    manager.AddScript(music);
    GameFinishedScript finished;
    manager.AddScript(finished);
    TransitionScript transition;
    manager.AddScript(transition);
    VoiceOverScripts voices;
    manager.AddScript(voices);
    return manager;
}

GameObject& CreateBall()
{
    GameObject& ball = *gGameObjectFactory->CreateObject();
    ball.tag = kTagBall;
    AddMatchBehaviorTables(*gCCSMFactory);
    CCSM machine;
    ball.AddComponent(machine);
    BallCollisionScript collisions;
    ball.AddScript(collisions);
    BallBounceScript bounces;
    ball.AddScript(bounces);
    return ball;
}

void CompleteBall(GameObject& ball)
{
    Transform& transform = TransformOf(ball);
    transform.SetTranslation({0.0f, -20.0f, 1.0f});
    transform.SetScale({20.0f, 20.0f, 0.0f});
    RigidBody body(ball.id, kSubstanceSuperBall);
    body.SetStatic(false);
    body.SetCanRotate(true);
    ball.AddComponent(body);
    CircleCollider circle(ball.id);
    ball.AddComponent(circle);
    Renderer sprite;
    sprite.SetUInt("texture", &TextureManager::GetTexture(kBallTexture));
    ball.AddComponent(sprite);
    GameStats stats;
    stats.SetStat(kStatIsGrabbable, 1.0f);
    ball.AddComponent(stats);
    TakeBehavior(ball, "Ball Behavior");
    ParticleComponent trail = BallTrail();
    ball.AddComponent(trail);
}

void CreateGoal(float x, float affiliation, ParticleComponent particles)
{
    GameObject& goal = *gGameObjectFactory->CreateObject();
    goal.tag = kTagGoal;
    Transform& transform = TransformOf(goal);
    transform.SetTranslation({x, 0.0f, 1.0f});
    transform.SetScale({40.0f, 100.0f, 1.0f});
    goal.SetDirty(true);
    // Bodies pass through a goal; its script reports the ball entering.
    BoxCollider box(goal.id);
    box.SetResolution(false);
    goal.AddComponent(box);
    GoalCollisionScript scoring;
    goal.AddScript(scoring);
    RigidBody body(goal.id, kStaticSubstance);
    body.SetStatic(true);
    body.SetStaticFriction(0.0f);
    body.SetDynamicFriction(0.0f);
    goal.AddComponent(body);
    GameStats stats;
    stats.SetStat(kStatPlayerAffiliation, affiliation);
    goal.AddComponent(stats);
    goal.AddComponent(particles);
}

// The tuning every player starts from; the match raises three of them afterwards.
void SetPlayerStats(GameStats& stats)
{
    stats.SetStat(kStatDeformScaleMaxMin, 3.0f);
    stats.SetStat(kStatDeformRate, 9.0f);
    stats.SetStat(kStatReformRate, 0.5f);
    stats.SetStat(kStatScaleX, 20.0f);
    stats.SetStat(kStatScaleY, 40.0f);
    stats.SetStat(kStatMovementSpeed, 150.0f);
    stats.SetStat(kStatJumpSpeed, 500.0f);
    stats.SetStat(kStatFallSpeed, 100.0f);
    stats.SetStat(kStatGrabRange, 2.0f);
    stats.SetStat(kStatThrowPower, 200.0f);
    stats.SetStat(kStatGrabbedObject, 0.0f);
    stats.SetStat(kStatOrientation, 0.0f);
}

// The prototype lives outside the object table; the prefab keeps it with copies of its parts.
void RegisterPlayerPrefab()
{
    auto prototype = std::make_unique<GameObject>("Default");
    prototype->SetFlag(kFlagPrefab, true);
    prototype->tag = kTagPlayer;

    Transform transform(0.0f, 0.0f, 1.0f);
    transform.SetScale({25.0f, 45.0f, 0.0f});
    RigidBody body(kSubstanceWood);
    BoxCollider box;
    box.SetResolution(true);
    Renderer sprite;
    sprite.SetUInt("texture", &TextureManager::GetTexture(kPlayer1Texture));

    GameStats stats;
    SetPlayerStats(stats);
    CCSM machine;
    BehaviorInput input;
    PlayerScript player;
    LandingScript landing;
    DeformationScript deformation;
    gGameObjectFactory->RegisterPrefab(kPlayerPrefabName, std::move(prototype),
                                       {&transform, &body, &box, &sprite, &stats, &machine, &input},
                                       {&player, &landing, &deformation});
}

void BindPlayer(GameObject& player, const PlayerKeys& keys, std::int32_t controller)
{
    auto* input = player.GetComponentAs<BehaviorInput>(ComponentTypeId::kBehaviorInput);
    if (input == nullptr)
        return;
    input->SetKey(actUp, keys.up);
    input->SetKey(actDown, keys.down);
    input->SetKey(actLeft, keys.left);
    input->SetKey(actRight, keys.right);
    input->SetKey(actGrab, keys.grab);
    input->SetAxis(actUp, 1, controller, false);
    input->SetAxis(actDown, 1, controller, true);
    input->SetAxis(actLeft, 0, controller, false);
    input->SetAxis(actRight, 0, controller, true);
    input->SetButton(actGrab, SDL_CONTROLLER_BUTTON_A, controller);
}

GameObject* CreatePlayer(const std::string& name, float x)
{
    GameObject* player = gGameObjectFactory->CreateFromPrefab(kPlayerPrefabName);
    if (player == nullptr)
        return nullptr;
    player->SetName(name);
    TransformOf(*player).SetTranslation({x, -200.0f, 1.0f});
    if (auto* body = player->GetComponentAs<RigidBody>(ComponentTypeId::kRigidBody))
        body->SetCanRotate(false);
    TakeBehavior(*player, "Player Behavior");
    return player;
}

void CompleteManager(GameObject& manager)
{
    manager.tag = kTagMatchManager;
    HUDScript hud(manager.id);
    manager.AddScript(hud);
    ScoringScript scoring(manager.id);
    manager.AddScript(scoring);
    // Only a level file provides this set; without one the machine keeps no behaviour.
    TakeBehavior(manager, "Manager Behavior");
}

void SetBackground()
{
    if (gGraphics == nullptr)
        return;
    if (BackgroundRenderer* background = gGraphics->GetBackground())
        background->SetTexture(&TextureManager::GetTexture(kMatchBackground));
    gGraphics->drawDebug = false;
}

// The match plays with a harder throw and a higher jump than the prefab gives.
void ApplyPlayerOverrides()
{
    for (GameObject* player : gGameObjectFactory->GetObjectsWithTag(kTagPlayer))
    {
        auto* stats = player->GetComponentAs<GameStats>(ComponentTypeId::kGameStats);
        if (stats == nullptr)
            continue;
        stats->SetStat(kStatGrabRange, 2.0f);
        stats->SetStat(kStatThrowPower, 400.0f);
        stats->SetStat(kStatJumpSpeed, 600.0f);
    }
}

struct BlockRow
{
    Vector3 position;
    Vector3 scale;
    const char* color;
    Tag tag;
};

void CreateBlocks(const std::vector<BlockRow>& rows)
{
    for (const BlockRow& row : rows)
        CreateBlock(row.position, row.scale, row.color)->tag = row.tag;
}
} // namespace

void BuildMatchWorld()
{
    LoadColorTextures();
    RegisterPlayerPrefab();
    GameObject& manager = CreateManager();
    GameObject& ball = CreateBall();

    CreateBlocks({
        {{0.0f, -220.0f, 1.0f}, {1920.0f, 40.0f, 0.0f}, kColorTan, kTagPlatform},
        {{0.0f, -200.0f, 1.0f}, {100.0f, 80.0f, 0.0f}, kColorTan, kTagPlatform},
        {{-120.0f, -60.0f, 1.0f}, {100.0f, 20.0f, 0.0f}, kColorGray, kTagPlatform},
        {{120.0f, -60.0f, 1.0f}, {100.0f, 20.0f, 0.0f}, kColorGray, kTagPlatform},
        {{0.0f, 60.0f, 1.0f}, {100.0f, 20.0f, 0.0f}, kColorGray, kTagPlatform},
        {{-260.0f, -60.0f, 1.0f}, {80.0f, 20.0f, 0.0f}, kColorRed, kTagPlatform},
        {{-400.0f, 30.0f, 1.0f}, {200.0f, 460.0f, 0.0f}, kColorLightGray, kTagSideWall},
        {{-260.0f, 60.0f, 1.0f}, {80.0f, 20.0f, 0.0f}, kColorRed, kTagPlatform},
    });
    CreateGoal(-300.0f, 2.0f, GoalParticles(-1.0f, {1.0f, 0.243f, 0.0f, 0.0f}));
    CreateBlocks({
        {{260.0f, -60.0f, 1.0f}, {80.0f, 20.0f, 0.0f}, kColorDarkBlue, kTagPlatform},
        {{400.0f, 30.0f, 1.0f}, {200.0f, 460.0f, 0.0f}, kColorLightGray, kTagSideWall},
        {{260.0f, 60.0f, 1.0f}, {80.0f, 20.0f, 0.0f}, kColorDarkBlue, kTagPlatform},
    });
    CreateGoal(300.0f, 1.0f, GoalParticles(1.0f, {0.0f, 0.376f, 1.0f, 0.0f}));

    if (GameObject* player1 = CreatePlayer(kPlayer1Name, 250.0f))
    {
        BindPlayer(*player1, {SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT, SDLK_RSHIFT}, 0);
        player1->GetComponentAs<GameStats>(ComponentTypeId::kGameStats)->SetStat(kStatOrientation, 1.0f);
    }
    if (GameObject* player2 = CreatePlayer(kPlayer2Name, -250.0f))
    {
        if (Renderer* sprite = GetRenderer(*player2))
            sprite->SetUInt("texture", &TextureManager::GetTexture(kPlayer2Texture));
        BindPlayer(*player2, {SDLK_w, SDLK_s, SDLK_a, SDLK_d, SDLK_LSHIFT}, 1);
    }

    CompleteBall(ball);
    CompleteManager(manager);
    manager.GetScriptAs<HUDScript>(ScriptTypeId::kHUDScript)->Bind();
    SetBackground();
    ApplyPlayerOverrides();
}
