#include "CCSM.h"
#include "Font.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameState.h"
#include "GameStateRequest.h"
#include "Graphics.h"
#include "MenuHooks.h"
#include "MenuScript.h"
#include "MenuSystem.h"
#include "PlayHarness.h"
#include "Renderer.h"
#include "SoundInstance.h"
#include "SoundPlayLog.h"
#include "SoundSystem.h"
#include "TextRenderer.h"
#include "TextureManager.h"
#include "Transform.h"
#include "TypeIds.h"
#include "WindowProvider.h"

#include <SDL_keycode.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// The menus in the running game: the main menu, the victory screens and the road between them.
namespace
{
constexpr const char* kMainMenuFile = "Levels/MainMenu_New.xml";

bool SoundPlaying(const std::string& name)
{
    SoundInstance* instance = SoundSystem::GetSoundInstance(name);
    return instance != nullptr && instance->FindPlayingChannel() != nullptr;
}

int Plays(const std::string& name)
{
    const auto& log = SoundPlayLog();
    return static_cast<int>(std::count(log.begin(), log.end(), name));
}

int CountTextures(const std::string& name)
{
    const std::string list = TextureManager::GetTextureNameList();
    int count = 0;
    for (std::size_t start = 0; start < list.size();)
    {
        const std::size_t end = list.find('\0', start);
        if (end == start)
            break;
        count += list.compare(start, end - start, name) == 0 ? 1 : 0;
        start = end + 1;
    }
    return count;
}

int LiveObjects()
{
    int count = 0;
    for (const auto& object : gGameObjectFactory->Objects())
        count += object != nullptr && !object->IsQueuedForDestruction() ? 1 : 0;
    return count;
}

int PlayModeMachines()
{
    int count = 0;
    for (const auto& object : gGameObjectFactory->Objects())
    {
        if (object == nullptr || object->IsQueuedForDestruction())
            continue;
        if (const auto* machine = object->GetComponentAs<CCSM>(ComponentTypeId::kCCSM))
        {
            const auto& stack = machine->GetStateStack();
            count += std::find(stack.begin(), stack.end(), kStatePlayMode) != stack.end() ? 1 : 0;
        }
    }
    return count;
}

float SpriteAlpha(const std::string& name)
{
    GameObject* object = Named(name);
    Renderer* sprite = object != nullptr ? GetRenderer(*object) : nullptr;
    return sprite != nullptr ? sprite->tint.w : -1.0f;
}

std::string Label(const std::string& name)
{
    GameObject* object = Named(name);
    TextRenderer* text = object != nullptr ? GetTextRenderer(*object) : nullptr;
    return text != nullptr ? text->GetText() : std::string();
}

std::string SelectedButton(const std::string& menu)
{
    MenuScript* script = gMenuSystem->GetMenuScript(menu);
    if (script == nullptr || script->GetSelectedIndex() < 0)
        return "";
    return script->GetButtonNames()[script->GetSelectedIndex()];
}

// Pixels whose colour is close to the logo's orange or blue, or to the missing-texture magenta.
bool Orange(const std::uint8_t* p)
{
    return p[0] > 200 && p[1] > 90 && p[1] < 190 && p[2] < 90;
}
bool Blue(const std::uint8_t* p)
{
    return p[2] > 200 && p[0] < 110 && p[1] > 110;
}
bool Magenta(const std::uint8_t* p)
{
    return p[0] > 200 && p[2] > 200 && p[1] < 60;
}

int CountPixels(const std::vector<std::uint8_t>& shot, int top, int bottom, bool (*match)(const std::uint8_t*))
{
    int count = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < PlayHarness::kWidth; ++x)
            count += match(PixelAt(shot, x, y)) ? 1 : 0;
    return count;
}

// The summed brightness of a small box of the shot.
int Brightness(const std::vector<std::uint8_t>& shot, int centreX, int centreY)
{
    int sum = 0;
    for (int y = centreY - 3; y <= centreY + 3; ++y)
        for (int x = centreX - 3; x <= centreX + 3; ++x)
        {
            const std::uint8_t* p = PixelAt(shot, x, y);
            sum += p[0] + p[1] + p[2];
        }
    return sum;
}

