#include "PlayArena.h"

#include "BallBounceScript.h"
#include "BallCollisionScript.h"
#include "BallSpeedScript.h"
#include "BehaviorInput.h"
#include "BoxCollider.h"
#include "CCSM.h"
#include "CCSMFactory.h"
#include "CircleCollider.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStats.h"
#include "LandingScript.h"
#include "LevelBoundsScript.h"
#include "MatchBehaviorTables.h"
#include "ParticleComponent.h"
#include "PlayerScript.h"
#include "Renderer.h"
#include "RigidBody.h"
#include "StatNames.h"
#include "TextureManager.h"
#include "Transform.h"
#include "TypeIds.h"

#include <SDL.h>

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
                     const Vector4& tint)
{
    const float y = -177.5f;
    GameObject& player = Place(kTagPlayer, {x, y, 1.0f}, {25.0f, 45.0f, 0.0f}, tint);
    player.SetName(name);
    RigidBody body(kWood);
    body.SetCanRotate(false);
    player.AddComponent(body);
    BoxCollider box;
    player.AddComponent(box);
    SetStats(player, {{kStatDeformScaleMax, 3.0f},
                      {kStatDeformScaleMin, 3.0f},
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

std::uint32_t Ball()
{
    GameObject& ball =
        Place(kTagBall, {0.0f, -190.0f, 1.0f}, {20.0f, 20.0f, 0.0f}, {1.0f, 0.55f, 0.1f, 1.0f});
    ball.SetName("Ball");
    RigidBody body(kSuperBall);
    ball.AddComponent(body);
    CircleCollider circle;
    ball.AddComponent(circle);
    SetStats(ball, {{kStatIsGrabbable, 1.0f}, {kStatGoalSpawnX, 0.0f}, {kStatGoalSpawnY, -100.0f}});
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
