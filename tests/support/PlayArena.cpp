#include "PlayArena.h"

#include "BallBounceScript.h"
#include "BallCollisionScript.h"
#include "BallSpeedScript.h"
#include "BehaviorInput.h"
#include "BoxCollider.h"
#include "CCSM.h"
#include "CCSMFactory.h"
#include "CircleCollider.h"
#include "EventTextScript.h"
#include "GameFinishedScript.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStats.h"
#include "GoalCollisionScript.h"
#include "HUDScript.h"
#include "LandingScript.h"
#include "LevelBoundsScript.h"
#include "LevelFile.h"
#include "LevelPaths.h"
#include "MatchBehaviorTables.h"
#include "ModuleWriter.h"
#include "ParticleComponent.h"
#include "PlayerScript.h"
#include "Renderer.h"
#include "RigidBody.h"
#include "ScoringScript.h"
#include "StatNames.h"
#include "TextRenderer.h"
#include "TextureManager.h"
#include "TimerScript.h"
#include "Transform.h"
#include "TransitionScript.h"
#include "TypeIds.h"

#include <SDL.h>

#include <filesystem>

#include <string>
#include <utility>
#include <vector>

namespace
{
constexpr std::int32_t kWood = 1;
constexpr std::int32_t kSuperBall = 5;
constexpr std::int32_t kStatic = 7;

GameObject& Place(Tag tag, const Vector3& at, const Vector3& scale, const Vector4& tint)
{
    GameObject* object = gGameObjectFactory->CreateObject();
    object->tag = tag;
    auto* transform = object->GetComponentAs<Transform>(ComponentTypeId::kTransform);
    transform->SetTranslation(at);
    transform->SetScale(scale);
    transform->MarkDirty();
    object->SetDirty(true);
    Renderer sprite;
    sprite.tint = tint;
    sprite.SetUInt("texture", &TextureManager::GetTexture(TextureManager::kWhitePixelName));
    object->AddComponent(sprite);
    return *object;
}

// A static Static-substance box.
std::uint32_t Block(Tag tag, float x, float y, float w, float h, const Vector4& tint, bool resolves = true)
{
    GameObject& block = Place(tag, {x, y, 1.0f}, {w, h, 0.0f}, tint);
    RigidBody body(kStatic);
    body.SetStatic(true);
    body.SetStaticFriction(0.0f);
    body.SetDynamicFriction(0.0f);
    block.AddComponent(body);
    BoxCollider box;
    box.SetResolution(resolves);
    block.AddComponent(box);
    return block.id;
}

void SetStats(GameObject& object, const std::vector<std::pair<const char*, float>>& values)
{
    GameStats stats;
    for (const auto& [name, value] : values)
        stats.SetStat(name, value);
    object.AddComponent(stats);
}

void AddMachine(GameObject& object, const std::string& behavior)
{
    CCSM machine;
    object.AddComponent(machine);
    object.GetComponentAs<CCSM>(ComponentTypeId::kCCSM)->SetBehavior(behavior);
}

struct Keys
{
    std::int32_t up, down, left, right, jump, grab;
};

std::uint32_t Player(const std::string& name, float x, float orientation, const Keys& keys, int controller,
                     const Vector4& tint, float y = -177.5f)
{
    GameObject& player = Place(kTagPlayer, {x, y, 1.0f}, {25.0f, 45.0f, 0.0f}, tint);
    player.SetName(name);
    RigidBody body(kWood);
    body.SetCanRotate(false);
    player.AddComponent(body);
    BoxCollider box;
    player.AddComponent(box);
    SetStats(player, {{kStatDeformScaleMaxMin, 3.0f},
                      {kStatDeformRate, 9.0f},
                      {kStatReformRate, 0.5f},
                      {kStatScaleX, 20.0f},
                      {kStatScaleY, 40.0f},
                      {kStatMovementSpeed, 150.0f},
                      {kStatJumpSpeed, 600.0f},
                      {kStatFallSpeed, 100.0f},
                      {kStatGrabRange, 2.0f},
                      {kStatThrowPower, 400.0f},
                      {kStatGrabbedObject, 0.0f},
                      {kStatOrientation, orientation},
                      {kStatHoldingDistance, 30.0f},
                      {kStatGoalSpawnX, x},
                      {kStatGoalSpawnY, y}});
    AddMachine(player, "Player Behavior");
    BehaviorInput input;
    const std::pair<int, std::int32_t> bindings[] = {{0, keys.up},    {1, keys.down}, {2, keys.left},
                                                     {3, keys.right}, {4, keys.jump}, {5, keys.grab}};
    for (const auto& [action, key] : bindings)
        if (key != 0)
            input.SetKey(action, key);
    input.SetAxis(0, 1, controller, false);
    input.SetAxis(1, 1, controller, true);
    input.SetAxis(2, 0, controller, false);
    input.SetAxis(3, 0, controller, true);
    input.SetButton(5, 0, controller);
    player.AddComponent(input);
    PlayerScript script;
    player.AddScript(script);
    LandingScript landing;
    player.AddScript(landing);
    return player.id;
}

std::uint32_t Ball(float spawnY = -100.0f)
{
    GameObject& ball =
        Place(kTagBall, {0.0f, -190.0f, 1.0f}, {20.0f, 20.0f, 0.0f}, {1.0f, 0.55f, 0.1f, 1.0f});
    ball.SetName("Ball");
    RigidBody body(kSuperBall);
    ball.AddComponent(body);
    CircleCollider circle;
    ball.AddComponent(circle);
    SetStats(ball, {{kStatIsGrabbable, 1.0f}, {kStatGoalSpawnX, 0.0f}, {kStatGoalSpawnY, spawnY}});
    AddMachine(ball, "Ball Behavior");
    ParticleComponent particles;
    particles.SetEmissionRate(10.0f);
    ball.AddComponent(particles);
    BallCollisionScript collisions;
    ball.AddScript(collisions);
    BallBounceScript bounces;
    ball.AddScript(bounces);
    BallSpeedScript speed;
    ball.AddScript(speed);
    return ball.id;
}
} // namespace

