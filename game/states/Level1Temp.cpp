#include "Level1Temp.h"

#include "BoxCollider.h"
#include "Camera.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStateRequest.h"
#include "Graphics.h"
#include "Renderer.h"
#include "RigidBody.h"
#include "SpriteField.h"
#include "TextureManager.h"
#include "Transform.h"
#include "TypeIds.h"

#include <cstdio>
#include <string>

namespace
{
constexpr std::int32_t kRock = 0;
constexpr std::int32_t kMetal = 2;
constexpr std::int32_t kPillow = 6;
constexpr std::int32_t kStatic = 7;
constexpr std::uint32_t kRgbaFormat = 0x1908; // GL_RGBA
constexpr std::uint32_t kSceneOneTextureCycle = 21;
constexpr float kSpinDegreesPerSecond = 5.0f;
constexpr const char* kWhite = "White";

struct NamedColor
{
    const char* name;
    std::uint8_t rgba[4];
};

// Made on every visit, as the scenes were balanced with: a later copy of a name is never looked up.
constexpr NamedColor kTextures[] = {
    {"White", {255, 255, 255, 255}},   {"Green", {0, 255, 0, 255}},       {"color1", {255, 200, 128, 255}},
    {"color2", {255, 255, 0, 255}},    {"color3", {200, 128, 255, 255}},  {"color4", {0, 255, 255, 255}},
    {"color5", {255, 0, 0, 255}},      {"color6", {0, 0, 255, 255}},      {"color7", {75, 75, 75, 255}},
    {"color8", {128, 128, 128, 255}},  {"color9", {128, 255, 128, 255}},  {"color10", {128, 128, 255, 255}},
    {"color11", {255, 128, 128, 255}}, {"color12", {128, 255, 255, 255}}, {"color13", {255, 255, 128, 255}},
    {"color14", {255, 200, 128, 255}}, {"color15", {255, 255, 0, 255}},   {"color16", {200, 128, 255, 255}},
    {"color17", {0, 255, 255, 255}},
};

Transform* TransformOf(GameObject& object)
{
    return object.GetComponentAs<Transform>(ComponentTypeId::kTransform);
}

GameObject& CreatePlaced(const Vector3& at, const Vector3& scale)
{
    GameObject* object = gGameObjectFactory->CreateObject();
    TransformOf(*object)->SetTranslation(at);
    TransformOf(*object)->SetScale(scale);
    return *object;
}

void AddSprite(GameObject& object, const std::string& texture, const Vector4& tint)
{
    Renderer sprite;
    sprite.SetUInt("texture", &TextureManager::GetTexture(texture));
    sprite.tint = tint;
    object.AddComponent(sprite);
}

// A static floor of the Static substance with a box collider.
void CreateFloor(const Vector3& at, const Vector3& scale, const std::string& texture)
{
    GameObject& floor = CreatePlaced(at, scale);
    RigidBody body(floor.id, kStatic);
    body.SetStatic(true);
    floor.AddComponent(body);
    BoxCollider box;
    floor.AddComponent(box);
    AddSprite(floor, texture, Vector4{1.0f, 1.0f, 1.0f, 1.0f});
}

Vector3 SceneThreeStart(std::size_t i)
{
    return {1750.0f - 30.0f * static_cast<float>(i), 200.0f + 10.0f * static_cast<float>(i), 1.0f};
}

// Puts a kept object back, at rest.
void PlaceAtRest(std::uint32_t id, const Vector3& at)
{
    Transform* transform = LiveTransform(id);
    RigidBody* body = LiveBody(id);
    if (transform == nullptr || body == nullptr)
        return;
    transform->SetTranslation(at);
    body->SetVelocity({0.0f, 0.0f, 0.0f});
    body->SetAngularVelocity(0.0f);
}
} // namespace

Level1Temp::Level1Temp() : GameState(GameStateIndex::Level1Temp) {}

Level1Temp::~Level1Temp() = default;

