#include "GameManagerStates.h"

#include "FrameRateManager.h"
#include "GameController.h"
#include "GameStateRequest.h"
#include "InputSystem.h"
#include "MenuHooks.h"
#include "PlayerEffects.h"
#include "SoundSystem.h"
#include "UpdateCounter.h"
#include "WindowProvider.h"
#include "WindowRecord.h"

bool gFullscreenSetting = false;

namespace
{
constexpr std::int32_t kMatchState = 3;
constexpr std::int32_t kFirstVictoryState = 6;
constexpr std::int32_t kSecondVictoryState = 7;
constexpr std::int32_t kMainMenuState = 8;
constexpr std::int32_t kCreditsState = 11;
constexpr std::int32_t kLeftShiftKey = 1073742049;
constexpr std::int32_t kF11Key = 1073741892;
constexpr std::uint32_t kQuitAction = 16;
constexpr const char* kQuitQuestion = "Are you sure you want to quit?";
constexpr const char* kPauseMenu = "Pause Menu";
constexpr const char* kMainMenu = "Main Menu";
constexpr const char* kLevelTimerName = "LevelTimer";

// The update whose pause input and shortcuts ran already: two play states (the credits hold two) must not
// toggle twice.
std::uint64_t lastInputUpdate = ~std::uint64_t{0};

bool KeyTriggered(std::int32_t key)
{
    return gInputSystem != nullptr && gInputSystem->IsKeyTriggered(key);
}

bool PauseInput()
{
    if (gInputSystem == nullptr)
        return false;
    return gInputSystem->IsKeyTriggered(InputSystem::kEscapeKey) ||
           gInputSystem->IsControllerButtonTriggered(GameController::kStartButton, 0) ||
           gInputSystem->IsControllerButtonTriggered(GameController::kStartButton, 1);
}

// A closed window comes back with the question; only a yes ends the game.
void AskBeforeQuitting()
{
    if (WindowProvider::GetMainWindow() == nullptr || WindowProvider::IsWindowVisible(0))
        return;
    WindowProvider::SetWindowVisible(0, true);
    MenuHooks::ShowConfirmation(kQuitQuestion, kQuitAction);
}

void PauseWhenAway()
{
    const WindowRecord* window = WindowProvider::GetMainWindow();
    if (window == nullptr || GetCurrentGameState() != kMatchState)
        return;
    if (window->minimised)
        MenuHooks::PushMenu(kPauseMenu);
    if (!window->focused)
        MenuHooks::PushMenu(kPauseMenu);
}

void HandlePauseInput()
{
    if (!PauseInput())
        return;
    if (GetCurrentGameState() == kMainMenuState)
    {
        if (MenuHooks::AnyOpen() && MenuHooks::Top() != kMainMenu)
            MenuHooks::PopMenu();
        return;
    }
    if (MenuHooks::IsOpen(kPauseMenu))
        MenuHooks::PopMenu();
    else
        MenuHooks::PushMenu(kPauseMenu);
}

// Leaving for another screen: unpaused and with no menu left open.
void LeaveFor(std::int32_t state)
{
    if (FrameRateManager::IsPaused())
        FrameRateManager::TogglePause();
    MenuHooks::CloseAllMenus();
    RequestGameState(state);
}

void HandleShortcuts()
{
    if (KeyTriggered(kF11Key))
    {
        gFullscreenSetting = !WindowProvider::IsFullscreen(0);
        WindowProvider::SetFullscreen(0, gFullscreenSetting);
    }
    if (gInputSystem == nullptr || !gInputSystem->IsKeyDown(kLeftShiftKey))
        return;
    if (KeyTriggered('2'))
        FrameRateManager::SetTimer(kLevelTimerName, 2.0f);
    if (KeyTriggered('3'))
        LeaveFor(kCreditsState);
    if (KeyTriggered('4'))
        LeaveFor(kFirstVictoryState);
    if (KeyTriggered('5'))
        LeaveFor(kSecondVictoryState);
    if (KeyTriggered('6'))
        TogglePlayerEffects();
    if (KeyTriggered('7'))
        SoundSystem::SetMusicVolume(0.0f);
    if (KeyTriggered('8'))
        SoundSystem::SetMusicVolume(1.0f);
}
} // namespace

std::unique_ptr<State> GameManagerStateEditor::Clone(const std::string& contextName) const
{
    auto copy = std::make_unique<GameManagerStateEditor>(*this);
    copy->TakeContext(contextName);
    return copy;
}

std::unique_ptr<State> GameManagerStatePlay::Clone(const std::string& contextName) const
{
    auto copy = std::make_unique<GameManagerStatePlay>(*this);
    copy->TakeContext(contextName);
    return copy;
}

void GameManagerStatePlay::Enter()
{
    // A second window only ever serves an editor.
    if (WindowProvider::GetWindowWidth(1) > 0)
        WindowProvider::SetWindowVisible(1, false);
    WindowProvider::ShowAndMaximize();
    WindowProvider::HideCursor();
    WindowProvider::SetFullscreen(0, gFullscreenSetting);
}

void GameManagerStatePlay::Update(float)
{
    if (WindowProvider::GetMainWindow() != nullptr)
        gFullscreenSetting = WindowProvider::IsFullscreen(0);
    AskBeforeQuitting();
    PauseWhenAway();
    const bool firstThisUpdate = lastInputUpdate != GetEngineUpdateCount();
    lastInputUpdate = GetEngineUpdateCount();
    if (firstThisUpdate)
        HandlePauseInput();
    AskBeforeQuitting();
    if (firstThisUpdate)
        HandleShortcuts();
}

void ResetPlayStateInputStamp()
{
    lastInputUpdate = ~std::uint64_t{0};
}
