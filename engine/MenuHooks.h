#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Gameplay asks about and drives the menus through these; the menu system fills them in its Init and
// clears them in its Exit, so nothing below the game depends on it. Unset, no menu is open and every
// call does nothing.
struct MenuHooks
{
    // The open menus, bottom first.
    static std::function<std::vector<std::string>()> openMenus;
    static std::function<void(const std::string&)> pushMenu;
    static std::function<void()> popMenu;
    static std::function<void()> closeAllMenus;
    static std::function<void(const std::string&, std::uint32_t)> showConfirmation;

    // Opens the named menu.
    static void PushMenu(const std::string& name);
    // Closes the top menu.
    static void PopMenu();
    // Unpauses and closes every open menu.
    static void CloseAllMenus();
    // Asks a yes-or-no question; yesAction is the menu action run on "yes".
    static void ShowConfirmation(const std::string& question, std::uint32_t yesAction);

    // Whether any menu is open.
    static bool AnyOpen();
    // The top menu's name, or "" when none is open.
    static std::string Top();
    // Whether the named menu is anywhere on the stack.
    static bool IsOpen(const std::string& name);
    // Detaches every hook.
    static void Reset();
};
