#include "MenuSystem.h"
#include "CCSM.h"
#include "CCSMFactory.h"
#include "Event.h"
#include "EventManager.h"
#include "GamePrototypes.h"
#include "InputSystem.h"
#include "MenuButtonState.h"
#include "MenuScript.h"
#include "Observer.h"
#include "Renderer.h"
#include "TextRenderer.h"
#include "Transform.h"
#include "TypeIds.h"
#include "FrameRateManager.h"
#include "GameObjectFactory.h"
#include "GameState.h"
#include "GameStateRequest.h"
#include "MenuHooks.h"
#include "SoundHooks.h"

#include <SDL_keycode.h>
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
        behaviours = std::make_unique<CCSMFactory>();
        behaviours->Init();
        // The menus' state and commands replace gameplay's stand-ins after every factory start.
        RegisterGamePrototypes();
        input = std::make_unique<InputSystem>();
        menus = std::make_unique<MenuSystem>();
    }
    void TearDown() override
    {
        menus.reset();
        input.reset();
        behaviours->Exit();
        behaviours.reset();
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
    std::unique_ptr<CCSMFactory> behaviours;
    std::unique_ptr<InputSystem> input;
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

namespace
{
// Counts the menu events by type.
class MenuEventSpy : public Observer
{
  public:
    MenuEventSpy()
    {
        Subscribe(evMenuDown);
        Subscribe(evMenuUp);
        Subscribe(evMenuSelect);
    }
    void OnNotify(Event* event) override { types.push_back(event->EventType); }
    std::vector<std::uint32_t> types;
};

struct ActionCall
{
    std::uint32_t action;
    std::string button;
    bool operator==(const ActionCall&) const = default;
};
[[maybe_unused]] void PrintTo(const ActionCall& call, std::ostream* out)
{
    *out << "{" << call.action << ", " << call.button << "}";
}

// A world with every menu built, stepped as the engine does: the scripts, then the menu system.
class MenuWorldTest : public MenuSystemTest
{
  protected:
    static constexpr float kStep = 1.0f / 60.0f;

    void SetUp() override
    {
        MenuSystemTest::SetUp();
        menus->Init();
        menus->RunMenuBuilders();
    }
    void TearDown() override
    {
        menus->Exit();
        MenuSystemTest::TearDown();
    }

    // Replaces every action by a recorder of the calls on the watched menu's buttons (every other menu's
    // buttons are deselected on every update).
    void SpyOnActions(const std::string& menu)
    {
        watched = Script(menu).GetButtonNames();
        for (std::uint32_t k = 0; k < MenuSystem::kActionCount; ++k)
            menus->Actions()[k] = [this, k](GameObject* button) {
                if (button != nullptr && std::find(watched.begin(), watched.end(), button->name) != watched.end())
                    calls.push_back({k, button->name});
            };
    }
    MenuScript& Script(const std::string& menu)
    {
        MenuScript* script = menus->GetMenuScript(menu);
        EXPECT_NE(script, nullptr) << menu;
        return *script;
    }
    // One engine update: the input of this frame, the script pass, the menu system.
    void Update(const std::vector<std::int32_t>& keys = {}, float dt = kStep)
    {
        input->keysTriggered = keys;
        for (GameObject* menu : factory->GetObjectsWithTag(kTagMenu))
            if (auto* script = menu->GetScriptAs<MenuScript>(ScriptTypeId::kMenuScript))
                script->Update(dt);
        menus->Update(dt);
        input->ClearFrameLists();
        for (auto& controller : input->controllers)
            for (auto& value : controller.axisPressedValues)
                value = 0;
    }
    // Lets the activation delay run out: three updates at 1/60 s are ignored.
    void Settle()
    {
        for (int i = 0; i < 3; ++i)
            Update();
    }
    std::string Selected(const std::string& menu)
    {
        MenuScript& script = Script(menu);
        if (script.GetSelectedIndex() < 0)
            return "";
        return script.GetButtonNames()[script.GetSelectedIndex()];
    }
    float Alpha(const std::string& name)
    {
        GameObject* object = factory->GetObjectByName(name);
        Renderer* sprite = object != nullptr ? GetRenderer(*object) : nullptr;
        return sprite != nullptr ? sprite->tint.w : -1.0f;
    }
    Vector3 Position(const std::string& name)
    {
        return factory->GetObjectByName(name)->GetComponentAs<Transform>(ComponentTypeId::kTransform)->GetTranslation();
    }

    std::vector<ActionCall> calls;
    std::vector<std::string> watched;
};
} // namespace

// From an empty world the builders make the five menus and their nineteen buttons in the default column,
// one layer order apart, with the table's actions; a second run reuses them and lists them again.
TEST_F(MenuWorldTest, BuildersMakeEveryMenuAndButtonWithTheirActions)
{
    ASSERT_EQ(factory->GetObjectsWithTag(kTagMenu).size(), 5u);
    ASSERT_EQ(factory->GetObjectsWithTag(kTagMenuButton).size(), 19u);
    const std::vector<std::string> pauseButtons{"Resume Button",  "Restart_Button", "Controls_Button",
                                                "Options_Button", "Credits_Button", "Quit Button",
                                                "QuitGame_Button"};
    EXPECT_EQ(Script("Pause Menu").GetButtonNames(), pauseButtons) << "a prefab menu has its script: spaced names";
    for (int i = 0; i < 7; ++i)
    {
        GameObject* button = MenuScript::FindButton(pauseButtons[i]);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(Position(pauseButtons[i]).y, 100.0f - 100.0f * i);
        EXPECT_EQ(GetRenderer(*button)->material.GetOrder(), 100 + i);
        EXPECT_EQ(GetRenderer(*button)->tint.w, 0.0f) << "built menus start hidden";
    }
    const MenuButtonState* play = ButtonStateOf(MenuScript::FindButton("MM_Play_Button"));
    ASSERT_NE(play, nullptr);
    EXPECT_EQ((std::vector<std::uint32_t>{play->pressAction, play->selectAction, play->deselectAction}),
              (std::vector<std::uint32_t>{3, 10, 2}));
    const MenuButtonState* back = ButtonStateOf(MenuScript::FindButton("Return_Button"));
    EXPECT_EQ((std::vector<std::uint32_t>{back->pressAction, back->selectAction, back->deselectAction}),
              (std::vector<std::uint32_t>{14, 0, 0}));
    EXPECT_EQ(behaviours->GetContext("Button Context").allowedCommands,
              (std::vector<CommandId>{13, 14, 15}));

    // Idempotent prefabs and tables; the lists double (kept), the objects do not.
    const std::size_t prefabs = factory->Prefabs().size();
    const BehaviorTablesData tables = behaviours->GetTables();
    menus->RunMenuBuilders();
    EXPECT_EQ(factory->Prefabs().size(), prefabs);
    EXPECT_EQ(behaviours->GetTables(), tables);
    EXPECT_EQ(factory->GetObjectsWithTag(kTagMenuButton).size(), 19u);
    EXPECT_EQ(Script("Main Menu").GetButtonNames().size(), 10u);
}

// Objects loaded from a level are completed: a degenerate size is repaired, a machine without the button
// state gets it, a button without a machine gets a prefab twin, and a script-less menu gets a new script
// whose pause buttons have underscored names.
TEST_F(MenuSystemTest, BuildersCompleteLoadedObjectsAndBuildMenusOnDemand)
{
    menus->CreateMenuPrefabs();
    GameObject* play = factory->CreateObject();
    play->SetName("MM_Play_Button");
    play->tag = kTagMenuButton;
    CCSM machine;
    play->AddComponent(machine);
    play->GetComponentAs<Transform>(ComponentTypeId::kTransform)->SetScale(Vector3{1.0f, 30.0f, 2.0f});
    const std::uint32_t playId = play->id;
    GameObject* bare = factory->CreateObject();
    bare->SetName("MM_Quit_Button"); // no machine: not used
    GameObject* brokenCredits = factory->CreateObject();
    brokenCredits->SetName("MM_Credits_Button"); // a loaded button without a machine
    brokenCredits->tag = kTagMenuButton;
    const std::uint32_t brokenId = brokenCredits->id;
    MakeMenuObject("Pause Menu");

    MenuScript* pause = menus->GetMenuScript("Pause Menu");
    ASSERT_NE(pause, nullptr) << "a menu without a script is built on demand";
    EXPECT_EQ(pause->GetButtonNames().front(), "Resume_Button");
    EXPECT_EQ(pause->GetButtonNames()[5], "Quit_Button");

    menus->BuildMainMenu();
    GameObject* reused = factory->GetObject(playId);
    EXPECT_EQ(reused->GetComponentAs<Transform>(ComponentTypeId::kTransform)->GetScale(),
              (Vector3{250.0f, 100.0f, 2.0f}));
    const MenuButtonState* state = ButtonStateOf(reused);
    ASSERT_NE(state, nullptr) << "a machine without state 7 is given the button behaviour";
    EXPECT_EQ(state->pressAction, 3u);
    GameObject* twin = MenuScript::FindButton("MM_Quit_Button");
    ASSERT_NE(twin, nullptr);
    EXPECT_NE(twin, bare) << "the machine-less object gets a working twin";
    EXPECT_NE(ButtonStateOf(twin), nullptr);
    // The button the menu finds is the working twin, not the loaded one it replaced.
    GameObject* credits = MenuScript::FindButton("MM_Credits_Button");
    ASSERT_NE(credits, nullptr);
    EXPECT_NE(credits->id, brokenId);
    ASSERT_NE(ButtonStateOf(credits), nullptr);
    EXPECT_EQ(ButtonStateOf(credits)->pressAction, 13u);
    EXPECT_EQ(menus->GetMenuScript("Nobody"), nullptr);
}

// Navigation while a menu is on top: the activation delay, wrapping, Up over Down, holds, presses before
// selects, the menu events, the first controller's stick and A, and one-button and empty lists.
TEST_F(MenuWorldTest, NavigationWrapsWaitsForTheDelayAndPressesBeforeSelecting)
{
    SpyOnActions("Main Menu");
    MenuEventSpy events;
    menus->PushMenu("Main Menu");
    EXPECT_EQ(Selected("Main Menu"), "MM_Play_Button");
    for (int i = 0; i < 3; ++i)
        Update({SDLK_DOWN});
    EXPECT_TRUE(calls.empty()) << "the first three updates at 1/60 s ignore input";
    EXPECT_TRUE(events.types.empty());
    Update({SDLK_UP});
    EXPECT_EQ(Selected("Main Menu"), "MM_Quit_Button") << "Up from the first wraps to the last";
    EXPECT_EQ(calls, (std::vector<ActionCall>{{2, "MM_Play_Button"}, {10, "MM_Quit_Button"}}));

    calls.clear();
    Update({SDLK_DOWN});
    EXPECT_EQ(Selected("Main Menu"), "MM_Play_Button") << "Down from the last wraps to the first";
    Update({SDLK_UP, SDLK_DOWN});
    EXPECT_EQ(Selected("Main Menu"), "MM_Quit_Button") << "Up beats Down";
    input->keysDown = {SDLK_RIGHT};
    Update({SDLK_RIGHT});
    Update();
    Update();
    input->keysDown.clear();
    EXPECT_EQ(Selected("Main Menu"), "MM_Play_Button") << "a hold moves once";

    calls.clear();
    Update({SDLK_RETURN});
    EXPECT_EQ(calls, (std::vector<ActionCall>{{3, "MM_Play_Button"}, {10, "MM_Play_Button"}}));
    EXPECT_EQ(events.types, (std::vector<std::uint32_t>{evMenuUp, evMenuDown, evMenuUp, evMenuDown, evMenuSelect}));

    // Controller 0's stick and A act; controller 1 does not.
    input->controllers[1].buttonsTriggered = {0};
    input->controllers[1].axisPressedValues[1] = 30000;
    calls.clear();
    Update();
    EXPECT_EQ(Selected("Main Menu"), "MM_Play_Button");
    EXPECT_EQ(calls, (std::vector<ActionCall>{{10, "MM_Play_Button"}}));
    input->controllers[0].axisPressedValues[1] = 30000;
    Update();
    EXPECT_EQ(Selected("Main Menu"), "MM_Controls_Button") << "stick down on controller 0";
    input->controllers[0].buttonsTriggered = {0};
    calls.clear();
    Update();
    EXPECT_EQ(calls.front(), (ActionCall{11, "MM_Controls_Button"}));

    // One button: Up only raises the event; Down deselects and selects the same button.
    menus->CloseAllMenus();
    SpyOnActions("Controls Menu");
    menus->PushMenu("Controls Menu");
    Settle();
    calls.clear();
    events.types.clear();
    Update({SDLK_UP});
    EXPECT_EQ(calls, (std::vector<ActionCall>{{0, "Return_Button"}}));
    calls.clear();
    Update({SDLK_DOWN});
    EXPECT_EQ(calls, (std::vector<ActionCall>{{0, "Return_Button"}, {0, "Return_Button"}}));
    EXPECT_EQ(events.types, (std::vector<std::uint32_t>{evMenuUp, evMenuDown}));

    // An empty list and a missing button do nothing.
    MenuScript empty;
    empty.Activate(true);
    empty.Update(0.0f);
    empty.Update(0.0f);
    EXPECT_EQ(empty.GetSelectedIndex(), 0);
    MenuScript lost;
    lost.AddButton("Gone", "MenuButtonBase", 3, 10, 2);
    watched = {"Gone"};
    factory->QueueDestroy(factory->GetObjectByName("Gone")->id);
    factory->DestroyQueuedObjects();
    lost.Activate(true);
    calls.clear();
    input->keysTriggered = {SDLK_RETURN, SDLK_DOWN};
    lost.Update(0.0f);
    EXPECT_TRUE(calls.empty());
}

// The delay runs on the last real frame time while paused (dt 0), or is skipped when there is none.
TEST_F(MenuWorldTest, AtDtZeroTheDelayUsesTheLastFrameTime)
{
    menus->PushMenu("Main Menu");
    Update({SDLK_DOWN}, 0.0f);
    EXPECT_EQ(Selected("Main Menu"), "MM_Controls_Button") << "no frame time yet: input acts at once";
    EXPECT_FLOAT_EQ(Script("Main Menu").GetLastFrameTime(), 0.0f);

    menus->CloseAllMenus();
    menus->PushMenu("Main Menu");
    Update({}, kStep);
    menus->PushMenu("Settings Menu");
    EXPECT_FLOAT_EQ(Script("Settings Menu").GetLastFrameTime(), kStep) << "handed over by the push";
    for (int i = 0; i < 3; ++i)
        Update({SDLK_DOWN}, 0.0f);
    EXPECT_EQ(Selected("Settings Menu"), "Settings_FullScreen_Button");
    Update({SDLK_DOWN}, 0.0f);
    EXPECT_EQ(Selected("Settings Menu"), "Settings_Music_Button");
}

// The dialog stacks over anything and stays on top; other names open once and only with an object; the
// pause is for the match and for menus with a script; returns and decorations follow the state.
TEST_F(MenuWorldTest, TheStackKeepsTheDialogOnTopAndReturnsToTheRightMenu)
{
    for (const char* art : {"MM_Logo", "MM_Border", "MM_Border_Detail", "Controls", "ControlsBG"})
    {
        GameObject* object = factory->CreateObject();
        object->SetName(art);
        Renderer sprite;
        sprite.tint.w = 0.0f;
        object->AddComponent(sprite);
    }
    SetCurrentGameState(GameStateIndex::MainMenu);
    menus->PushMenu("Main Menu");
    menus->ShowConfirmation("Are you sure you want to quit?", 16);
    menus->PushMenu("Settings Menu");
    EXPECT_EQ(menus->GetMenuStack(), (std::vector<std::string>{"Main Menu", "CDA", "Settings Menu", "CDA"}));
    EXPECT_FALSE(Script("Settings Menu").IsActive());
    EXPECT_EQ(ButtonStateOf(MenuScript::FindButton("Yes Button"))->pressAction, 16u);
    EXPECT_EQ(GetTextRenderer(*factory->GetObjectByName("CDA")) == nullptr, true) << "no label: skipped";
    menus->CloseAllMenus();

    // In the main menu the controls return to "Main Menu" with its art.
    menus->PushMenu("Main Menu");
    menus->RunAction(11, nullptr);
    EXPECT_EQ(menus->GetMenuStack(), (std::vector<std::string>{"Controls Menu"}));
    EXPECT_EQ(Alpha("Controls"), 1.0f);
    EXPECT_EQ(Alpha("MM_Logo"), 0.0f);
    menus->PopMenu();
    EXPECT_EQ(menus->GetMenuStack(), (std::vector<std::string>{"Main Menu"}));
    EXPECT_EQ(Alpha("Controls"), 0.0f);
    EXPECT_EQ(Alpha("MM_Border"), 1.0f);
    EXPECT_TRUE(Script("Main Menu").IsActive());
    menus->CloseAllMenus();

    // In the match: pause on open, controls over the pause menu return to it, the last close resumes.
    SetCurrentGameState(GameStateIndex::GameplayDemo);
    GameObject* odd = factory->CreateObject();
    odd->SetName("Odd Menu");
    odd->tag = kTagMenu;
    menus->PushMenu("Odd Menu");
    EXPECT_FALSE(FrameRateManager::IsPaused()) << "a menu without a script does not pause";
    menus->CloseAllMenus();
    menus->PushMenu("Pause Menu");
    EXPECT_TRUE(FrameRateManager::IsPaused());
    menus->RunAction(11, nullptr);
    EXPECT_EQ(Alpha("ControlsBG"), 1.0f);
    menus->RunAction(14, nullptr);
    EXPECT_EQ(menus->GetMenuStack(), (std::vector<std::string>{"Pause Menu"}));
    EXPECT_EQ(Alpha("ControlsBG"), 0.0f);
    EXPECT_TRUE(FrameRateManager::IsPaused());
    EXPECT_EQ(PopUntilEmpty(3), 1);
    EXPECT_FALSE(FrameRateManager::IsPaused());
}

// Every entry of the action table, run with real effects.
TEST_F(MenuWorldTest, ActionsSwitchStatesAskQuestionsAndTint)
{
    struct Switch
    {
        std::uint32_t action;
        std::int32_t requested;
    };
    for (const Switch& row : {Switch{3, 3}, Switch{16, -3}, Switch{17, 8}, Switch{18, -2}, Switch{19, 11},
                              Switch{13, 11}})
    {
        SetCurrentGameState(GameStateIndex::MainMenu);
        ResetGameStateRequest();
        menus->PushMenu("Main Menu");
        menus->RunAction(row.action, nullptr);
        EXPECT_EQ(GetRequestedGameState(), row.requested) << row.action;
        EXPECT_TRUE(menus->GetMenuStack().empty()) << row.action;
    }
    struct Question
    {
        std::uint32_t action;
        std::uint32_t yes;
    };
    ResetGameStateRequest();
    const std::int32_t noRequest = GetRequestedGameState();
    SetCurrentGameState(GameStateIndex::GameplayDemo);
    for (const Question& row : {Question{4, 17}, Question{6, 16}, Question{12, 18}, Question{13, 19}})
    {
        menus->RunAction(row.action, nullptr);
        EXPECT_EQ(menus->TopMenu(), "CDA") << row.action;
        EXPECT_EQ(ButtonStateOf(MenuScript::FindButton("Yes Button"))->pressAction, row.yes) << row.action;
        EXPECT_EQ(GetRequestedGameState(), noRequest) << "a question only asks";
    }
    // Kept as the game has it: a question over the dialog appends it twice.
    EXPECT_EQ(menus->GetMenuStack().size(), 7u);
    for (std::uint32_t close : {5u, 14u, 15u})
        menus->RunAction(close, nullptr);
    EXPECT_EQ(menus->GetMenuStack().size(), 4u);
    EXPECT_EQ(PopUntilEmpty(10), 4);
    EXPECT_FALSE(FrameRateManager::IsPaused());
    menus->CloseAllMenus();

    GameObject* button = MenuScript::FindButton("MM_Play_Button");
    Renderer* sprite = GetRenderer(*button);
    sprite->tint = Vector4{1.0f, 1.0f, 1.0f, 0.5f};
    menus->RunAction(2, button);
    EXPECT_EQ(sprite->tint, (Vector4{0.3f, 0.2f, 0.3f, 0.5f}));
    menus->RunAction(10, button);
    EXPECT_EQ(sprite->tint, (Vector4{1.0f, 0.9f, 1.0f, 1.0f}));
    menus->RunAction(1, button);
    EXPECT_EQ(sprite->tint, (Vector4{0.0f, 1.0f, 0.6f, 1.0f}));
    for (std::uint32_t nothing : {0u, 20u, 23u, 1000u})
        menus->RunAction(nothing, button);
    EXPECT_EQ(sprite->tint, (Vector4{0.0f, 1.0f, 0.6f, 1.0f}));
    EXPECT_TRUE(menus->GetMenuStack().empty());
}

// A press that closes its own menu re-tints its button through the select action; the menu system's pass
// after the scripts hides it again before anything is drawn.
TEST_F(MenuWorldTest, AButtonThatClosesItsMenuIsHiddenWhenTheUpdateEnds)
{
    SetCurrentGameState(GameStateIndex::GameplayDemo);
    menus->PushMenu("Pause Menu");
    Settle();
    ASSERT_EQ(Selected("Pause Menu"), "Resume Button");
    input->keysTriggered = {SDLK_RETURN};
    Script("Pause Menu").Update(kStep);
    EXPECT_TRUE(menus->GetMenuStack().empty());
    EXPECT_EQ(Alpha("Resume Button"), 1.0f) << "the select action ran after the close";
    menus->Update(kStep);
    EXPECT_EQ(Alpha("Resume Button"), 0.0f);
    EXPECT_FALSE(FrameRateManager::IsPaused());
}

// The button machinery a level load rebuilds: the state's clone keeps its actions, the three commands run
// them with the button, a copied script starts inactive with the same list, and a "Button Behavior" set
// without the button state is mended (appended and also put in front, as the game has it).
TEST_F(MenuWorldTest, ButtonStatesCommandsAndScriptsSurviveCopies)
{
    SpyOnActions("Main Menu");
    GameObject* play = MenuScript::FindButton("MM_Play_Button");
    const std::unique_ptr<State> copy = ButtonStateOf(play)->Clone("Button Context");
    const auto* copied = dynamic_cast<const MenuButtonState*>(copy.get());
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ((std::vector<std::uint32_t>{copied->pressAction, copied->selectAction, copied->deselectAction}),
              (std::vector<std::uint32_t>{3, 10, 2}));
    EXPECT_EQ(copied->GetAllowedCommands(), (std::vector<CommandId>{13, 14, 15}));

    CCSM* machine = play->GetComponentAs<CCSM>(ComponentTypeId::kCCSM);
    for (CommandId command : {kCommandPressMenuButton, kCommandSelectMenuButton, kCommandDeSelectMenuButton})
    {
        ASSERT_TRUE(machine->HandleCommand(command)) << command;
        machine->RunUpdate(kStep);
    }
    EXPECT_EQ(calls, (std::vector<ActionCall>{{3, "MM_Play_Button"}, {10, "MM_Play_Button"}, {2, "MM_Play_Button"}}));

    MenuScript& main = Script("Main Menu");
    main.Activate(true);
    main.SetLastFrameTime(kStep);
    const std::unique_ptr<::Script> clone = main.Clone();
    const auto* cloned = dynamic_cast<const MenuScript*>(clone.get());
    ASSERT_NE(cloned, nullptr);
    EXPECT_EQ(cloned->GetButtonNames(), main.GetButtonNames());
    EXPECT_EQ(cloned->GetSelectedIndex(), -1);
    EXPECT_FALSE(cloned->IsActive());
    EXPECT_EQ(cloned->GetLastFrameTime(), 0.0f);
    EXPECT_EQ(cloned->GetBindings().FindBinding(MenuScript::bindPress)->key, SDLK_RETURN);

    BehaviorTablesData tables = behaviours->GetTables();
    for (BehaviorSetData& set : tables.sets)
        if (set.name == "Button Behavior")
            set = BehaviorSetData{"Button Behavior", 0, {BehaviorData{0, ""}}};
    behaviours->ReplaceTables(tables);
    menus->CreateMenuPrefabs();
    const BehaviorSet mended = behaviours->GetBehaviorSet("Button Behavior");
    EXPECT_EQ(mended.initialState, kStateMenuButtonMode);
    ASSERT_EQ(mended.entries.size(), 3u);
    EXPECT_EQ(mended.entries.front().tag, kStateMenuButtonMode);
    EXPECT_EQ(mended.entries[1].tag, kStateNull);
    EXPECT_EQ(mended.entries.back().tag, kStateMenuButtonMode);
    menus->CreateMenuPrefabs();
    EXPECT_EQ(behaviours->GetBehaviorSet("Button Behavior").entries.size(), 3u);
}