Arena BuildArena()
{
    AddMatchBehaviorTables(*gCCSMFactory);
    const Vector4 tan{0.76f, 0.62f, 0.42f, 1.0f};
    const Vector4 grey{0.45f, 0.45f, 0.5f, 1.0f};
    Arena arena;
    arena.floor = Block(kTagPlatform, 0.0f, -220.0f, 1920.0f, 40.0f, tan);
    arena.ledge = Block(kTagPlatform, 160.0f, -120.0f, 100.0f, 20.0f, tan);
    arena.leftWall = Block(kTagSideWall, -400.0f, 30.0f, 200.0f, 460.0f, grey);
    arena.rightWall = Block(kTagSideWall, 400.0f, 30.0f, 200.0f, 460.0f, grey);
    arena.goalPost = Block(kTagGoal, -200.0f, -120.0f, 40.0f, 100.0f, {0.2f, 0.8f, 0.3f, 1.0f}, false);
    arena.bounds = Block(kTagUntagged, 0.0f, -600.0f, 2000.0f, 200.0f, {0.3f, 0.0f, 0.0f, 1.0f}, false);
    {
        LevelBoundsScript boundsScript;
        gGameObjectFactory->GetObject(arena.bounds)->AddScript(boundsScript);
    }
    arena.ball = Ball();
    arena.player1 =
        Player("Player 1", 60.0f, 1.0f, {SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT, SDLK_SPACE, SDLK_RSHIFT},
               0, {0.3f, 0.5f, 1.0f, 1.0f});
    arena.player2 = Player("Player 2", -60.0f, 0.0f, {SDLK_w, SDLK_s, SDLK_a, SDLK_d, 0, SDLK_LSHIFT}, 1,
                           {1.0f, 0.3f, 0.3f, 1.0f});
    return arena;
}

namespace
{
std::uint32_t Goal(float x, float affiliation, const Vector4& tint)
{
    GameObject& goal =
        *gGameObjectFactory->GetObject(Block(kTagGoal, x, -150.0f, 40.0f, 100.0f, tint, false));
    SetStats(goal, {{kStatPlayerAffiliation, affiliation}});
    ParticleComponent particles;
    particles.SetEmissionRate(5.0f);
    goal.AddComponent(particles);
    GoalCollisionScript scoring;
    goal.AddScript(scoring);
    return goal.id;
}

GameObject& Text(Tag tag, const std::string& name, const Vector3& at, const Vector3& scale,
                 const Vector4& tint)
{
    GameObject& object = Place(tag, at, scale, tint);
    object.SetName(name);
    TextRenderer text;
    text.SetText("");
    text.SetSize(32.0f);
    text.SetDimensions({240.0f, 48.0f});
    object.AddComponent(text);
    return object;
}

// Each module swaps the arena's side pillars (tag 5) for a pair of its own, further out each time.
void WriteModule(const std::string& name, float x)
{
    const Vector4 grey{0.45f, 0.45f, 0.5f, 1.0f};
    const std::vector<std::uint32_t> pillars = {Block(kTagSideWall, -x, 40.0f, 20.0f, 80.0f, grey),
                                                Block(kTagSideWall, x, 40.0f, 20.0f, 80.0f, grey)};
    SaveModule(name, {kTagSideWall}, {pillars});
    for (const std::uint32_t id : pillars)
        gGameObjectFactory->QueueDestroy(id);
    gGameObjectFactory->DestroyQueuedObjects();
}
} // namespace

