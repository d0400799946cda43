#include "EditorLevel.h"

#include "Collider.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStateRequest.h"
#include "InputSystem.h"
#include "RigidBody.h"
#include "ScreenLevels.h"
#include "Transform.h"

#include <SDL_keycode.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

const EditorLevel::Controls EditorLevel::kFirstControls{SDLK_w, SDLK_a, SDLK_d, SDLK_LSHIFT};
const EditorLevel::Controls EditorLevel::kSecondControls{SDLK_UP, SDLK_LEFT, SDLK_RIGHT, SDLK_RSHIFT};

namespace
{
constexpr std::int32_t kMatchKey = SDLK_3;
constexpr std::int32_t kSecondLevelKey = SDLK_2;
constexpr std::int32_t kEscapeKey = SDLK_ESCAPE;

bool IsKeyPressedThisFrame(std::int32_t key)
{
    return gInputSystem != nullptr && gInputSystem->IsKeyTriggered(key);
}

void PlacePlayer(std::uint32_t id, float x)
{
    if (id == 0)
        return;
    LiveTransform(id)->SetTranslation({x, -200.0f, 1.0f});
    LiveBody(id)->SetCanRotate(false);
}
} // namespace

EditorLevel::EditorLevel(std::uint32_t index, std::string levelName, std::string traceName)
    : GameState(index), levelName(std::move(levelName)), traceName(std::move(traceName))
{
}

void EditorLevel::LoadEditorFile()
{
    // A refused file is reported once; the reader changed nothing, so the level stays empty and Init runs.
    LoadScreenLevel(*this, levelName);
}

std::uint32_t EditorLevel::TakeChecked(std::uint32_t id, const char* role, bool needsCollider) const
{
    const char* missing = nullptr;
    if (LiveTransform(id) == nullptr)
        missing = "Transform";
    else if (LiveBody(id) == nullptr)
        missing = "RigidBody";
    else if (needsCollider && LiveCollider(id) == nullptr)
        missing = "Collider";
    if (missing == nullptr)
        return id;
    std::printf("WARNING: %s: the %s (object %u) has no %s; it is not used\n", levelName.c_str(), role, id,
                missing);
    return 0;
}

void EditorLevel::Init()
{
    // Only live objects count: the previous state's objects are still in the table, queued.
    const std::vector<GameObject*> players = gGameObjectFactory->GetObjectsWithTag(kTagPlayer);
    firstPlayer = 0;
    secondPlayer = 0;
    if (players.size() >= 2)
    {
        firstPlayer = TakeChecked(players[0]->id, "first player", false);
        secondPlayer = TakeChecked(players[1]->id, "second player", false);
    }
    const std::vector<GameObject*> balls = gGameObjectFactory->GetObjectsWithTag(kTagBall);
    ball = balls.empty() ? 0 : TakeChecked(balls.front()->id, "ball", true);
    PlacePlayer(firstPlayer, -250.0f);
    PlacePlayer(secondPlayer, 250.0f);
    // A hold kept from an earlier visit would name an object of the old world.
    holder = 0;
    ballHeld = false;
    window.Reset();
}

void EditorLevel::Update(float dt)
{
    if (window.ClosedSinceLastUpdate())
    {
        RequestStateClosingMenus(kQuitRequest);
        return;
    }
    ReadLevelKeys();
    // Each kept id is checked at every use: an object destroyed meanwhile counts as none.
    const bool playersLive = LiveBody(firstPlayer) != nullptr && LiveTransform(firstPlayer) != nullptr &&
                             LiveBody(secondPlayer) != nullptr && LiveTransform(secondPlayer) != nullptr;
    if (!playersLive)
        return;
    if (LiveCollider(ball) == nullptr || LiveBody(ball) == nullptr || LiveTransform(ball) == nullptr)
    {
        ball = 0;
        holder = 0;
        ballHeld = false;
    }
    ControlPlayer(firstPlayer, kFirstControls);
    ControlPlayer(secondPlayer, kSecondControls);
    StepBall(dt);
}

void EditorLevel::Exit()
{
    std::printf("%s::Exit\n", traceName.c_str());
}