class MenuPlayTest : public PlayTest
{
  protected:
    void SetUp() override
    {
        PlayTest::SetUp();
        SetSoundPlayLogging(true);
    }
    // Requests a screen and runs the update that enters it; a request of the current screen is ignored by
    // the manager, so that one is left for the credits first.
    void Enter(std::int32_t state)
    {
        if (Game().CurrentState() == state)
        {
            RequestGameState(GameStateIndex::CreditsScreen);
            Game().Step();
        }
        RequestGameState(state);
        Game().Step();
    }
    // A key pressed in one update and released in the next.
    void Tap(std::int32_t key)
    {
        Game().Press(key);
        Game().Step();
        Game().Release(key);
        Game().Step();
    }
    // Lets a newly opened menu's input delay run out.
    void Settle() { Game().Step(4); }
};
} // namespace

// The main menu's visit: stack, music, "Black", debug off, one play machine; input from the fourth update
// after entry; "Title" once per visit at 0.75 s; leaving stops the music and closes the menus.
TEST_F(MenuPlayTest, MainMenuVisitsOpenTheMenuAndPlayTheTitleOnce)
{
    for (int visit = 1; visit <= 2; ++visit)
    {
        const int blacks = CountTextures("Black");
        const int titles = Plays("Title");
        Enter(GameStateIndex::MainMenu);
        ASSERT_EQ(Game().CurrentState(), GameStateIndex::MainMenu);
        EXPECT_EQ(MenuHooks::Top(), "Main Menu");
        EXPECT_EQ(gMenuSystem->GetMenuStack().size(), 1u);
        EXPECT_TRUE(SoundPlaying("MenuMusic"));
        EXPECT_EQ(CountTextures("Black"), blacks + 1);
        EXPECT_FALSE(gGraphics->drawDebug);
        EXPECT_EQ(PlayModeMachines(), 1);
        EXPECT_TRUE(gMenuSystem->menusEnabled);

        // Entry is update 1; the next three only count the delay down.
        Game().Step(visit == 1 ? 3 : 2);
        Game().Press(SDLK_DOWN);
        Game().Step();
        Game().Release(SDLK_DOWN);
        EXPECT_EQ(SelectedButton("Main Menu"), visit == 1 ? "MM_Controls_Button" : "MM_Play_Button")
            << "visit " << visit;

        Game().Step(40);
        EXPECT_EQ(Plays("Title"), titles);
        Game().Step(40);
        EXPECT_EQ(Plays("Title"), titles + 1);
        Game().Step(60);
        EXPECT_EQ(Plays("Title"), titles + 1) << "once per visit";
    }
    Enter(GameStateIndex::WinScreenLevel1);
    Game().Step(90);
    EXPECT_TRUE(gMenuSystem->GetMenuStack().empty());
    EXPECT_FALSE(SoundPlaying("MenuMusic"));
}

