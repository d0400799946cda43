#include "M2Level1.h"
#include "M2Level2.h"

#include "MissingColors.h"
#include "RigidBody.h"
#include "TextureManager.h"

namespace
{
constexpr std::uint32_t kRgbaFormat = 0x1908; // GL_RGBA
} // namespace

void M2Level1::Load()
{
    MakeTextures();
    LoadEditorFile();
}

void M2Level1::MakeTextures()
{
    // The match's set: the placeholder, the eleven colours and both players, made again on each visit.
    TextureManager::CreateTexture(TextureManager::kDefaultName, TextureManager::kInvalidSize,
                                  TextureManager::kInvalidSize, nullptr, kRgbaFormat);
    for (const NamedColorTexture& color : MatchColorTextures())
        TextureManager::CreateTexture(color.name, 1, 1, color.rgba.data(), kRgbaFormat);
    TextureManager::LoadTexture("T_Player1", "Assets/Astronaut_blue_side.png");
    TextureManager::LoadTexture("T_Player2", "Assets/Astronaut_red_side.png");
    // Lookups keep finding the first "Balls", which the asset scan may already hold.
    TextureManager::LoadTexture(kBallTexture, kBallFile);
}

void M2Level1::LaunchBall(RigidBody& ballBody, float holderVelocityX)
{
    Vector3 impulse{ballBody.GetVelocity().x, -200.0f, 0.0f};
    if (holderVelocityX > 0.0f)
        impulse = {500.0f, 200.0f, 0.0f};
    else if (holderVelocityX < 0.0f)
        impulse = {-500.0f, 200.0f, 0.0f};
    // At the centre: the velocity changes by impulse times inverse mass, the spin not at all.
    ballBody.ApplyImpulse(impulse, {0.0f, 0.0f, 0.0f});
}

void M2Level2::LaunchBall(RigidBody& ballBody, float holderVelocityX)
{
    if (holderVelocityX > 0.0f)
        ballBody.SetVelocity({300.0f, 200.0f, 0.0f});
    else if (holderVelocityX < 0.0f)
        ballBody.SetVelocity({-300.0f, 200.0f, 0.0f});
    else
    {
        Vector3 velocity = ballBody.GetVelocity();
        velocity.y = -200.0f;
        ballBody.SetVelocity(velocity);
    }
}
