#include "EditorLevels.h"

#include "BackgroundRenderer.h"
#include "BoxCollider.h"
#include "CircleCollider.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "Graphics.h"
#include "M2Level1.h"
#include "Renderer.h"
#include "RigidBody.h"
#include "TextureManager.h"
#include "Transform.h"
#include "TypeIds.h"

#include <string>

namespace
{
constexpr std::int32_t kWood = 1;
constexpr std::int32_t kSuperBall = 5;
constexpr std::int32_t kStatic = 7;
const Vector4 kNoTint{1.0f, 1.0f, 1.0f, 1.0f};

void SetBackground(const Vector4& tint)
{
    if (gGraphics == nullptr || gGraphics->GetBackground() == nullptr)
        return;
    BackgroundRenderer& background = *gGraphics->GetBackground();
    background.SetUseTime(false);
    background.SetTexture(&TextureManager::GetTexture(TextureManager::kWhitePixelName));
    background.GetMaterial().data.SetVector4("tint", tint);
}

GameObject& AddObject(const std::string& name, Tag tag, const Vector2& at, const Vector2& size,
                      const std::string& texture, const Vector4& tint)
{
    GameObject* object = gGameObjectFactory->CreateObject();
    object->SetName(name);
    object->tag = tag;
    Transform* transform = object->GetComponentAs<Transform>(ComponentTypeId::kTransform);
    transform->SetTranslation({at.x, at.y, 1.0f});
    transform->SetScale({size.x, size.y, 0.0f});
    Renderer sprite;
    sprite.SetUInt("texture", &TextureManager::GetTexture(texture));
    sprite.tint = tint;
    object->AddComponent(sprite);
    return *object;
}

void AddPlayer(const std::string& name, float x, const std::string& texture)
{
    // Standing on the floor: its top is at -200 and a player is 45 high.
    GameObject& player = AddObject(name, kTagPlayer, {x, -177.5f}, {25.0f, 45.0f}, texture, kNoTint);
    RigidBody body(player.id, kWood);
    body.SetCanRotate(false);
    player.AddComponent(body);
    BoxCollider box;
    box.SetResolution(true);
    player.AddComponent(box);
}

GameObject& AddBall(const Vector2& at, const std::string& texture)
{
    GameObject& ball = AddObject("Ball", kTagBall, at, {20.0f, 20.0f}, texture, kNoTint);
    CircleCollider circle;
    ball.AddComponent(circle);
    return ball;
}

void AddBlock(const std::string& name, Tag tag, const Vector2& at, const Vector2& size,
              const std::string& texture, const Vector4& tint)
{
    GameObject& block = AddObject(name, tag, at, size, texture, tint);
    RigidBody body(block.id, kStatic);
    body.SetStatic(true);
    block.AddComponent(body);
    BoxCollider box;
    block.AddComponent(box);
}

// The floor and the two side walls every editor level stands in.
void AddFrame(const std::string& floor, const Vector4& floorTint, const std::string& wall,
              const Vector4& wallTint)
{
    AddBlock("Floor", kTagPlatform, {0.0f, -220.0f}, {900.0f, 40.0f}, floor, floorTint);
    AddBlock("Left Wall", kTagSideWall, {-430.0f, 20.0f}, {40.0f, 440.0f}, wall, wallTint);
    AddBlock("Right Wall", kTagSideWall, {430.0f, 20.0f}, {40.0f, 440.0f}, wall, wallTint);
}
} // namespace

void BuildEditor0Level()
{
    M2Level1::MakeTextures();
    SetBackground({0.16f, 0.18f, 0.26f, 1.0f});
    AddPlayer("Left Player", -250.0f, "T_Player1");
    AddPlayer("Right Player", 250.0f, "T_Player2");
    GameObject& ball = AddBall({0.0f, -150.0f}, M2Level1::kBallTexture);
    // Light enough that a throw's impulse of 500 gives it 250 units a second (a SuperBall would weigh 120).
    RigidBody body(ball.id, kSuperBall);
    body.SetDensity(0.005f, 0.95f);
    ball.AddComponent(body);
    AddFrame("Tan", kNoTint, "Light Gray", kNoTint);
    AddBlock("Left Platform", kTagPlatform, {-150.0f, -80.0f}, {120.0f, 20.0f}, "Gray", kNoTint);
    AddBlock("Right Platform", kTagPlatform, {150.0f, -80.0f}, {120.0f, 20.0f}, "Gray", kNoTint);
    AddBlock("Middle Platform", kTagPlatform, {0.0f, 40.0f}, {120.0f, 20.0f}, "Gray", kNoTint);
}

void BuildEditor2Level()
{
    SetBackground({0.24f, 0.16f, 0.22f, 1.0f});
    AddPlayer("Left Player", -250.0f, "Astronaut_blue_side");
    AddPlayer("Right Player", 250.0f, "Astronaut_red_side");
    GameObject& ball = AddBall({0.0f, 100.0f}, "PurpleSpaceRock");
    RigidBody body(ball.id, kSuperBall);
    ball.AddComponent(body);
    const std::string white = TextureManager::kWhitePixelName;
    AddFrame(white, {0.55f, 0.5f, 0.45f, 1.0f}, white, {0.4f, 0.4f, 0.45f, 1.0f});
    const Vector4 ledge{0.35f, 0.55f, 0.6f, 1.0f};
    AddBlock("Left Ledge", kTagPlatform, {-260.0f, -120.0f}, {100.0f, 20.0f}, white, ledge);
    AddBlock("Right Ledge", kTagPlatform, {260.0f, -120.0f}, {100.0f, 20.0f}, white, ledge);
}
