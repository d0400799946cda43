#include "MenuSystem.h"

#include "BehaviorSet.h"
#include "BehaviorTablesData.h"
#include "CCSM.h"
#include "CCSMFactory.h"
#include "Font.h"
#include "FrameRateManager.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameState.h"
#include "GameStateRequest.h"
#include "LevelHooks.h"
#include "MenuHooks.h"
#include "MenuButtonState.h"
#include "MenuScript.h"
#include "Renderer.h"
#include "SoundSystem.h"
#include "TextRenderer.h"
#include "Transform.h"
#include "TypeIds.h"
#include "WindowProvider.h"

#include <algorithm>
#include <memory>

MenuSystem* gMenuSystem = nullptr;

namespace
{
constexpr const char* kControlsPicture = "Controls";
constexpr const char* kControlsBackground = "ControlsBG";
constexpr const char* kLogo = "MM_Logo";
constexpr const char* kMainMenuArt[] = {"MM_Logo", "MM_Border", "MM_Border_Detail"};
constexpr const char* kYesButton = "Yes Button";
constexpr const char* kFullScreenButton = "Settings_FullScreen_Button";
constexpr const char* kMusicButton = "Settings_Music_Button";
constexpr const char* kSfxButton = "Settings_SFX_Button";
constexpr const char* kScriptName = "MenuScript";

constexpr const char* kAskMainMenu = "Are you sure you want to return to the main menu?";
constexpr const char* kAskQuit = "Are you sure you want to quit?";
constexpr const char* kAskRestart = "Are you sure you want to restart the game?";
constexpr const char* kAskCredits = "Are you sure you want to view the credits?";

constexpr std::int32_t kButtonPrefabOrder = 100;
constexpr Vector3 kPrefabPosition{0.0f, 0.0f, 1.0f};
constexpr Vector3 kButtonPrefabScale{200.0f, 100.0f, 1.0f};

// Action indices the builders and questions use.
enum : std::uint32_t
{
    actNone = 0,
    actDeselectLook = 2,
    actPlay = 3,
    actConfirmMainMenu = 4,
    actCloseMenu = 5,
    actConfirmQuit = 6,
    actOpenSettings = 7,
    actSettingsBack = 8,
    actToggleFullScreen = 9,
    actSelectLook = 10,
    actOpenControls = 11,
    actConfirmRestart = 12,
    actCredits = 13,
    actCloseControls = 14,
    actCloseDialog = 15,
    actQuit = 16,
    actMainMenu = 17,
    actRestart = 18,
    actGoToCredits = 19,
    actToggleMusic = 21,
    actToggleSfx = 22,
};


// The first live object of that name and tag, or null.
GameObject* FindTagged(const std::string& name, Tag tag)
{
    if (gGameObjectFactory == nullptr)
        return nullptr;
    for (GameObject* object : gGameObjectFactory->GetObjectsWithTag(tag))
        if (object->name == name)
            return object;
    return nullptr;
}

// Replaces a label keeping it centred where the shown one was: the text is laid out from the box's left
// edge, so a longer question would otherwise run off its panel to the right.
void SetLabel(GameObject* object, const std::string& label)
{
    if (object == nullptr)
        return;
    TextRenderer* text = GetTextRenderer(*object);
    if (text == nullptr)
        return;
    const float size = text->GetSize();
    const float shownWidth = MeasureText(text->GetText(), size).x;
    const float newWidth = MeasureText(label, size).x;
    const Vector2 bottomLeft = text->GetBottomLeft();
    const Vector2 topRight = text->GetTopRight();
    const float centre = bottomLeft.x + shownWidth / 2.0f;
    // Never narrower than the text, so it stays on one line.
    const float boxWidth = std::max(topRight.x - bottomLeft.x, newWidth + 1.0f);
    const float left = centre - newWidth / 2.0f;
    text->SetBottomLeft(Vector2{left, bottomLeft.y});
    text->SetTopRight(Vector2{left + boxWidth, topRight.y});
    text->SetText(label);
}

void SetTint(GameObject* button, const Vector4& tint)
{
    if (button == nullptr)
        return;
    if (Renderer* sprite = GetRenderer(*button))
        sprite->tint = tint;
}

bool InMainMenu()
{
    return GetCurrentGameState() == GameStateIndex::MainMenu;
}

bool InMatch()
{
    return GetCurrentGameState() == GameStateIndex::GameplayDemo;
}

void Unpause()
{
    if (FrameRateManager::IsPaused())
        FrameRateManager::TogglePause();
}

const char* OnOff(bool on)
{
    return on ? "On" : "Off";
}

std::string FullScreenLabel(bool full)
{
    return std::string("Full Screen: ") + OnOff(full);
}
std::string MusicLabel(bool on)
{
    return std::string("Music: ") + OnOff(on);
}
std::string SfxLabel(bool on)
{
    return std::string("SFX: ") + OnOff(on);
}

MenuSystem& Menus()
{
    return *gMenuSystem;
}

// Requests a state and closes every menu in the same step.
void SwitchTo(std::int32_t index)
{
    RequestGameState(index);
    if (gMenuSystem != nullptr)
        gMenuSystem->CloseAllMenus();
}

void Ask(const char* question, std::uint32_t yesAction)
{
    if (gMenuSystem != nullptr)
        gMenuSystem->ShowConfirmation(question, yesAction);
}

void OpenSettings()
{
    if (InMainMenu())
        SetSpriteAlpha(kLogo, 0.0f);
    SetLabel(FindMenuObject(kFullScreenButton), FullScreenLabel(WindowProvider::IsFullscreen(0)));
    SetLabel(FindMenuObject(kMusicButton), MusicLabel(SoundSystem::GetMusicVolume() != 0.0f));
    SetLabel(FindMenuObject(kSfxButton), SfxLabel(SoundSystem::GetSfxVolume() != 0.0f));
    Menus().PushMenu(MenuSystem::kSettingsMenu);
}

void OpenControls()
{
    if (InMainMenu())
    {
        Menus().PopMenu();
        SetSpriteAlpha(kControlsPicture, 1.0f);
        for (const char* art : kMainMenuArt)
            SetSpriteAlpha(art, 0.0f);
    }
    else
    {
        SetSpriteAlpha(kControlsPicture, 1.0f);
        SetSpriteAlpha(kControlsBackground, 1.0f);
    }
    Menus().PushMenu(MenuSystem::kControlsMenu);
}

void ToggleFullScreen(GameObject* button)
{
    const bool full = !WindowProvider::IsFullscreen(0);
    SetLabel(button, FullScreenLabel(full));
    WindowProvider::SetFullscreen(0, full);
}

void ToggleMusic(GameObject* button)
{
    const bool turnOn = SoundSystem::GetMusicVolume() == 0.0f;
    SoundSystem::SetMusicVolume(turnOn ? 1.0f : 0.0f);
    SetLabel(button, MusicLabel(turnOn));
}

void ToggleSfx(GameObject* button)
{
    const bool turnOn = SoundSystem::GetSfxVolume() == 0.0f;
    SoundSystem::SetSfxVolume(turnOn ? 1.0f : 0.0f);
    SetLabel(button, SfxLabel(turnOn));
}

// Adds a context's id when it is missing.
void Allow(CommandContext& context, CommandId id)
{
    if (std::find(context.allowedCommands.begin(), context.allowedCommands.end(), id) ==
        context.allowedCommands.end())
        context.allowedCommands.push_back(id);
}
} // namespace

