#include "EventManager.h"
#include "FrameRateManager.h"
#include "GameManagerStates.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStateRequest.h"
#include "GameplayPrototypes.h"
#include "HUDScript.h"
#include "InputSystem.h"
#include "MenuHooks.h"
#include "MetaHooks.h"
#include "OffscreenGL.h"
#include "TextureManager.h"
#include "TypeIds.h"
#include "UpdateCounter.h"
#include "WindowProvider.h"
#include "WindowRecord.h"

#include <glad/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

// The parts of the match that need the real window and GL: the HUD's colour textures and the play
// state's watch over the main window.
namespace
{
class MatchWindowTest : public OffscreenGLTest
{
  protected:
    void SetUp() override
    {
        OffscreenGLTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        EventManager::Reset();
        FrameRateManager::Reset();
        ResetGameStateRequest();
        ResetEngineUpdateCount();
        ResetPlayStateInputStamp();
        objects.Init();
        RegisterGameplayPrototypes();
        TextureManager::Init();
        MenuHooks::Reset();
        MenuHooks::openMenus = [this] { return menus; };
        MenuHooks::pushMenu = [this](const std::string& name) { menus.push_back(name); };
        MenuHooks::showConfirmation = [this](const std::string& question, std::uint32_t action) {
            questions.push_back(question + " " + std::to_string(action));
        };
    }
    void TearDown() override
    {
        WindowProvider::SetFullscreen(0, false);
        WindowProvider::SetWindowVisible(0, false);
        if (WindowRecord* window = WindowProvider::GetMainWindow())
        {
            window->focused = true;
            window->minimised = false;
        }
        gFullscreenSetting = false;
        MenuHooks::Reset();
        TextureManager::Exit();
        objects.Exit();
        MetaHooks::Reset();
        ResetGameStateRequest();
        FrameRateManager::Reset();
        EventManager::Reset();
    }
    void Update(std::vector<std::int32_t> pressed = {})
    {
        input.keysTriggered = pressed;
        AdvanceEngineUpdateCount();
        play.Update(1.0f / 60.0f);
        input.keysTriggered.clear();
    }

    GameObjectFactory objects;
    InputSystem input;
    GameManagerStatePlay play;
    std::vector<std::string> menus;
    std::vector<std::string> questions;
};

std::array<std::uint8_t, 4> Texel(const std::string& name)
{
    std::array<std::uint8_t, 4> texel{};
    glBindTexture(GL_TEXTURE_2D, TextureManager::GetTexture(name).glTexture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel.data());
    return texel;
}
} // namespace

// Every HUD Init adds the seven colour textures again; "HUDGreen" is cyan.
TEST_F(MatchWindowTest, EachHUDInitAddsTheSevenColourTextures)
{
    const std::uint32_t before = TextureManager::GetTextureCount();
    GameObject* manager = objects.CreateObject();
    HUDScript hud;
    manager->AddScript(hud);
    EXPECT_EQ(TextureManager::GetTextureCount(), before + 7);
    const std::unique_ptr<Script> copy = manager->GetScript(ScriptTypeId::kHUDScript)->Clone();
    EXPECT_EQ(TextureManager::GetTextureCount(), before + 14);
    EXPECT_EQ(Texel("HUDGreen"), (std::array<std::uint8_t, 4>{0, 255, 255, 255}));
    EXPECT_EQ(Texel("HUDGray"), (std::array<std::uint8_t, 4>{75, 75, 75, 255}));
}

// A closed window comes back with the quit question; leaving or minimising the window pauses only the
// match; F11 flips full screen both ways with the stored setting following.
TEST_F(MatchWindowTest, PlayStateWatchesTheMainWindow)
{
    WindowRecord* window = WindowProvider::GetMainWindow();
    ASSERT_NE(window, nullptr);
    WindowProvider::SetWindowVisible(0, false);
    Update();
    EXPECT_TRUE(WindowProvider::IsWindowVisible(0));
    EXPECT_EQ(questions, std::vector<std::string>{"Are you sure you want to quit? 16"});

    window->focused = false;
    SetCurrentGameState(8);
    Update();
    EXPECT_TRUE(menus.empty()) << "outside the match nothing pauses";
    SetCurrentGameState(3);
    Update();
    EXPECT_EQ(menus, std::vector<std::string>{"Pause Menu"});
    window->focused = true;

    menus.clear();
    window->minimised = true;
    SetCurrentGameState(8);
    Update();
    EXPECT_TRUE(menus.empty()) << "a minimised main menu does not pause";
    SetCurrentGameState(3);
    Update();
    EXPECT_EQ(menus, std::vector<std::string>{"Pause Menu"});
    window->minimised = false;

    Update({1073741892});
    EXPECT_TRUE(WindowProvider::IsFullscreen(0));
    EXPECT_TRUE(gFullscreenSetting);
    Update({1073741892});
    EXPECT_FALSE(WindowProvider::IsFullscreen(0));
    EXPECT_FALSE(gFullscreenSetting);
}