void EditorLevel::Unload()
{
    std::printf("%s::Unload\n", traceName.c_str());
    firstPlayer = 0;
    secondPlayer = 0;
    ball = 0;
}

void EditorLevel::ReadLevelKeys()
{
    // In this order: with 3 and 2 held, the second level stands; Escape counts only without 2.
    if (IsKeyHeld(kMatchKey))
        RequestStateClosingMenus(GameStateIndex::GameplayDemo);
    if (IsKeyHeld(kSecondLevelKey))
        RequestStateClosingMenus(GameStateIndex::M2Level2);
    else if (IsKeyHeld(kEscapeKey))
        RequestStateClosingMenus(kQuitRequest);
}

void EditorLevel::ControlPlayer(std::uint32_t player, const Controls& controls)
{
    RigidBody& body = *LiveBody(player);
    Vector3 velocity = body.GetVelocity();
    const bool up = IsKeyHeld(controls.up);
    const bool left = IsKeyHeld(controls.left);
    const bool right = IsKeyHeld(controls.right);
    if (!up)
    {
        velocity.y = std::min(velocity.y, 0.0f);
        velocity.z = 0.0f;
    }
    if (left)
    {
        velocity.x = -kRunSpeed;
        velocity.z = 0.0f;
    }
    if (right)
        velocity.x = kRunSpeed;
    if (!up && !left && !right)
    {
        velocity.x = 0.0f;
        velocity.z = 0.0f;
    }
    if (IsKeyPressedThisFrame(controls.grab) && ball != 0 && grabCooldown <= 0.0f)
    {
        if (ballHeld && holder == player)
            // The holder's x velocity as stored before this update's write-back.
            Throw(body.GetVelocity().x);
        else
        {
            const Vector3& at = LiveTransform(player)->GetTranslation();
            const Vector3& ballAt = LiveTransform(ball)->GetTranslation();
            if (std::abs(ballAt.x - at.x) < kGrabReach && std::abs(ballAt.y - at.y) < kGrabReach)
                Grab(player);
        }
    }
    body.SetVelocity(velocity);
}

void EditorLevel::Grab(std::uint32_t player)
{
    LiveCollider(ball)->SetResolution(false);
    LiveBody(ball)->SetStatic(true);
    ballHeld = true;
    holder = player;
    grabCooldown = kGrabCooldown;
}

void EditorLevel::Throw(float holderVelocityX)
{
    LiveCollider(ball)->SetResolution(true);
    ballHeld = false;
    RigidBody& ballBody = *LiveBody(ball);
    ballBody.SetStatic(false);
    Transform& ballTransform = *LiveTransform(ball);
    Vector3 at = ballTransform.GetTranslation();
    if (holderVelocityX > 0.0f)
        at.x += kHoldOffset;
    else if (holderVelocityX < 0.0f)
        at.x -= kHoldOffset;
    ballTransform.SetTranslation(at);
    LaunchBall(ballBody, holderVelocityX);
    holder = 0;
    grabCooldown = kGrabCooldown;
}

void EditorLevel::StepBall(float dt)
{
    if (ball == 0)
        return;
    if (ballHeld && LiveTransform(holder) != nullptr && LiveBody(holder) != nullptr)
    {
        const Vector3& holderAt = LiveTransform(holder)->GetTranslation();
        const float holderVelocityX = LiveBody(holder)->GetVelocity().x;
        Transform& ballTransform = *LiveTransform(ball);
        Vector3 at = ballTransform.GetTranslation();
        at.y = holderAt.y;
        if (holderVelocityX > 0.0f)
            at.x = holderAt.x + kHoldOffset;
        else if (holderVelocityX < 0.0f)
            at.x = holderAt.x - kHoldOffset;
        ballTransform.SetTranslation(at);
        RigidBody& ballBody = *LiveBody(ball);
        if (StopsHeldBallTurning() && ballBody.GetCanRotate())
            ballBody.SetAngularVelocity(0.0f);
    }
    else if (!ballHeld)
        LiveCollider(ball)->SetResolution(true);
    if (grabCooldown > 0.0f)
        grabCooldown -= dt;
}