MenuSystem::MenuSystem() : EngineSystem(estMenuSystem)
{
    PublishOnce(gMenuSystem, this);
    FillActionTable();
}

MenuSystem::~MenuSystem()
{
    UnpublishIfOwner(gMenuSystem, this);
}

void MenuSystem::FillActionTable()
{
    const auto closeMenu = [](GameObject*) { Menus().PopMenu(); };
    actions = {
        /* 0 */ [](GameObject*) {},
        /* 1 */ [](GameObject* b) { SetTint(b, Vector4{0.0f, 1.0f, 0.6f, 1.0f}); },
        /* 2 */
        [](GameObject* b) {
            if (b == nullptr)
                return;
            if (Renderer* sprite = GetRenderer(*b))
                sprite->tint = Vector4{0.3f, 0.2f, 0.3f, sprite->tint.w};
        },
        /* 3 */ [](GameObject*) { SwitchTo(GameStateIndex::GameplayDemo); },
        /* 4 */ [](GameObject*) { Ask(kAskMainMenu, actMainMenu); },
        /* 5 */ closeMenu,
        /* 6 */ [](GameObject*) { Ask(kAskQuit, actQuit); },
        /* 7 */ [](GameObject*) { OpenSettings(); },
        /* 8 */
        [](GameObject*) {
            if (InMainMenu())
                SetSpriteAlpha(kLogo, 1.0f);
            Menus().PopMenu();
        },
        /* 9 */ [](GameObject* b) { ToggleFullScreen(b); },
        /* 10 */ [](GameObject* b) { SetTint(b, Vector4{1.0f, 0.9f, 1.0f, 1.0f}); },
        /* 11 */ [](GameObject*) { OpenControls(); },
        /* 12 */ [](GameObject*) { Ask(kAskRestart, actRestart); },
        /* 13 */
        [](GameObject*) {
            if (InMatch())
                Ask(kAskCredits, actGoToCredits);
            else
                SwitchTo(GameStateIndex::CreditsScreen);
        },
        /* 14 */ closeMenu,
        /* 15 */ closeMenu,
        /* 16 */ [](GameObject*) { SwitchTo(kQuitRequest); },
        /* 17 */ [](GameObject*) { SwitchTo(GameStateIndex::MainMenu); },
        /* 18 */ [](GameObject*) { SwitchTo(kRestartRequest); },
        /* 19 */ [](GameObject*) { SwitchTo(GameStateIndex::CreditsScreen); },
        /* 20 */ MenuAction{},
        /* 21 */ [](GameObject* b) { ToggleMusic(b); },
        /* 22 */ [](GameObject* b) { ToggleSfx(b); },
    };
}

