#include "MainMenu.h"

#include "BackgroundRenderer.h"
#include "GameStateRequest.h"
#include "Graphics.h"
#include "MenuManagerObject.h"
#include "MenuSystem.h"
#include "TextureManager.h"
#include "WindowProvider.h"

void MainMenu::Init()
{
    if (gGraphics != nullptr && gGraphics->GetBackground() != nullptr)
    {
        BackgroundRenderer& background = *gGraphics->GetBackground();
        background.SetTexture(&TextureManager::GetTexture(kBackgroundTexture));
        background.GetMaterial().data.SetVector4("tint", Vector4{0.12f, 0.12f, 0.16f, 1.0f});
    }
    CreateMenuManagerObject();
}

void MainMenu::Update(float dt)
{
    (void)dt;
    // The close flag is never cleared, so a close asked for during the splash screens counts here.
    if (WindowProvider::IsCloseRequested(0))
    {
        RequestGameState(kQuitRequest);
        if (gMenuSystem != nullptr)
            gMenuSystem->CloseAllMenus();
    }
}
