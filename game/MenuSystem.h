#pragma once
#include "EngineSystem.h"

#include <cstdint>
#include <string>
#include <vector>

// The menus' engine system as far as the screens need it today: whether menus may open, and the stack of
// open menus by name (the top at the end). The menus themselves (their scripts, buttons and actions)
// come later; a menu is shown or hidden through its object's sprite and text.
class MenuSystem : public EngineSystem
{
  public:
    static constexpr const char* kDialogName = "CDA";

    MenuSystem();
    ~MenuSystem() override;

    // Fills MenuHooks with this system's calls.
    void Init() override;
    // Clears MenuHooks.
    void Exit() override;

    // Opens the named menu: an enabled menu not already open, or the dialog at any time. A menu other
    // than the dialog opens only when an object carries its name.
    void PushMenu(const std::string& name);
    // Closes the top menu. The entry always goes, so closing everything ends even when a menu object is
    // missing; the settings and controls menus return to the menu beneath them.
    void PopMenu();
    // Unpauses, then closes every open menu.
    void CloseAllMenus();
    // Asks a yes-or-no question in the dialog, when the dialog exists.
    void ShowConfirmation(std::string question, std::uint32_t yesAction);

    // The open menus, bottom first.
    const std::vector<std::string>& GetMenuStack() const { return menuStack; }

    // Cleared by the screens that must not open menus, set again by the main menu.
    bool menusEnabled = true;

  private:
    std::vector<std::string> menuStack;
};

extern MenuSystem* gMenuSystem;