void MenuSystem::Init()
{
    {
        // The first construction stores the script's prototype.
        MenuScript registration(kScriptName);
    }
    MenuHooks::openMenus = [this] { return menuStack; };
    MenuHooks::pushMenu = [this](const std::string& name) { PushMenu(name); };
    MenuHooks::popMenu = [this] { PopMenu(); };
    MenuHooks::closeAllMenus = [this] { CloseAllMenus(); };
    MenuHooks::showConfirmation = [this](const std::string& question, std::uint32_t yesAction) {
        ShowConfirmation(question, yesAction);
    };
    LevelHooks& level = GetLevelHooks();
    level.closeAllMenus = [this] { CloseAllMenus(); };
    level.runMenuBuilders = [this] { RunMenuBuilders(); };
}

void MenuSystem::Exit()
{
    MenuHooks::Reset();
    LevelHooks& level = GetLevelHooks();
    level.closeAllMenus = nullptr;
    level.runMenuBuilders = nullptr;
}

void MenuSystem::Update(float dt)
{
    (void)dt;
    if (gGameObjectFactory == nullptr)
        return;
    const std::string top = TopMenu();
    for (GameObject* menu : gGameObjectFactory->GetObjectsWithTag(kTagMenu))
    {
        if (!menuStack.empty() && menu->name == top)
            continue;
        // The builders may add objects; the menu is looked up again by name.
        if (MenuScript* script = GetMenuScript(menu->name))
            script->Deactivate();
    }
    if (menuStack.empty())
        return;
    MenuScript* script = GetMenuScript(top);
    if (script != nullptr && script->GetSelectedIndex() == -1)
        script->Activate(true);
}

