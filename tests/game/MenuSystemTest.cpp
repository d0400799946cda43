#include "MenuSystem.h"
#include "EventManager.h"
#include "FrameRateManager.h"
#include "GameObjectFactory.h"
#include "GameState.h"
#include "GameStateRequest.h"
#include "MenuHooks.h"
#include "SoundHooks.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
class MenuSystemTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ResetObjectModel();
        EventManager::Reset();
        SoundHooks::Reset();
        FrameRateManager::Reset();
        ResetGameStateRequest();
        factory = std::make_unique<GameObjectFactory>();
        factory->Init();
        menus = std::make_unique<MenuSystem>();
    }
    void TearDown() override
    {
        menus.reset();
        factory->Exit();
        factory.reset();
        ResetObjectModel();
        FrameRateManager::Reset();
        ResetGameStateRequest();
    }

    std::uint32_t MakeMenuObject(const std::string& name)
    {
        GameObject* object = factory->CreateObject();
        object->SetName(name);
        object->tag = kTagMenu;
        return object->id;
    }
    void DestroyObject(std::uint32_t id)
    {
        factory->QueueDestroy(id);
        factory->DestroyQueuedObjects();
    }
    // Pops until the stack is empty; returns how many pops it took, stopping at the bound.
    int PopUntilEmpty(int bound)
    {
        int pops = 0;
        while (!menus->GetMenuStack().empty() && pops < bound)
        {
            menus->PopMenu();
            ++pops;
        }
        return pops;
    }

    std::unique_ptr<GameObjectFactory> factory;
    std::unique_ptr<MenuSystem> menus;
};
} // namespace

TEST_F(MenuSystemTest, CloseAllEndsWhenOpenMenusLostTheirObjectsAndTheirReturnMenusAreMissing)
{
    const std::uint32_t pause = MakeMenuObject("Pause Menu");
    const std::uint32_t settings = MakeMenuObject("Settings Menu");
    menus->PushMenu("Pause Menu");
    menus->PushMenu("Settings Menu");
    menus->PushMenu("CDA");
    menus->PushMenu("CDA");
    ASSERT_EQ(menus->GetMenuStack().size(), 4u);
    // The level that held the menus is gone: no entry has an object, and no return menu exists.
    DestroyObject(pause);
    DestroyObject(settings);

    // The dialogs, then the settings menu, whose return menu has no object, then the pause menu.
    EXPECT_EQ(PopUntilEmpty(8), 4);
    EXPECT_TRUE(menus->GetMenuStack().empty());

    MakeMenuObject("Settings Menu");
    menus->PushMenu("Settings Menu");
    menus->PushMenu("CDA");
    menus->CloseAllMenus();
    EXPECT_TRUE(menus->GetMenuStack().empty());
}

TEST_F(MenuSystemTest, SettingsReturnsToThePauseMenuBeneathAndCloseAllStillEnds)
{
    MakeMenuObject("Pause Menu");
    MakeMenuObject("Settings Menu");
    menus->PushMenu("Settings Menu");
    menus->PopMenu();
    // Outside the main menu the settings menu goes back to the pause menu.
    EXPECT_EQ(menus->GetMenuStack(), (std::vector<std::string>{"Pause Menu"}));

    menus->PushMenu("Settings Menu");
    // The pause menu beneath is already open, so the settings menu's pop leaves only it.
    EXPECT_EQ(PopUntilEmpty(4), 2);
    EXPECT_TRUE(menus->GetMenuStack().empty());
}

TEST_F(MenuSystemTest, OnlyTheDialogOpensTwiceOrWhileMenusAreDisabledOrWithoutAnObject)
{
    MakeMenuObject("Pause Menu");
    menus->PushMenu("Pause Menu");
    menus->PushMenu("Pause Menu");
    menus->PushMenu("Controls Menu"); // no object carries it
    EXPECT_EQ(menus->GetMenuStack(), (std::vector<std::string>{"Pause Menu"}));

    menus->menusEnabled = false;
    menus->CloseAllMenus();
    menus->PushMenu("Pause Menu");
    menus->PushMenu("CDA");
    menus->PushMenu("CDA");
    EXPECT_EQ(menus->GetMenuStack(), (std::vector<std::string>{"CDA", "CDA"}));
}

TEST_F(MenuSystemTest, InTheMatchOpeningPausesAndClosingTheLastMenuUnpauses)
{
    std::vector<std::string> played;
    SoundHooks::play = [&](const std::string& name) { played.push_back(name); };
    MakeMenuObject("Pause Menu");
    menus->PushMenu("Pause Menu");
    FrameRateManager::TogglePause();
    ASSERT_TRUE(FrameRateManager::IsPaused());
    menus->PopMenu();
    EXPECT_FALSE(FrameRateManager::IsPaused());

    FrameRateManager::TogglePause();
    menus->CloseAllMenus();
    EXPECT_FALSE(FrameRateManager::IsPaused());

    // During the match, opening a menu pauses by itself, once: a second menu keeps the pause.
    SetCurrentGameState(GameStateIndex::GameplayDemo);
    MakeMenuObject("Settings Menu");
    played.clear();
    menus->PushMenu("Pause Menu");
    EXPECT_TRUE(FrameRateManager::IsPaused());
    menus->PushMenu("Settings Menu");
    EXPECT_TRUE(FrameRateManager::IsPaused());
    EXPECT_EQ(played, std::vector<std::string>{"GamePause"});
    EXPECT_EQ(PopUntilEmpty(5), 2);
    EXPECT_FALSE(FrameRateManager::IsPaused());
    SetCurrentGameState(GameStateIndex::MainMenu);
    menus->PushMenu("Pause Menu");
    EXPECT_FALSE(FrameRateManager::IsPaused()) << "outside the match a menu does not pause";
    SoundHooks::Reset();
}

// Gameplay sees and drives the stack only through the hooks, which exist from Init to Exit.
TEST_F(MenuSystemTest, HooksReachTheStackFromInitToExit)
{
    MakeMenuObject("Pause Menu");
    MenuHooks::PushMenu("Pause Menu");
    EXPECT_TRUE(menus->GetMenuStack().empty()) << "unset hooks do nothing";
    EXPECT_FALSE(MenuHooks::AnyOpen());

    menus->Init();
    MenuHooks::PushMenu("Pause Menu");
    MenuHooks::ShowConfirmation("Quit?", 3); // no dialog object: nothing opens
    MenuHooks::PushMenu("CDA");
    EXPECT_TRUE(MenuHooks::AnyOpen());
    EXPECT_EQ(MenuHooks::Top(), "CDA");
    EXPECT_TRUE(MenuHooks::IsOpen("Pause Menu"));
    MenuHooks::PopMenu();
    EXPECT_EQ(MenuHooks::Top(), "Pause Menu");
    MenuHooks::CloseAllMenus();
    EXPECT_FALSE(MenuHooks::AnyOpen());

    MenuHooks::PushMenu("CDA");
    menus->Exit();
    EXPECT_FALSE(MenuHooks::AnyOpen());
    EXPECT_EQ(MenuHooks::Top(), "");
    EXPECT_FALSE(MenuHooks::IsOpen("CDA"));
    EXPECT_EQ(menus->GetMenuStack().size(), 1u);
}
