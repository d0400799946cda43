#include "PhysicsTestState.h"

#include "BoxCollider.h"
#include "Camera.h"
#include "CircleCollider.h"
#include "ColorTextures.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStateRequest.h"
#include "Graphics.h"
#include "InputSystem.h"
#include "Renderer.h"
#include "RigidBody.h"
#include "TextureManager.h"
#include "Transform.h"
#include "TypeIds.h"
#include "WindowProvider.h"

#include <cmath>

namespace
{
constexpr std::int32_t kMetal = 2;
constexpr std::int32_t kStatic = 7;
constexpr std::int32_t kKeyStatic = 49;
constexpr std::int32_t kKeyDynamic = 50;
constexpr std::int32_t kKeyRestart = 52;
constexpr const char* kWhite = "White";
const Vector4 kMagenta{1.0f, 0.0f, 1.0f, 1.0f};
const Vector4 kGreen{0.0f, 1.0f, 0.0f, 1.0f};

GameObject& CreatePlaced(const Vector3& at, const Vector3& scale, float rotation)
{
    GameObject* object = gGameObjectFactory->CreateObject();
    auto* transform = object->GetComponentAs<Transform>(ComponentTypeId::kTransform);
    transform->SetTranslation(at);
    transform->SetScale(scale);
    transform->SetRotation(rotation);
    return *object;
}

void AddWhiteSprite(GameObject& object, const Vector4& tint)
{
    Renderer sprite;
    sprite.SetUInt("texture", &TextureManager::GetTexture(kWhite));
    sprite.tint = tint;
    object.AddComponent(sprite);
}

// A static Static-substance box: density 0, so its mass, inertia and their inverses are all 0.
std::uint32_t CreateStaticBox(const Vector3& at, const Vector3& scale)
{
    GameObject& object = CreatePlaced(at, scale, 0.0f);
    RigidBody body(object.id, kStatic);
    body.SetStatic(true);
    object.AddComponent(body);
    BoxCollider box;
    object.AddComponent(box);
    AddWhiteSprite(object, Vector4{1.0f, 1.0f, 1.0f, 1.0f});
    return object.id;
}
} // namespace

void PhysicsTestState::Load()
{
    CreateMissingColorTextures({kWhite});
    if (gGraphics != nullptr)
        gGraphics->drawDebug = true;

    GameObject& disc = CreatePlaced({125.0f, -200.0f, 1.0f}, {50.0f, 50.0f, 0.0f}, 44.0f);
    // Built from its owner, so its mass and inertia follow the scale.
    RigidBody body(disc.id, kMetal);
    body.SetGravityScale(0.0f);
    body.SetAngularVelocity(-35.0f);
    disc.AddComponent(body);
    CircleCollider circle;
    disc.AddComponent(circle);
    AddWhiteSprite(disc, Vector4{0.85f, 0.85f, 1.0f, 1.0f});
    discId = disc.id;

    floorId = CreateStaticBox({0.0f, -100.0f, 1.0f}, {400.0f, 100.0f, 0.0f});
    pillarId = CreateStaticBox({-100.0f, 75.0f, 1.0f}, {50.0f, 300.0f, 0.0f});
}

void PhysicsTestState::Init()
{
    if (Transform* transform = LiveTransform(discId))
        transform->SetTranslation({50.0f, 100.0f, 1.0f});
    if (RigidBody* body = LiveBody(discId))
        body->SetVelocity({0.0f, 0.0f, 0.0f});
    SetMainCamera(0.0f, 0.0f, 1.0f, 0.0f);
    window.Reset();
}

void PhysicsTestState::Unload()
{
    discId = 0;
    floorId = 0;
    pillarId = 0;
}

void PhysicsTestState::Update(float dt)
{
    (void)dt;
    if (window.ClosedSinceLastUpdate())
    {
        RequestStateClosingMenus(kQuitRequest);
        return;
    }
    DrawOutlines();

    Transform* discTransform = LiveTransform(discId);
    RigidBody* discBody = LiveBody(discId);
    if (discTransform != nullptr && discBody != nullptr)
        if (const std::optional<Vector2> mouse = MouseInWorld())
        {
            const Vector3& position = discTransform->GetTranslation();
            if (gGraphics != nullptr)
                gGraphics->DrawDebugLine({position.x, position.y}, *mouse, kMagenta);
            discBody->AddForce(SpringForce(*mouse, position));
        }
    ReadKeys();
}

std::optional<Vector2> PhysicsTestState::MouseInWorld()
{
    const int width = WindowProvider::GetWindowWidth(0);
    const int height = WindowProvider::GetWindowHeight(0);
    const auto& cameras = CameraManager::GetCameras();
    if (width <= 0 || height <= 0 || gInputSystem == nullptr || cameras.empty())
        return std::nullopt;
    // Window pixels to the camera's -1..1 square, then back through its world-to-screen matrix.
    const float halfWidth = 0.5f * static_cast<float>(width);
    const float halfHeight = 0.5f * static_cast<float>(height);
    const float screenX = (static_cast<float>(gInputSystem->mousePosition.x) - halfWidth) / halfWidth;
    const float screenY = (halfHeight - static_cast<float>(gInputSystem->mousePosition.y)) / halfHeight;
    const Matrix3 screenWorld = InverseMatrix(cameras.front()->GetWorldScreen());
    return screenWorld.TransformPoint({screenX, screenY});
}

Vector3 PhysicsTestState::SpringForce(const Vector2& mouse, const Vector3& position)
{
    // d is not normalised: the pull grows with the distance times its excess over the rest length.
    const Vector3 d{mouse.x - position.x, mouse.y - position.y, 1.0f - position.z};
    const float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    const float scale = (length - kSpringRestLength) * kSpringStiffness;
    return {scale * d.x, scale * d.y, scale * d.z};
}

void PhysicsTestState::DrawOutlines()
{
    if (gGraphics == nullptr)
        return;
    const std::uint32_t moving[] = {floorId, discId};
    for (std::uint32_t id : moving)
        if (Transform* transform = LiveTransform(id); transform != nullptr && LiveBody(id) != nullptr)
        {
            const Vector3& p = transform->GetTranslation();
            const Vector3& v = LiveBody(id)->GetVelocity();
            gGraphics->DrawDebugLine({p.x, p.y}, {p.x + v.x, p.y + v.y}, kMagenta);
        }
    for (std::uint32_t id : moving)
        if (Transform* transform = LiveTransform(id))
        {
            const Vector3& p = transform->GetTranslation();
            gGraphics->DrawDebugCircle({p.x, p.y}, transform->GetScale().x * 0.5f, kGreen);
        }
    for (std::uint32_t id : {floorId, discId, pillarId})
        if (Transform* transform = LiveTransform(id))
        {
            const Vector3& p = transform->GetTranslation();
            const Vector3& s = transform->GetScale();
            gGraphics->DrawDebugRect({p.x, p.y}, s.x, s.y, transform->GetRotation(), kGreen);
        }
}

void PhysicsTestState::ReadKeys()
{
    RigidBody* body = LiveBody(discId);
    Collider* collider = LiveCollider(discId);
    if (body != nullptr && collider != nullptr)
    {
        // Checked in this order, so with both held the disc ends dynamic.
        if (IsKeyHeld(kKeyStatic))
        {
            body->SetStatic(true);
            collider->SetResolution(false);
        }
        if (IsKeyHeld(kKeyDynamic))
        {
            body->SetStatic(false);
            collider->SetResolution(true);
        }
    }
    if (IsKeyHeld(kKeyRestart))
        RequestStateClosingMenus(kRestartRequest);
}
