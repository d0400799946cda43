#include "MainMenu.h"

#include "BackgroundRenderer.h"
#include "FrameRateManager.h"
#include "Graphics.h"
#include "MenuManagerObject.h"
#include "MenuScript.h"
#include "MenuSystem.h"
#include "ScreenLevels.h"
#include "SoundHooks.h"
#include "TextureManager.h"

#include <array>
#include <cstdint>

namespace
{
bool titlePlayed = false;
// GL_RGBA: the texture manager takes GL formats.
constexpr std::uint32_t kRgbaFormat = 0x1908;
} // namespace

bool MainMenu::TitlePlayed()
{
    return titlePlayed;
}

void MainMenu::Load()
{
    {
        // The first construction stores the script's prototype.
        MenuScript registration(MenuScript::kClassName);
    }
    if (gGraphics != nullptr && gGraphics->GetBackground() != nullptr)
        gGraphics->GetBackground()->SetTexture(&TextureManager::GetTexture(kBackgroundTexture));
}

void MainMenu::Init()
{
    if (gMenuSystem != nullptr)
    {
        gMenuSystem->menusEnabled = true;
        gMenuSystem->RunMenuBuilders();
    }
    SoundHooks::Play(kMusic);
    if (gMenuSystem != nullptr)
        gMenuSystem->PushMenu(MenuSystem::kMainMenu);
    // Kept as the game has it: every visit registers one more "Black"; lookups by name find the first.
    const std::array<std::uint8_t, 4> black{0, 0, 0, 255};
    TextureManager::CreateTexture(kBlackTexture, 1, 1, black.data(), kRgbaFormat);
    // The level replaces the built menus with its own; "Main Menu" stays open across the load.
    LoadScreenLevel(*this, kLevelName);
    if (gGraphics != nullptr)
        gGraphics->drawDebug = false;
    CreateMenuManagerObject();
    timer = 0.0f;
}

void MainMenu::Update(float dt)
{
    if (timer >= kTitleDelay && !titlePlayed)
    {
        SoundHooks::Play(kTitleSound);
        titlePlayed = true;
        return;
    }
    timer += dt;
}

void MainMenu::Exit()
{
    if (FrameRateManager::IsPaused())
        FrameRateManager::TogglePause();
    if (gMenuSystem != nullptr)
        gMenuSystem->CloseAllMenus();
    SoundHooks::Stop(kMusic);
    titlePlayed = false;
}