TestArena BuildTestArena()
{
    AddMatchBehaviorTables(*gCCSMFactory);
    RegisterManagerBehavior(*gCCSMFactory);
    std::filesystem::create_directories(kModuleFolder);
    WriteModule("A", 200.0f);
    WriteModule("B", 230.0f);
    WriteModule("C", 260.0f);
    WriteModule("DEFAULT_ALL", 170.0f);
    SetLevelModuleNames({"A", "B", "C"});

    TestArena arena;
    arena.floor = Block(kTagPlatform, 0.0f, -220.0f, 1920.0f, 40.0f, {0.76f, 0.62f, 0.42f, 1.0f});
    arena.rightGoal = Goal(300.0f, 1.0f, {1.0f, 0.6f, 0.2f, 1.0f});
    arena.leftGoal = Goal(-300.0f, 2.0f, {0.2f, 0.4f, 1.0f, 1.0f});
    arena.ball = Ball(-190.0f);
    arena.player1 =
        Player("Player 1", 150.0f, 0.0f, {SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT, 0, SDLK_RSHIFT}, 0,
               {0.3f, 0.5f, 1.0f, 1.0f}, -177.0f);
    arena.player2 = Player("Player 2", -150.0f, 1.0f, {SDLK_w, SDLK_s, SDLK_a, SDLK_d, 0, SDLK_LSHIFT}, 1,
                           {1.0f, 0.3f, 0.3f, 1.0f}, -177.0f);

    // The HUD's seven text objects; their roles follow the order the HUD binds them in (by id).
    const Vector4 white{1.0f, 1.0f, 1.0f, 1.0f};
    for (int slot = 0; slot < 7; ++slot)
        Text(kTagHud, "HUD", {}, {30.0f, 30.0f, 0.0f}, white);

    GameObject& eventText = Text(kTagUntagged, "Event Text", {0.0f, 60.0f, 1.0f}, {1.0f, 1.0f, 0.0f}, white);
    EventTextScript announcer;
    eventText.AddScript(announcer);
    arena.eventText = eventText.id;
    arena.pauseMenu =
        Text(kTagMenu, "Pause Menu", {0.0f, 0.0f, 1.0f}, {200.0f, 120.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 0.0f}).id;
    arena.confirmation =
        Text(kTagMenu, "CDA", {0.0f, 0.0f, 1.0f}, {200.0f, 120.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 0.0f}).id;

    GameObject* manager = gGameObjectFactory->CreateObject();
    manager->tag = kTagMatchManager;
    manager->SetName("Manager");
    AddMachine(*manager, "Manager Behavior");
    TransitionScript transition;
    manager->AddScript(transition);
    HUDScript hud;
    manager->AddScript(hud);
    ScoringScript scores;
    manager->AddScript(scores);
    GameFinishedScript finished;
    manager->AddScript(finished);
    auto& counters = *manager->GetScriptAs<HUDScript>(ScriptTypeId::kHUDScript);
    counters.Bind();
    arena.manager = manager->id;

    const auto arrange = [&](std::size_t slot, const std::string& name, const Vector3& at) -> GameObject& {
        arena.hud[slot] = counters.GetSlot(slot);
        GameObject& object = *gGameObjectFactory->GetObject(arena.hud[slot]);
        object.SetName(name);
        object.GetComponentAs<Transform>(ComponentTypeId::kTransform)->SetTranslation(at);
        return object;
    };
    arrange(0, "p1 score", {-150.0f, 190.0f, 1.0f});
    arrange(1, "p2 score", {150.0f, 190.0f, 1.0f});
    for (std::size_t marker = 0; marker < 4; ++marker)
        arrange(2 + marker, "round " + std::to_string(marker + 1),
                {-90.0f + 60.0f * static_cast<float>(marker), 220.0f, 1.0f});
    GameObject& timer = arrange(6, "timer", {0.0f, 150.0f, 1.0f});
    GetRenderer(timer)->tint = {0.2f, 0.2f, 0.2f, 1.0f};
    timer.GetComponentAs<Transform>(ComponentTypeId::kTransform)->SetScale({80.0f, 30.0f, 0.0f});
    SetStats(timer, {{kStatTimer, 20.0f}});
    TimerScript clock;
    timer.AddScript(clock);
    return arena;
}