// Without its level the main menu still works on the built menus; a corrupt level gives one ERROR line
// and leaves a working quit question, whose "No" never quits later.
TEST_F(MenuPlayTest, AMissingOrCorruptLevelLeavesWorkingMenus)
{
    namespace fs = std::filesystem;
    fs::rename(kMainMenuFile, std::string(kMainMenuFile) + ".kept");
    Enter(GameStateIndex::MainMenu);
    EXPECT_EQ(MenuHooks::Top(), "Main Menu");
    EXPECT_NE(MenuScript::FindButton("MM_Quit_Button"), nullptr);
    Settle();
    Tap(SDLK_UP);
    EXPECT_EQ(SelectedButton("Main Menu"), "MM_Quit_Button");

    {
        std::ofstream corrupt(kMainMenuFile);
        corrupt << "<?xml version=\"1.0\"?>\n<boost_serialization signature=\"serialization::archive\" "
                   "version=\"18\">\n<Versioned>1</Versioned>\n<LastGameObjectId>zz";
    }
    testing::internal::CaptureStdout();
    Enter(GameStateIndex::MainMenu);
    const std::string out = testing::internal::GetCapturedStdout();
    fs::remove(kMainMenuFile);
    fs::rename(std::string(kMainMenuFile) + ".kept", kMainMenuFile);
    const std::string line = "ERROR: level MainMenu_New failed to load: ";
    const std::size_t first = out.find(line);
    EXPECT_NE(first, std::string::npos) << out;
    EXPECT_EQ(out.find(line, first + 1), std::string::npos) << out;
    EXPECT_EQ(PlayModeMachines(), 1);

    Game().PushWindowClose();
    Game().Step(2);
    ASSERT_EQ(MenuHooks::Top(), "CDA");
    Settle();
    Tap(SDLK_RETURN); // "No" is selected first
    EXPECT_EQ(MenuHooks::Top(), "Main Menu");
    Game().Step(120);
    EXPECT_EQ(Game().CurrentState(), GameStateIndex::MainMenu);
    EXPECT_TRUE(Game().GetEngine().running);
}

// The victory screens: the end music, menus off, Esc (held) to the main menu, a new key or the second
// controller's button to the credits, a key held from before ignored, and only Esc under the dialog.
TEST_F(MenuPlayTest, VictoryScreensLeadToTheCreditsOrBackToTheMenu)
{
    Game().Press(SDLK_a);
    Game().Step();
    Enter(GameStateIndex::WinScreenLevel1);
    EXPECT_NE(Named("Victory_Banner"), nullptr);
    EXPECT_TRUE(SoundPlaying("EndMusic"));
    EXPECT_FALSE(gMenuSystem->menusEnabled);
    Game().Step(10);
    EXPECT_EQ(Game().CurrentState(), GameStateIndex::WinScreenLevel1) << "a key held from before stays";
    Game().Press(SDLK_b);
    Game().Step(2);
    EXPECT_EQ(Game().CurrentState(), GameStateIndex::CreditsScreen);
    Game().Release(SDLK_a);
    Game().Release(SDLK_b);
    Game().Step(90);
    EXPECT_FALSE(SoundPlaying("EndMusic"));

    Enter(GameStateIndex::WinScreenLevel2);
    EXPECT_EQ(Label("Victory_Hint"), "Press any key for the credits - Esc for the main menu");
    gMenuSystem->ShowConfirmation("Are you sure you want to quit?", 16);
    EXPECT_EQ(MenuHooks::Top(), "CDA") << "the dialog opens while menus are off";
    Game().Press(SDLK_b);
    Game().Step(3);
    Game().Release(SDLK_b);
    EXPECT_EQ(Game().CurrentState(), GameStateIndex::WinScreenLevel2) << "under the dialog only Esc acts";
    Game().Press(SDLK_ESCAPE);
    Game().Step(2);
    EXPECT_EQ(Game().CurrentState(), GameStateIndex::MainMenu);
    Game().Release(SDLK_ESCAPE);
    Game().Step();

    Game().PlugController();
    Game().PlugController();
    Game().Step();
    Enter(GameStateIndex::WinScreenLevel2);
    Game().Step(3);
    Game().SetButton(1, 0, true);
    Game().Step(2);
    Game().SetButton(1, 0, false);
    EXPECT_EQ(Game().CurrentState(), GameStateIndex::CreditsScreen);
    Game().UnplugControllers();
    Game().Step();
}