void Level1Temp::Load()
{
    MakeTextures();
    RegisterPhysicsObject();
    if (!built[0])
        BuildOrResetSceneOne(false);
}

void Level1Temp::Init()
{
    std::puts("Level1Temp::Init");
    window.Reset();
}

void Level1Temp::Update(float dt)
{
    if (window.ClosedSinceLastUpdate())
    {
        RequestStateClosingMenus(kQuitRequest);
        return;
    }
    if (spinOn)
        cameraAngle += kSpinDegreesPerSecond * dt;
    SetMainCamera(cameraTarget.x, cameraTarget.y, cameraTarget.z, cameraAngle);
    if (fieldOn && field)
        field->Update();
    ReadKeys();
}

void Level1Temp::Exit()
{
    SaveLevel(kSaveName);
}

void Level1Temp::Unload()
{
    std::puts("Level1Temp::Unload");
    // Every object is queued with the switch; ids kept past it would name whatever is made next.
    sceneOneIds.clear();
    sceneTwoBoxId = 0;
    sceneThreeIds.clear();
}

void Level1Temp::ResetRun()
{
    cameraTarget = {0.0f, 0.0f, 1.0f};
    spinOn = false;
    cameraAngle = 0.0f;
    fieldOn = false;
    built = {};
    sceneOneIds.clear();
    sceneTwoBoxId = 0;
    sceneThreeIds.clear();
    field.reset();
}

void Level1Temp::MakeTextures()
{
    for (const NamedColor& color : kTextures)
        TextureManager::CreateTexture(color.name, 1, 1, color.rgba, kRgbaFormat);
    TextureManager::LoadTexture("Textured", "Assets/Astronaut_blue_side.png");
}

void Level1Temp::RegisterPhysicsObject()
{
    if (gGameObjectFactory->FindPrefab(kPrefabName) != nullptr)
        return;
    auto prototype = std::make_unique<GameObject>();
    Transform transform(0.0f, 0.0f, 1.0f);
    transform.SetScale({8.0f, 20.0f, 1.0f});
    // Mass and inertia stay 0 here: they follow each copy's own scale.
    RigidBody body(kMetal);
    body.SetStaticFriction(0.8f);
    body.SetDynamicFriction(0.5f);
    BoxCollider box;
    box.SetResolution(true);
    Renderer sprite;
    gGameObjectFactory->RegisterPrefab(kPrefabName, std::move(prototype), {&transform, &body, &box, &sprite},
                                       {});
}

void Level1Temp::BuildOrResetSceneOne(bool reset)
{
    if (reset)
    {
        for (std::size_t k = 0; k < sceneOneIds.size(); ++k)
        {
            const float step = static_cast<float>(k);
            PlaceAtRest(sceneOneIds[k], {240.0f - 10.0f * step, 100.0f + 15.0f * (step + 1.0f), 1.0f});
        }
        return;
    }
    built[0] = true;
    for (std::uint32_t i = 0; i < kSceneOneCount; ++i)
    {
        GameObject* object = gGameObjectFactory->CreateFromPrefab(kPrefabName);
        if (object == nullptr)
            break;
        const float step = static_cast<float>(i);
        TransformOf(*object)->SetTranslation({250.0f - 10.0f * step, 100.0f + 15.0f * step, 1.0f});
        if (Renderer* sprite = GetRenderer(*object))
        {
            // Ids past the list print their miss and show the first texture.
            sprite->SetUInt("texture", &TextureManager::GetTextureById(i % kSceneOneTextureCycle));
            sprite->tint = Vector4{1.0f, 1.0f, 1.0f, 1.0f};
        }
        sceneOneIds.push_back(object->id);
    }
    CreateFloor({0.0f, -100.0f, 1.0f}, {1920.0f, 30.0f, 1.0f}, TextureManager::kDefaultName);
}

