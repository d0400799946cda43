#include "CreditsScreen.h"

#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStateRequest.h"
#include "Graphics.h"
#include "InputRecording.h"
#include "InputSystem.h"
#include "MatchWorld.h"
#include "MenuManagerObject.h"
#include "MenuSystem.h"
#include "PostProcessingDefaults.h"
#include "Renderer.h"
#include "SoundSystem.h"
#include "StatUtilities.h"
#include "TextureManager.h"
#include "Transform.h"
#include "TypeIds.h"
#include "WindowProvider.h"

#include <exception>
#include <iostream>

namespace
{
// The column's width: 2560 / 1920 of a quarter of the reference width, so it is the same 640 units in
// every window, as the splash screens measure against the 1920 x 1080 layout.
constexpr float kImageWidth = 2560.0f / 1920.0f * WindowProvider::kReferenceWidth * 0.25f;
constexpr Vector4 kUntinted{1.0f, 1.0f, 1.0f, 1.0f};

// Kept for the whole run on purpose: a second visit restores the volume saved on the first, and starts
// its fade from where the first fade left the colour and the volume.
struct RunValues
{
    bool masterSaved = false;
    float savedMaster = 1.0f;
    bool fadeStarted = false;
    Vector4 fadeColour;
    float fadeVolume = 0.0f;
};
RunValues run;

bool LeaveRequested()
{
    if (gInputSystem == nullptr)
        return false;
    return gInputSystem->IsKeyTriggered(InputSystem::kEscapeKey) ||
           gInputSystem->IsControllerButtonTriggered(GameController::kStartButton, 0) ||
           gInputSystem->IsControllerButtonTriggered(GameController::kStartButton, 1);
}

Vector4 Faded(Vector4 colour)
{
    colour.x *= CreditsScreen::kFadeStep;
    colour.y *= CreditsScreen::kFadeStep;
    colour.z *= CreditsScreen::kFadeStep;
    colour.w *= CreditsScreen::kFadeStep;
    return colour;
}
} // namespace

void CreditsScreen::ResetRunValues()
{
    run = RunValues{};
}

void CreditsScreen::Load()
{
    BuildMatchWorld();
}

void CreditsScreen::Init()
{
    // A broken level leaves the built arena; the screen still runs its course.
    try
    {
        LoadLevel(kLevelName);
    }
    catch (const std::exception& error)
    {
        std::cout << "ERROR: level " << kLevelName << " failed to load: " << error.what() << "\n";
    }
    StartReplay();
    SoundSystem::PlaySound(kMusic);
    WritePostProcessingGrade(CreditsGrade());
    CreateCreditsObject();
    CreateMenuManager();
    fadeTimer = 0.0f;
    if (gMenuSystem != nullptr)
        gMenuSystem->DisableMenus();
}

void CreditsScreen::CreateCreditsObject()
{
    creditsId = 0;
    creditsTransform = nullptr;
    creditsRenderer = nullptr;
    if (gGameObjectFactory == nullptr)
        return;
    GameObject* object = gGameObjectFactory->CreateObject();
    Renderer sprite = gGraphics != nullptr ? Renderer(gGraphics->GetMaterial(Graphics::dmBasic)) : Renderer();
    sprite.tint = kUntinted;
    sprite.depth = kImageDepth;
    sprite.SetUInt("texture", &TextureManager::GetTexture(kTexture));
    object->AddComponent(sprite);
    object->SetName(kImageName);
    if (auto* transform = object->GetComponentAs<Transform>(ComponentTypeId::kTransform))
    {
        transform->SetScale(Vector3{kImageWidth, kImageHeight, 0.0f});
        transform->SetTranslation(Vector3{0.0f, kStartY, 1.0f});
    }
    creditsId = object->id;
}

void CreditsScreen::CreateMenuManager()
{
    managerId = 0;
    if (gGameObjectFactory == nullptr)
        return;
    GameObject* manager = CreateMenuManagerObject();
    manager->SetName(kManagerName);
    managerId = manager->id;
}

bool CreditsScreen::CacheCreditsParts()
{
    // Looked up by id every time: a module may destroy the column, and its id may come back as another
    // object's.
    GameObject* credits = Live(creditsId);
    creditsTransform =
        credits != nullptr ? credits->GetComponentAs<Transform>(ComponentTypeId::kTransform) : nullptr;
    creditsRenderer = credits != nullptr ? GetRenderer(*credits) : nullptr;
    return creditsTransform != nullptr && creditsRenderer != nullptr;
}

void CreditsScreen::Update(float dt)
{
    if (!run.masterSaved)
    {
        run.savedMaster = SoundSystem::GetMasterVolume();
        run.masterSaved = true;
    }
    if (LeaveRequested())
        EndScreen();
    if (!CacheCreditsParts())
        return;
    if (creditsTransform->GetTranslation().y <= kScrollEndY)
        Scroll(dt);
    else
        Fade(dt);
}

void CreditsScreen::Scroll(float dt)
{
    Vector3 translation = creditsTransform->GetTranslation();
    translation.y += kScrollSpeed * dt;
    creditsTransform->SetTranslation(translation);
}

void CreditsScreen::Fade(float dt)
{
    fadeTimer += dt;
    if (!run.fadeStarted)
    {
        run.fadeColour = creditsRenderer->tint;
        run.fadeVolume = run.savedMaster;
        run.fadeStarted = true;
    }
    run.fadeColour = Faded(run.fadeColour);
    run.fadeVolume *= kFadeStep;
    creditsRenderer->tint = run.fadeColour;
    SoundSystem::SetMasterVolume(run.fadeVolume);
    if (fadeTimer > kFadeDuration)
        EndScreen();
}

void CreditsScreen::ResetScreen()
{
    if (CacheCreditsParts())
    {
        creditsTransform->SetTranslation(Vector3{0.0f, kStartY, 1.0f});
        creditsRenderer->tint = kUntinted;
    }
    StopReplay();
    // Stops at once: the event has no fade-out, so nothing comes back when the volume is restored.
    SoundSystem::StopSound(kMusic);
    ResetPostProcessingDefaults();
    fadeTimer = 0.0f;
}

void CreditsScreen::EndScreen()
{
    ResetScreen();
    SoundSystem::SetMasterVolume(run.savedMaster);
    RequestGameState(GameStateIndex::MainMenu);
    if (gMenuSystem != nullptr)
        gMenuSystem->CloseAllMenus();
}

void CreditsScreen::Exit()
{
    ResetScreen();
    creditsId = 0;
    managerId = 0;
    creditsTransform = nullptr;
    creditsRenderer = nullptr;
}