// The road a player walks, with screenshots: the main menu, settings, controls, the quit question, the
// match, a victory screen and the credits.
TEST_F(MenuPlayTest, TheRoadThroughTheMenus)
{
    Enter(GameStateIndex::MainMenu);
    Game().Step(10);
    const std::vector<std::uint8_t> main = Game().Shot("menus_main");
    EXPECT_GT(CountPixels(main, 0, PlayHarness::kHeight / 4, Orange), 200) << "the logo's orange half";
    EXPECT_GT(CountPixels(main, 0, PlayHarness::kHeight / 4, Blue), 200) << "the logo's blue half";
    EXPECT_EQ(CountPixels(main, 0, PlayHarness::kHeight, Magenta), 0) << "a texture is missing";
    const std::vector<std::string> labels{"Play", "Controls", "Settings", "Credits", "Quit"};
    const std::vector<std::string> buttons{"MM_Play_Button", "MM_Controls_Button", "MM_Settings_Button",
                                           "MM_Credits_Button", "MM_Quit_Button"};
    for (std::size_t i = 0; i < buttons.size(); ++i)
    {
        EXPECT_EQ(Label(buttons[i]), labels[i]);
        EXPECT_EQ(GetTextRenderer(*Named(buttons[i]))->GetTint().w, 1.0f) << buttons[i];
    }
    // The selected first button is drawn brighter than the others (sampled left of its label).
    const int play = Brightness(main, 230, 201);
    EXPECT_GT(play, Brightness(main, 230, 240));
    EXPECT_GT(play, Brightness(main, 230, 355));

    // Settings: the music off, its label, Esc back to the menu with its logo.
    Tap(SDLK_DOWN);
    Tap(SDLK_DOWN);
    Tap(SDLK_RETURN);
    ASSERT_EQ(MenuHooks::Top(), "Settings Menu");
    EXPECT_EQ(SpriteAlpha("MM_Logo"), 0.0f);
    EXPECT_EQ(Label("Settings_Music_Button"), "Music: On");
    Settle();
    Tap(SDLK_DOWN);
    Tap(SDLK_RETURN);
    EXPECT_EQ(Label("Settings_Music_Button"), "Music: Off");
    EXPECT_EQ(SoundSystem::GetMusicVolume(), 0.0f);
    Game().Shot("menus_settings");
    // Full screen both ways; the label tells the window's truth.
    Tap(SDLK_UP);
    Tap(SDLK_RETURN);
    EXPECT_EQ(Label("Settings_FullScreen_Button"), "Full Screen: On");
    EXPECT_TRUE(WindowProvider::IsFullscreen(0));
    Tap(SDLK_RETURN);
    EXPECT_EQ(Label("Settings_FullScreen_Button"), "Full Screen: Off");
    EXPECT_FALSE(WindowProvider::IsFullscreen(0));
    Tap(SDLK_ESCAPE);
    EXPECT_EQ(MenuHooks::Top(), "Main Menu");
    EXPECT_EQ(SpriteAlpha("MM_Logo"), 1.0f);
    SoundSystem::SetMusicVolume(1.0f);

    // Controls and back.
    Settle();
    Tap(SDLK_DOWN);
    Tap(SDLK_RETURN);
    ASSERT_EQ(MenuHooks::Top(), "Controls Menu");
    EXPECT_EQ(SpriteAlpha("Controls"), 1.0f);
    Game().Shot("menus_controls");
    Settle();
    Tap(SDLK_RETURN);
    EXPECT_EQ(MenuHooks::Top(), "Main Menu");
    EXPECT_EQ(SpriteAlpha("Controls"), 0.0f);

    // Quit, answered "No".
    Settle();
    Tap(SDLK_UP);
    Tap(SDLK_RETURN);
    ASSERT_EQ(MenuHooks::Top(), "CDA");
    EXPECT_EQ(Label("CDA"), "Are you sure you want to quit?");
    Game().Shot("menus_quit_question");
    Settle();
    Tap(SDLK_RETURN);
    EXPECT_EQ(MenuHooks::Top(), "Main Menu");

    // Play, then the orange player's shortcut win, then any key to the credits.
    Settle();
    Tap(SDLK_RETURN);
    EXPECT_EQ(Game().CurrentState(), GameStateIndex::GameplayDemo);
    // The pause menu's question, longer than the one the dialog was laid out for, stays on its panel.
    Game().Step(2);
    Tap(SDLK_ESCAPE);
    ASSERT_EQ(MenuHooks::Top(), "Pause Menu");
    Settle();
    Tap(SDLK_UP);
    Tap(SDLK_UP);
    Tap(SDLK_RETURN);
    ASSERT_EQ(MenuHooks::Top(), "CDA");
    const TextRenderer& question = *GetTextRenderer(*Named("CDA"));
    ASSERT_EQ(question.GetText(), "Are you sure you want to return to the main menu?");
    const float questionWidth = MeasureText(question.GetText(), question.GetSize()).x;
    EXPECT_NEAR(question.GetBottomLeft().x + questionWidth / 2.0f, 0.0f, 1.0f) << "centred on the dialog";
    const float panelHalf = Named("CDA")->GetComponentAs<Transform>(ComponentTypeId::kTransform)->GetScale().x / 2.0f;
    EXPECT_LE(question.GetBottomLeft().x + questionWidth, panelHalf - 10.0f) << "inside the dialog's panel";
    EXPECT_GE(question.GetTopRight().x - question.GetBottomLeft().x, questionWidth) << "on one line";
    Game().Shot("menus_return_question");
    Settle();
    Tap(SDLK_RETURN);
    ASSERT_EQ(MenuHooks::Top(), "Pause Menu");
    Settle();
    Tap(SDLK_RETURN);
    EXPECT_TRUE(gMenuSystem->GetMenuStack().empty()) << "resumed";
    Game().Press(SDLK_LSHIFT);
    Game().Step();
    Game().Press(SDLK_4);
    Game().Step(2);
    Game().Release(SDLK_4);
    Game().Release(SDLK_LSHIFT);
    ASSERT_EQ(Game().CurrentState(), GameStateIndex::WinScreenLevel1);
    Game().Step(10);
    const std::vector<std::uint8_t> victory = Game().Shot("menus_victory_orange");
    EXPECT_GT(CountPixels(victory, PlayHarness::kHeight / 8, PlayHarness::kHeight / 2, Orange), 500)
        << "the orange banner";
    EXPECT_EQ(CountPixels(victory, 0, PlayHarness::kHeight, Magenta), 0);
    Game().Press(SDLK_x);
    Game().Step(2);
    Game().Release(SDLK_x);
    EXPECT_EQ(Game().CurrentState(), GameStateIndex::CreditsScreen);
}