bool MenuSystem::IsOpen(const std::string& name) const
{
    return std::find(menuStack.begin(), menuStack.end(), name) != menuStack.end();
}

void MenuSystem::RunAction(std::uint32_t k, GameObject* button)
{
    if (k >= actions.size() || !actions[k])
        return;
    // A copy: an action may replace table entries (tests) while it runs.
    const MenuAction action = actions[k];
    action(button);
}

void MenuSystem::PushMenu(const std::string& name)
{
    const bool isDialog = name == kDialogName;
    if (!isDialog && (IsOpen(name) || !menusEnabled))
        return;
    // An entry that no object carries could never be shown or closed by its buttons.
    if (!isDialog && FindMenuObject(name) == nullptr)
        return;
    const bool dialogOnTop = TopMenu() == kDialogName;

    float frameTime = 0.0f;
    if (!menuStack.empty())
        if (MenuScript* previous = GetMenuScript(menuStack.back()))
        {
            frameTime = previous->GetLastFrameTime();
            previous->Deactivate();
        }
    menuStack.push_back(name);

    if (MenuScript* script = GetMenuScript(name))
    {
        script->Activate(true);
        // A menu opened during the match stops the game behind it.
        if (!FrameRateManager::IsPaused() && InMatch())
            FrameRateManager::TogglePause();
        if (frameTime != 0.0f)
            script->SetLastFrameTime(frameTime);
        if (dialogOnTop)
        {
            script->Deactivate();
            menuStack.push_back(kDialogName);
        }
    }
    SetObjectAlpha(FindMenuObject(name), 1.0f);
}

