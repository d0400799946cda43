#include "TorvaneSplashScreen.h"

#include "BackgroundRenderer.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStateRequest.h"
#include "Graphics.h"
#include "MenuManagerObject.h"
#include "MenuSystem.h"
#include "Renderer.h"
#include "SoundHooks.h"
#include "TextureManager.h"
#include "Transform.h"
#include "TypeIds.h"

namespace
{
// The logo image's size in pixels; it is drawn at half of it, measured against the 1920 x 1080 layout
// the game is designed for, whatever the window's size (the view is fixed in world units).
constexpr float kLogoWidth = 1024.0f;
constexpr float kLogoHeight = 247.0f;
constexpr float kLogoScale = 0.5f;

// Per-update fade steps: they were tuned per update, not per second, so pausing does not freeze them.
Vector4 FadeTowardsOne(Vector4 colour)
{
    colour.x = colour.x * 0.95f + 0.05f;
    colour.y = colour.y * 0.95f + 0.05f;
    colour.z = colour.z * 0.95f + 0.05f;
    colour.w = colour.w * 0.95f + 0.05f;
    return colour;
}

Vector4 FadeTowardsZero(Vector4 colour)
{
    colour.x *= 0.98f;
    colour.y *= 0.98f;
    colour.z *= 0.98f;
    colour.w *= 0.98f;
    return colour;
}
} // namespace

GameObject* TorvaneSplashScreen::GetLogo() const
{
    return logoId != 0 && gGameObjectFactory != nullptr ? gGameObjectFactory->GetObject(logoId) : nullptr;
}

Renderer* TorvaneSplashScreen::LogoRenderer() const
{
    GameObject* logo = GetLogo();
    return logo != nullptr ? GetRenderer(*logo) : nullptr;
}

void TorvaneSplashScreen::Load()
{
    logoId = 0;
    GameObject* object = gGameObjectFactory->CreateObject();
    Renderer sprite;
    Texture& texture = TextureManager::GetTexture(kLogoTexture);
    sprite.SetUInt("texture", &texture);
    sprite.SetUInt("emissiveTexture", &texture);
    object->AddComponent(sprite);
    logoId = object->id;
}

void TorvaneSplashScreen::Init()
{
    // A re-entry replays the whole screen.
    timer = 0.0f;
    fadeIn = Vector4{};
    fadeOut = Vector4{};
    fadeOutStarted = false;

    // A Load that failed (no texture manager, for instance) left no logo; the screen still times out.
    GameObject* logo = GetLogo();
    Transform* transform =
        logo != nullptr ? logo->GetComponentAs<Transform>(ComponentTypeId::kTransform) : nullptr;
    Renderer* logoRenderer = LogoRenderer();
    if (logoRenderer != nullptr)
        logoRenderer->tint = Vector4{1.0f, 1.0f, 1.0f, 1.0f};
    if (transform != nullptr)
        transform->SetScale(Vector3{kLogoWidth * kLogoScale, kLogoHeight * kLogoScale, 0.0f});
    SoundHooks::Play(kSound);
    CreateMenuManagerObject();

    // Menus stay shut until the main menu allows them again.
    if (gMenuSystem != nullptr)
        gMenuSystem->DisableMenus();
}

void TorvaneSplashScreen::Update(float dt)
{
    // The background stays black and transparent behind the logo.
    if (gGraphics != nullptr && gGraphics->GetBackground() != nullptr)
        gGraphics->GetBackground()->GetMaterial().data.SetVector4("tint", Vector4{});

    Renderer* logoRenderer = LogoRenderer();
    if (timer < kFadeInEnd)
    {
        fadeIn = FadeTowardsOne(fadeIn);
        if (logoRenderer != nullptr)
            logoRenderer->tint = fadeIn;
    }
    else if (timer >= kFadeOutStart)
    {
        if (!fadeOutStarted && logoRenderer != nullptr)
            fadeOut = logoRenderer->tint;
        fadeOutStarted = true;
        fadeOut = FadeTowardsZero(fadeOut);
        if (logoRenderer != nullptr)
            logoRenderer->tint = fadeOut;
    }

    if (timer >= kDuration)
    {
        RequestGameState(GameStateIndex::GameSplashScreen);
        if (gMenuSystem != nullptr)
            gMenuSystem->CloseAllMenus();
    }
    timer += dt;
}

void TorvaneSplashScreen::Exit()
{
    SoundHooks::Stop(kSound);
}
