#include "Level2Temp.h"

#include "BackgroundRenderer.h"
#include "BoxCollider.h"
#include "Camera.h"
#include "CircleCollider.h"
#include "ColorTextures.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStateRequest.h"
#include "Graphics.h"
#include "RayCast.h"
#include "Renderer.h"
#include "SoundHooks.h"
#include "TextureManager.h"
#include "Transform.h"
#include "TypeIds.h"

#include <cmath>
#include <cstdio>

namespace
{
constexpr const char* kBoxColor = "Tan";
constexpr const char* kRotatedBoxColor = "Lavender";
constexpr const char* kCircleColor = "Yellow";
constexpr const char* kBackgroundColor = "Light Gray";
constexpr const char* kHitSound = "BallSteal";
constexpr std::int32_t kBoxOrder = 1001;
const Vector4 kGuideColor{1.0f, 1.0f, 1.0f, 1.0f};
const Vector4 kRayColor{1.0f, 1.0f, 0.0f, 1.0f};
const Vector4 kHitColor{1.0f, 0.0f, 0.0f, 1.0f};
const Vector2 kTowardBox{300.0f, 300.0f};
const Vector2 kTowardCircle{-300.0f, 300.0f};
const Vector2 kTowardRotatedBox{-300.0f, -300.0f};

// A shape drawn in one colour, both as its texture and as its glow.
GameObject& CreateShape(const std::string& color, const Vector3& scale)
{
    GameObject* object = gGameObjectFactory->CreateObject();
    object->GetComponentAs<Transform>(ComponentTypeId::kTransform)->SetScale(scale);
    Renderer sprite;
    Texture* texture = &TextureManager::GetTexture(color);
    sprite.SetUInt("texture", texture);
    sprite.SetUInt("emissiveTexture", texture);
    object->AddComponent(sprite);
    return *object;
}

void Place(std::uint32_t id, const Vector3& at, float rotation)
{
    if (Transform* transform = LiveTransform(id))
    {
        transform->SetTranslation(at);
        transform->SetRotation(rotation);
    }
}
} // namespace

void Level2Temp::Load()
{
    // Entered before any level made them, these would show the placeholder.
    CreateMissingColorTextures({kBoxColor, kRotatedBoxColor, kCircleColor, kBackgroundColor});

    GameObject& box = CreateShape(kBoxColor, {30.0f, 45.0f, 0.0f});
    BoxCollider boxCollider;
    box.AddComponent(boxCollider);
    if (Renderer* sprite = GetRenderer(box))
        sprite->material.SetOrder(kBoxOrder);
    boxId = box.id;

    GameObject& rotated = CreateShape(kRotatedBoxColor, {30.0f, 60.0f, 0.0f});
    BoxCollider rotatedCollider;
    rotated.AddComponent(rotatedCollider);
    rotatedBoxId = rotated.id;

    GameObject& circle = CreateShape(kCircleColor, {40.0f, 40.0f, 1.0f});
    CircleCollider circleCollider;
    circleCollider.SetRadius(0.5f);
    circle.AddComponent(circleCollider);
    circleId = circle.id;

    if (gGraphics != nullptr)
    {
        if (BackgroundRenderer* background = gGraphics->GetBackground())
        {
            background->SetTexture(&TextureManager::GetTexture(kBackgroundColor));
            // The screens before leave the tint dark; at full tint "Light Gray" shows grey.
            background->GetMaterial().data.SetVector4("tint", Vector4{1.0f, 1.0f, 1.0f, 1.0f});
        }
        gGraphics->drawDebug = true;
    }
}

void Level2Temp::Init()
{
    SetMainCamera(0.0f, 0.0f, 1.0f, 0.0f);
    Place(boxId, {200.0f, 200.0f, 1.0f}, 0.0f);
    Place(rotatedBoxId, {-200.0f, -200.0f, 1.0f}, 15.0f);
    Place(circleId, {-200.0f, 200.0f, 1.0f}, 0.0f);
    window.Reset();
}

void Level2Temp::Update(float dt)
{
    (void)dt;
    if (window.ClosedSinceLastUpdate())
    {
        RequestStateClosingMenus(kQuitRequest);
        return;
    }
    if (gGraphics != nullptr)
    {
        for (const Vector2& guide : {kTowardBox, kTowardCircle, kTowardRotatedBox})
            gGraphics->DrawDebugLine({0.0f, 0.0f}, guide, kGuideColor);
        if (Transform* circle = LiveTransform(circleId))
            gGraphics->DrawDebugCircle({circle->GetTranslation().x, circle->GetTranslation().y},
                                       circle->GetScale().x * 0.5f, kGuideColor);
    }
    // The first held key wins.
    if (IsKeyHeld('1'))
        CastToward(kTowardBox, boxId, "Axis aligned box was hit!");
    else if (IsKeyHeld('2'))
        CastToward(kTowardCircle, circleId, "Circle was hit!");
    else if (IsKeyHeld('3'))
        CastToward(kTowardRotatedBox, rotatedBoxId, "Rotated box was hit!");
    else if (IsKeyHeld(27))
        RequestStateClosingMenus(kQuitRequest);
}

void Level2Temp::Exit()
{
    std::puts("Level2Temp::Exit");
}

void Level2Temp::Unload()
{
    std::puts("Level2Temp::Unload");
    boxId = 0;
    rotatedBoxId = 0;
    circleId = 0;
}

void Level2Temp::CastToward(const Vector2& target, std::uint32_t aimedAt, const char* message)
{
    const float length = std::sqrt(target.x * target.x + target.y * target.y);
    Ray ray;
    ray.origin = {0.0f, 0.0f, 0.0f};
    ray.direction = {target.x / length, target.y / length, 0.0f};
    ray.length = kRayLength;
    if (gGraphics != nullptr)
        gGraphics->DrawDebugLine({0.0f, 0.0f}, {ray.direction.x * kRayLength, ray.direction.y * kRayLength},
                                 kRayColor);
    // A fresh record each cast: a box hit leaves it untouched, so its point stays at the origin.
    RayHit hit;
    if (aimedAt == 0 || LiveObject(aimedAt) == nullptr || RayCast(ray, hit) != aimedAt)
        return;
    std::puts(message);
    if (gGraphics != nullptr)
        gGraphics->DrawDebugPoint({hit.point.x, hit.point.y}, 10.0f, kHitColor);
    SoundHooks::Play(kHitSound);
}