// Fifty loops through the menu and a victory screen leave the world as they found it: only "Black" grows.
TEST_F(MenuPlayTest, LoopingThroughTheScreensKeepsTheCountsFlat)
{
    Enter(GameStateIndex::MainMenu);
    Game().Step(5);
    const int objects = LiveObjects();
    const std::uint32_t textures = TextureManager::GetTextureCount();
    for (int loop = 1; loop <= 50; ++loop)
    {
        Enter(loop % 2 == 0 ? GameStateIndex::WinScreenLevel1 : GameStateIndex::WinScreenLevel2);
        Game().Step(3);
        Enter(GameStateIndex::MainMenu);
        Game().Step(5);
        ASSERT_EQ(LiveObjects(), objects) << "loop " << loop;
        ASSERT_EQ(gMenuSystem->GetMenuStack().size(), 1u);
        ASSERT_EQ(MenuScript::FindButton("MM_Play_Button") != nullptr, true);
    }
    EXPECT_EQ(TextureManager::GetTextureCount(), textures + 50);
    EXPECT_EQ(gMenuSystem->GetMenuScript("Main Menu")->GetButtonNames().size(), 5u);
}

// Last, as it ends the game: a close asks, and "Yes" stops the engine.
TEST_F(MenuPlayTest, ZClosingTheWindowAsksAndYesQuits)
{
    Enter(GameStateIndex::MainMenu);
    Game().Step(5);
    Game().PushWindowClose();
    Game().Step(2);
    ASSERT_EQ(MenuHooks::Top(), "CDA");
    Settle();
    Tap(SDLK_RIGHT);
    Tap(SDLK_RETURN);
    Game().Step(2);
    EXPECT_FALSE(Game().GetEngine().running);
}