void MenuSystem::PopMenu()
{
    if (menuStack.empty())
        return;
    const std::string top = menuStack.back();
    GameObject* object = FindMenuObject(top);
    SetObjectAlpha(object, 0.0f);
    if (object != nullptr)
        if (MenuScript* script = GetMenuScript(top))
            script->Deactivate();

    if (object != nullptr && (top == kControlsMenu || top == kSettingsMenu))
    {
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
        menuStack.pop_back();

    if (menuStack.empty())
        Unpause();
    else if (MenuScript* script = GetMenuScript(menuStack.back()))
        script->Activate(true);
}

void MenuSystem::CloseAllMenus()
{
    Unpause();
    while (!menuStack.empty())
        PopMenu();
}

void MenuSystem::DisableMenus()
{
    if (!menusEnabled)
        return;
    menusEnabled = false;
    CloseAllMenus();
}

void MenuSystem::ShowConfirmation(std::string question, std::uint32_t yesAction)
{
    MenuScript* dialogScript = GetMenuScript(kDialogName);
    GameObject* dialog = FindMenuObject(kDialogName);
    if (dialogScript == nullptr || dialog == nullptr)
        return;
    SetLabel(dialog, question);
    MenuButtonState* yes = ButtonStateOf(FindTagged(kYesButton, kTagMenuButton));
    if (yes == nullptr)
        return;
    yes->pressAction = yesAction;
    PushMenu(kDialogName);
}

MenuScript* MenuSystem::GetMenuScript(const std::string& name)
{
    GameObject* menu = FindTagged(name, kTagMenu);
    if (menu == nullptr)
        return nullptr;
    if (menu->GetScriptAs<MenuScript>(ScriptTypeId::kMenuScript) == nullptr)
    {
        if (name == kMainMenu)
            BuildMainMenu();
        else if (name == kSettingsMenu)
            BuildSettingsMenu();
        else if (name == kPauseMenu)
            BuildPauseMenu();
        else if (name == kControlsMenu)
            BuildControlsMenu();
        else if (name == kDialogName)
            BuildConfirmationDialog();
        // The builders may have grown the object table; look the menu up again.
        menu = FindTagged(name, kTagMenu);
        if (menu == nullptr)
            return nullptr;
    }
    return menu->GetScriptAs<MenuScript>(ScriptTypeId::kMenuScript);
}

void MenuSystem::CreateMenuPrefab()
{
    auto prototype = std::make_unique<GameObject>();
    prototype->tag = kTagMenu;
    MenuScript script(kScriptName);
    Transform transform(kPrefabPosition.x, kPrefabPosition.y, kPrefabPosition.z);
    gGameObjectFactory->RegisterPrefab(kMenuPrefab, std::move(prototype), {&transform}, {&script});
}

void MenuSystem::CreateMenuButtonPrefab()
{
    if (gCCSMFactory != nullptr)
    {
        gCCSMFactory->AddBehaviorSet(
            BehaviorSet{kButtonBehavior, kStateMenuButtonMode, {Behavior{kStateMenuButtonMode, kButtonContext}}});
        gCCSMFactory->AddContext(CommandContext{
            kButtonContext, {kCommandSelectMenuButton, kCommandDeSelectMenuButton, kCommandPressMenuButton}});
    }
    auto prototype = std::make_unique<GameObject>();
    prototype->tag = kTagMenuButton;
    CCSM machine;
    Renderer sprite;
    sprite.material.SetOrder(kButtonPrefabOrder);
    sprite.material.needsRegistration = true;
    Transform transform(kPrefabPosition.x, kPrefabPosition.y, kPrefabPosition.z);
    transform.SetScale(kButtonPrefabScale);
    gGameObjectFactory->RegisterPrefab(kButtonPrefab, std::move(prototype), {&machine, &sprite, &transform}, {});
}

void MenuSystem::CreateMenuPrefabs()
{
    if (gGameObjectFactory == nullptr)
        return;
    if (gGameObjectFactory->FindPrefab(kMenuPrefab) == nullptr)
        CreateMenuPrefab();
    if (gGameObjectFactory->FindPrefab(kButtonPrefab) == nullptr)
        CreateMenuButtonPrefab();
    if (gCCSMFactory == nullptr)
        return;

    if (CommandContext* context = gCCSMFactory->FindContext(kButtonContext))
    {
        Allow(*context, kCommandPressMenuButton);
        Allow(*context, kCommandSelectMenuButton);
        Allow(*context, kCommandDeSelectMenuButton);
    }
    else
        gCCSMFactory->AddContext(CommandContext{
            kButtonContext, {kCommandSelectMenuButton, kCommandDeSelectMenuButton, kCommandPressMenuButton}});

    BehaviorTablesData tables = gCCSMFactory->GetTables();
    auto set = std::find_if(tables.sets.begin(), tables.sets.end(),
                            [](const BehaviorSetData& candidate) { return candidate.name == kButtonBehavior; });
    if (set == tables.sets.end())
    {
        gCCSMFactory->AddBehaviorSet(
            BehaviorSet{kButtonBehavior, kStateMenuButtonMode, {Behavior{kStateMenuButtonMode, kButtonContext}}});
        return;
    }
    const bool hasButtonState = std::any_of(set->entries.begin(), set->entries.end(), [](const BehaviorData& entry) {
        return entry.stateId == kStateMenuButtonMode;
    });
    if (hasButtonState)
        return;
    // Kept as the game has it: the entry is appended and also put in front.
    const BehaviorData buttonEntry{kStateMenuButtonMode, kButtonContext};
    set->entries.push_back(buttonEntry);
    set->initialStateId = kStateMenuButtonMode;
    set->entries.insert(set->entries.begin(), buttonEntry);
    gCCSMFactory->ReplaceTables(tables);
}

void MenuSystem::BuildMenu(const std::string& menuName, const std::vector<ButtonRow>& withScript,
                           const std::vector<ButtonRow>& withoutScript)
{
    CreateMenuPrefabs();
    if (gGameObjectFactory == nullptr)
        return;
    GameObject* menu = FindMenuObject(menuName);
    if (menu == nullptr)
    {
        menu = gGameObjectFactory->CreateFromPrefab(kMenuPrefab);
        if (menu == nullptr)
            return;
        menu->SetName(menuName);
    }
    const std::uint32_t menuId = menu->id;
    if (auto* script = menu->GetScriptAs<MenuScript>(ScriptTypeId::kMenuScript))
    {
        for (const ButtonRow& row : withScript)
            script->AddButton(row.name, kButtonTexture, row.press, row.select, row.deselect);
        script->Deactivate();
        return;
    }
    MenuScript script(kScriptName);
    for (const ButtonRow& row : withoutScript)
        script.AddButton(row.name, kButtonTexture, row.press, row.select, row.deselect);
    script.Deactivate();
    // AddButton may have grown the object table.
    if (GameObject* owner = gGameObjectFactory->GetObject(menuId))
        owner->AddScript(script);
}

void MenuSystem::BuildMainMenu()
{
    const std::vector<ButtonRow> rows{
        {"MM_Play_Button", actPlay, actSelectLook, actDeselectLook},
        {"MM_Controls_Button", actOpenControls, actSelectLook, actDeselectLook},
        {"MM_Settings_Button", actOpenSettings, actSelectLook, actDeselectLook},
        {"MM_Credits_Button", actCredits, actSelectLook, actDeselectLook},
        {"MM_Quit_Button", actConfirmQuit, actSelectLook, actDeselectLook},
    };
    BuildMenu(kMainMenu, rows, rows);
}

void MenuSystem::BuildSettingsMenu()
{
    const std::vector<ButtonRow> rows{
        {"Settings_FullScreen_Button", actToggleFullScreen, actSelectLook, actDeselectLook},
        {"Settings_Music_Button", actToggleMusic, actSelectLook, actDeselectLook},
        {"Settings_SFX_Button", actToggleSfx, actSelectLook, actDeselectLook},
        {"Settings_Back_Button", actSettingsBack, actSelectLook, actDeselectLook},
    };
    BuildMenu(kSettingsMenu, rows, rows);
}

void MenuSystem::BuildPauseMenu()
{
    // Kept as the game has it: a menu that has its script names two buttons with spaces, a new script
    // with underscores.
    auto rows = [](const char* resume, const char* quit) {
        return std::vector<ButtonRow>{
            {resume, actCloseMenu, actSelectLook, actDeselectLook},
            {"Restart_Button", actConfirmRestart, actSelectLook, actDeselectLook},
            {"Controls_Button", actOpenControls, actSelectLook, actDeselectLook},
            {"Options_Button", actOpenSettings, actSelectLook, actDeselectLook},
            {"Credits_Button", actCredits, actSelectLook, actDeselectLook},
            {quit, actConfirmMainMenu, actSelectLook, actDeselectLook},
            {"QuitGame_Button", actConfirmQuit, actSelectLook, actDeselectLook},
        };
    };
    BuildMenu(kPauseMenu, rows("Resume Button", "Quit Button"), rows("Resume_Button", "Quit_Button"));
}

void MenuSystem::BuildControlsMenu()
{
    const std::vector<ButtonRow> rows{{"Return_Button", actCloseControls, actNone, actNone}};
    BuildMenu(kControlsMenu, rows, rows);
}

void MenuSystem::BuildConfirmationDialog()
{
    const std::vector<ButtonRow> rows{
        {"No Button", actCloseDialog, actSelectLook, actDeselectLook},
        {kYesButton, actNone, actSelectLook, actDeselectLook},
    };
    BuildMenu(kDialogName, rows, rows);
}

void MenuSystem::RunMenuBuilders()
{
    CreateMenuPrefabs();
    BuildMainMenu();
    BuildSettingsMenu();
    BuildPauseMenu();
    BuildControlsMenu();
    BuildConfirmationDialog();
}
