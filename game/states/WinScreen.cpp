#include "WinScreen.h"

#include "GameStateRequest.h"
#include "InputSystem.h"
#include "MenuManagerObject.h"
#include "MenuSystem.h"
#include "ScreenLevels.h"
#include "SoundHooks.h"

#include <algorithm>

namespace
{
constexpr std::int32_t kEscape = 27;

void SwitchTo(std::int32_t index)
{
    RequestGameState(index);
    if (gMenuSystem != nullptr)
        gMenuSystem->CloseAllMenus();
}
} // namespace

void WinScreen::Init()
{
    LoadScreenLevel(*this, levelName);
    CreateMenuManagerObject();
    if (gMenuSystem != nullptr)
        gMenuSystem->DisableMenus();
    SoundHooks::Play(kMusic);
}

void WinScreen::Update(float dt)
{
    (void)dt;
    if (gInputSystem == nullptr)
        return;
    const std::vector<std::int32_t>& held = gInputSystem->keysDown;
    // Kept as the game has it: Esc counts while held, so Esc held from the match returns at once.
    if (std::find(held.begin(), held.end(), kEscape) != held.end())
    {
        SwitchTo(GameStateIndex::MainMenu);
        return;
    }
    if (gMenuSystem != nullptr && gMenuSystem->TopMenu() == MenuSystem::kDialogName)
        return;
    if (!gInputSystem->keysTriggered.empty() || !gInputSystem->controllers[0].buttonsTriggered.empty() ||
        !gInputSystem->controllers[1].buttonsTriggered.empty())
        SwitchTo(GameStateIndex::CreditsScreen);
}

void WinScreen::Exit()
{
    SoundHooks::Stop(kMusic);
}
