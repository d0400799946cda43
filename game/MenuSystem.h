#pragma once
#include "EngineSystem.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class GameObject;
class MenuScript;

// A menu action: what a button does to itself and the game when it is selected, deselected or pressed.
using MenuAction = std::function<void(GameObject*)>;

// The menus' engine system, the last one: the table of menu actions that buttons run, whether menus may
// open, and the stack of open menus by name (the top at the end). Only the top menu takes input. Menus and
// buttons are ordinary objects found by name; the builders complete them after every level load and make
// the missing ones from two prefabs.
class MenuSystem : public EngineSystem
{
  public:
    static constexpr const char* kDialogName = "CDA";
    static constexpr const char* kMainMenu = "Main Menu";
    static constexpr const char* kSettingsMenu = "Settings Menu";
    static constexpr const char* kPauseMenu = "Pause Menu";
    static constexpr const char* kControlsMenu = "Controls Menu";
    static constexpr const char* kMenuPrefab = "Menu Prefab";
    static constexpr const char* kButtonPrefab = "Menu Button Prefab";
    static constexpr const char* kButtonContext = "Button Context";
    static constexpr const char* kButtonBehavior = "Button Behavior";
    static constexpr const char* kButtonTexture = "MenuButtonBase";
    static constexpr std::size_t kActionCount = 23;

    MenuSystem();
    ~MenuSystem() override;

    // Registers the menu script's prototype and fills MenuHooks and the level hooks' menu members.
    void Init() override;
    // Activates the top menu's script and deactivates every other menu's; runs after the scripts.
    void Update(float dt) override;
    // Clears the hooks it filled.
    void Exit() override;

    // Opens the named menu: an enabled menu not already open, or the dialog at any time. A menu other
    // than the dialog opens only when an object carries its name. Opening over the dialog keeps the
    // dialog on top. May build menus (objects are created): not during an object walk.
    void PushMenu(const std::string& name);
    // Closes the top menu. The entry always goes, so closing everything ends even when a menu object is
    // missing; the settings and controls menus return to the menu beneath them.
    void PopMenu();
    // Unpauses, then closes every open menu.
    void CloseAllMenus();
    // Screens without menus: when menus are enabled, disables them and closes every menu (unpausing).
    void DisableMenus();
    // Asks a yes-or-no question in the dialog; "Yes" runs yesAction.
    void ShowConfirmation(std::string question, std::uint32_t yesAction);

    // The script of the first menu object (tag 8) of that name, building one of the five menus first when
    // it has none; null when there is no such object or it still has no script.
    MenuScript* GetMenuScript(const std::string& name);
    // Runs action k of the table with the button; an empty entry or k past the table does nothing.
    void RunAction(std::uint32_t k, GameObject* button);

    // The two prefabs, the buttons' context and behaviour set; each only when missing.
    void CreateMenuPrefabs();
    void CreateMenuPrefab();
    void CreateMenuButtonPrefab();
    // Completes or creates one menu and its buttons; each call lists the buttons again.
    void BuildMainMenu();
    void BuildSettingsMenu();
    void BuildPauseMenu();
    void BuildControlsMenu();
    void BuildConfirmationDialog();
    // The prefabs, then every builder: what a level load runs.
    void RunMenuBuilders();

    // The open menus, bottom first.
    const std::vector<std::string>& GetMenuStack() const { return menuStack; }
    bool AnyMenuOpen() const { return !menuStack.empty(); }
    // The top menu's name, or "" when none is open.
    std::string TopMenu() const { return menuStack.empty() ? std::string() : menuStack.back(); }
    bool IsOpen(const std::string& name) const;
    // The action table, indexed by action index (tests replace entries to watch them run).
    std::array<MenuAction, kActionCount>& Actions() { return actions; }

    // Cleared by the screens that must not open menus, set again by the main menu.
    bool menusEnabled = true;

  private:
    struct ButtonRow
    {
        const char* name;
        std::uint32_t press;
        std::uint32_t select;
        std::uint32_t deselect;
    };
    void FillActionTable();
    void BuildMenu(const std::string& menuName, const std::vector<ButtonRow>& withScript,
                   const std::vector<ButtonRow>& withoutScript);

    std::array<MenuAction, kActionCount> actions;
    std::vector<std::string> menuStack;
};

extern MenuSystem* gMenuSystem;
