#include "M2Level1.h"
#include "M2Level2.h"

#include "ColorTextures.h"
#include "RigidBody.h"
#include "TextureManager.h"

void M2Level1::Load()
{
    MakeTextures();
    LoadEditorFile();
}

void M2Level1::MakeTextures()
{
    // The match's set again on each visit; lookups keep finding the first "Balls", the asset scan's.
    LoadColorTextures();
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
