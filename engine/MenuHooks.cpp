#include "MenuHooks.h"

#include <algorithm>

std::function<std::vector<std::string>()> MenuHooks::openMenus;
std::function<void(const std::string&)> MenuHooks::pushMenu;
std::function<void()> MenuHooks::popMenu;
std::function<void()> MenuHooks::closeAllMenus;
std::function<void(const std::string&, std::uint32_t)> MenuHooks::showConfirmation;

void MenuHooks::PushMenu(const std::string& name)
{
    if (pushMenu)
        pushMenu(name);
}

void MenuHooks::PopMenu()
{
    if (popMenu)
        popMenu();
}

void MenuHooks::CloseAllMenus()
{
    if (closeAllMenus)
        closeAllMenus();
}

void MenuHooks::ShowConfirmation(const std::string& question, std::uint32_t yesAction)
{
    if (showConfirmation)
        showConfirmation(question, yesAction);
}

bool MenuHooks::AnyOpen()
{
    return openMenus && !openMenus().empty();
}

std::string MenuHooks::Top()
{
    if (!openMenus)
        return {};
    const std::vector<std::string> menus = openMenus();
    return menus.empty() ? std::string() : menus.back();
}

bool MenuHooks::IsOpen(const std::string& name)
{
    if (!openMenus)
        return false;
    const std::vector<std::string> menus = openMenus();
    return std::find(menus.begin(), menus.end(), name) != menus.end();
}

void MenuHooks::Reset()
{
    openMenus = nullptr;
    pushMenu = nullptr;
    popMenu = nullptr;
    closeAllMenus = nullptr;
    showConfirmation = nullptr;
}