void Level1Temp::ChooseSceneTwo()
{
    if (!built[1])
    {
        built[1] = true;
        GameObject& box = CreatePlaced({880.0f, 210.0f, 1.0f}, {20.0f, 50.0f, 0.0f});
        RigidBody body(box.id, kRock);
        body.SetStaticFriction(0.8f);
        body.SetDynamicFriction(0.5f);
        body.SetCanRotate(false);
        body.SetStatic(true);
        box.AddComponent(body);
        BoxCollider collider;
        box.AddComponent(collider);
        AddSprite(box, kWhite, Vector4{1.0f, 0.45f, 0.0f, 1.0f});
        sceneTwoBoxId = box.id;
        CreateFloor({640.0f, -100.0f, 1.0f}, {640.0f, 30.0f, 0.0f}, kWhite);
    }
    Transform* transform = LiveTransform(sceneTwoBoxId);
    RigidBody* body = LiveBody(sceneTwoBoxId);
    if (transform == nullptr || body == nullptr)
        return;
    transform->SetTranslation({880.0f, 210.0f, 1.0f});
    body->SetStatic(false);
    body->SetVelocity({-150.0f, 0.0f, 0.0f});
}

void Level1Temp::ChooseSceneThree()
{
    if (!built[2])
    {
        built[2] = true;
        for (std::size_t i = 0; i < kSceneThreeCount; ++i)
        {
            GameObject& box = CreatePlaced(SceneThreeStart(i), {20.0f, 50.0f, 0.0f});
            RigidBody body(box.id, kPillow);
            body.SetStaticFriction(20.0f);
            body.SetDynamicFriction(20.0f);
            body.SetStatic(true);
            box.AddComponent(body);
            BoxCollider collider;
            box.AddComponent(collider);
            const float share = static_cast<float>(i) / 25.0f;
            AddSprite(box, kWhite, Vector4{1.0f - share, 0.45f, share, 1.0f});
            sceneThreeIds.push_back(box.id);
        }
        CreateFloor({1500.0f, -100.0f, 1.0f}, {640.0f, 30.0f, 0.0f}, TextureManager::kDefaultName);
    }
    for (std::size_t i = 0; i < sceneThreeIds.size(); ++i)
    {
        // Released at rest: a held key would otherwise pile its speed up update after update.
        PlaceAtRest(sceneThreeIds[i], SceneThreeStart(i));
        if (RigidBody* body = LiveBody(sceneThreeIds[i]))
            body->SetStatic(false);
    }
}

void Level1Temp::ChooseSceneFour()
{
    if (built[3])
        return;
    built[3] = true;
    if (gGraphics != nullptr)
        field =
            std::make_unique<SpriteField>(gGraphics->GetShader("basic"), &TextureManager::GetTexture(kWhite));
}

void Level1Temp::ReadKeys()
{
    // The first held key of 1, 2, 3, 4, 5, Escape wins; holding repeats its action every update.
    if (IsKeyHeld('1'))
    {
        cameraTarget = {0.0f, 0.0f, 1.0f};
        BuildOrResetSceneOne(built[0]);
        cameraAngle = 0.0f;
        spinOn = false;
        fieldOn = false;
    }
    else if (IsKeyHeld('2'))
    {
        cameraTarget = {640.0f, 0.0f, 1.0f};
        ChooseSceneTwo();
        cameraAngle = 0.0f;
        spinOn = false;
        fieldOn = false;
    }
    else if (IsKeyHeld('3'))
    {
        cameraTarget = {1500.0f, 0.0f, 1.0f};
        ChooseSceneThree();
        spinOn = true;
        fieldOn = false;
    }
    else if (IsKeyHeld('4'))
    {
        cameraTarget = {3000.0f, 0.0f, 1.0f};
        ChooseSceneFour();
        spinOn = false;
        fieldOn = true;
    }
    else if (IsKeyHeld('5'))
        RequestStateClosingMenus(GameStateIndex::PhysicsTestState);
    else if (IsKeyHeld(27))
        RequestStateClosingMenus(kQuitRequest);
}
