#include "MenuSystem.h"

#include "FrameRateManager.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameState.h"
#include "GameStateManager.h"
#include "GameStateRequest.h"
#include "MenuHooks.h"
#include "Renderer.h"
#include "TextRenderer.h"
#include "TypeIds.h"

#include <algorithm>

MenuSystem* gMenuSystem = nullptr;

namespace
{
constexpr const char* kMainMenu = "Main Menu";
constexpr const char* kPauseMenu = "Pause Menu";
constexpr const char* kSettingsMenu = "Settings Menu";
constexpr const char* kControlsMenu = "Controls Menu";
constexpr const char* kControlsPicture = "Controls";
constexpr const char* kControlsBackground = "ControlsBG";
constexpr const char* kMainMenuArt[] = {"MM_Logo", "MM_Border", "MM_Border_Detail"};

GameObject* FindObject(const std::string& name)
{
    return gGameObjectFactory != nullptr ? gGameObjectFactory->GetObjectByName(name) : nullptr;
}

// Shows (alpha 1) or hides (alpha 0) an object's sprite and text, keeping their colours.
void SetObjectAlpha(GameObject* object, float alpha)
{
    if (object == nullptr)
        return;
    if (Renderer* sprite = GetRenderer(*object))
        sprite->tint.w = alpha;
    if (auto* text = object->GetComponentAs<TextRenderer>(ComponentTypeId::kTextRenderer))
    {
        Vector4 tint = text->GetTint();
        tint.w = alpha;
        text->SetTint(tint);
    }
}

// Shows or hides a decoration object's sprite only.
void SetSpriteAlpha(const std::string& name, float alpha)
{
    GameObject* object = FindObject(name);
    if (object == nullptr)
        return;
    if (Renderer* sprite = GetRenderer(*object))
        sprite->tint.w = alpha;
}

bool InMainMenu()
{
    return gGameStateManager != nullptr && gGameStateManager->GetCurrentIndex() == GameStateIndex::MainMenu;
}

void Unpause()
{
    if (FrameRateManager::IsPaused())
        FrameRateManager::TogglePause();
}
} // namespace

MenuSystem::MenuSystem() : EngineSystem(estMenuSystem)
{
    PublishOnce(gMenuSystem, this);
}

MenuSystem::~MenuSystem()
{
    UnpublishIfOwner(gMenuSystem, this);
}

void MenuSystem::Init()
{
    MenuHooks::openMenus = [this] { return menuStack; };
    MenuHooks::pushMenu = [this](const std::string& name) { PushMenu(name); };
    MenuHooks::popMenu = [this] { PopMenu(); };
    MenuHooks::closeAllMenus = [this] { CloseAllMenus(); };
    MenuHooks::showConfirmation = [this](const std::string& question, std::uint32_t yesAction) {
        ShowConfirmation(question, yesAction);
    };
}

void MenuSystem::Exit()
{
    MenuHooks::Reset();
}

void MenuSystem::PushMenu(const std::string& name)
{
    const bool isDialog = name == kDialogName;
    const bool isOpen = std::find(menuStack.begin(), menuStack.end(), name) != menuStack.end();
    if (!isDialog && (isOpen || !menusEnabled))
        return;
    GameObject* object = FindObject(name);
    // An entry that no object carries could never be shown; the dialog is the one exception.
    if (!isDialog && object == nullptr)
        return;
    menuStack.push_back(name);
    SetObjectAlpha(object, 1.0f);
    // A menu opened during the match stops the game behind it.
    if (GetCurrentGameState() == GameStateIndex::GameplayDemo && !FrameRateManager::IsPaused())
        FrameRateManager::TogglePause();
}

void MenuSystem::PopMenu()
{
    if (menuStack.empty())
        return;
    const std::string top = menuStack.back();
    SetObjectAlpha(FindObject(top), 0.0f);

    if (top == kControlsMenu || top == kSettingsMenu)
    {
        // Both return to the menu beneath them: the main menu's art, or the pause menu elsewhere.
        if (InMainMenu())
        {
            SetSpriteAlpha(kControlsPicture, 0.0f);
            for (const char* art : kMainMenuArt)
                SetSpriteAlpha(art, 1.0f);
            menuStack.pop_back();
            PushMenu(kMainMenu);
        }
        else
        {
            SetSpriteAlpha(kControlsPicture, 0.0f);
            SetSpriteAlpha(kControlsBackground, 0.0f);
            menuStack.pop_back();
            PushMenu(kPauseMenu);
        }
    }
    else
    {
        menuStack.pop_back();
    }

    if (menuStack.empty())
        Unpause();
}

void MenuSystem::CloseAllMenus()
{
    Unpause();
    while (!menuStack.empty())
        PopMenu();
}

void MenuSystem::ShowConfirmation(std::string question, std::uint32_t yesAction)
{
    // The answer buttons come with the menus themselves; until then the question is only shown.
    (void)yesAction;
    GameObject* dialog = FindObject(kDialogName);
    if (dialog == nullptr)
        return;
    if (auto* text = dialog->GetComponentAs<TextRenderer>(ComponentTypeId::kTextRenderer))
        text->SetText(question);
    PushMenu(kDialogName);
}
