#include "GameSplashScreen.h"

#include "BackgroundRenderer.h"
#include "GameStateRequest.h"
#include "Graphics.h"
#include "InputSystem.h"
#include "MenuManagerObject.h"
#include "MenuSystem.h"
#include "SoundHooks.h"
#include "TextureManager.h"

namespace
{
constexpr const char* kTintInput = "tint";

bool AnythingReleased()
{
    if (gInputSystem == nullptr)
        return false;
    return !gInputSystem->keysReleased.empty() || !gInputSystem->controllers[0].buttonsReleased.empty() ||
           !gInputSystem->controllers[1].buttonsReleased.empty();
}
} // namespace

void GameSplashScreen::Load()
{
    background = gGraphics != nullptr ? gGraphics->GetBackground() : nullptr;
}

void GameSplashScreen::Init()
{
    if (background != nullptr)
        background->SetTexture(&TextureManager::GetTexture(kPicture));
    timer = 0.0f;
    fadeIn = Vector4{};
    SoundHooks::Play(kSound);
    CreateMenuManagerObject();
}

void GameSplashScreen::Update(float dt)
{
    // The background is opaque, so only the colour fades; its alpha stays as it is.
    if (timer < kFadeInEnd)
    {
        fadeIn.x = fadeIn.x * 0.95f + 0.05f;
        fadeIn.y = fadeIn.y * 0.95f + 0.05f;
        fadeIn.z = fadeIn.z * 0.95f + 0.05f;
        if (background != nullptr)
            background->GetMaterial().data.SetVector4(kTintInput, fadeIn);
    }
    else if (timer >= kFadeOutStart && background != nullptr)
    {
        Vector4 tint = background->GetMaterial().data.GetVector4(kTintInput).value_or(Vector4{});
        tint.x *= 0.98f;
        tint.y *= 0.98f;
        tint.z *= 0.98f;
        background->GetMaterial().data.SetVector4(kTintInput, tint);
    }

    if (timer >= kDuration || AnythingReleased())
    {
        RequestGameState(GameStateIndex::MainMenu);
        if (gMenuSystem != nullptr)
            gMenuSystem->CloseAllMenus();
    }
    timer += dt;
}

void GameSplashScreen::Exit()
{
    SoundHooks::Stop(kSound);
}
