#include "BackgroundRenderer.h"
#include "CCSMFactory.h"
#include "EventManager.h"
#include "FrameRateManager.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GamePrototypes.h"
#include "GameSplashScreen.h"
#include "GameStateRequest.h"
#include "Graphics.h"
#include "InputSystem.h"
#include "MenuSystem.h"
#include "OffscreenGL.h"
#include "Renderer.h"
#include "SoundHooks.h"
#include "TorvaneSplashScreen.h"
#include "Transform.h"
#include "TypeIds.h"
#include "WindowAccess.h"
#include "WindowProvider.h"
#include "WindowRecord.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr float kStep = 1.0f / 60.0f;

// The systems a splash screen talks to, on the shared offscreen window; nothing is drawn, so each
// update is only the state's own work. Sounds are recorded rather than played.
class SplashScreenTest : public OffscreenGLTest
{
  protected:
    void SetUp() override
    {
        OffscreenGLTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        EventManager::Reset();
        FrameRateManager::Reset();
        SoundHooks::play = [this](const std::string& name) { sounds.push_back("play " + name); };
        SoundHooks::stop = [this](const std::string& name) { sounds.push_back("stop " + name); };
        graphics = std::make_unique<Graphics>();
        graphics->Init();
        input = std::make_unique<InputSystem>();
        objects = std::make_unique<GameObjectFactory>();
        objects->Init();
        behaviours = std::make_unique<CCSMFactory>();
        behaviours->Init();
        menus = std::make_unique<MenuSystem>();
        RegisterAllPrototypes();
        ready = true;
    }
    void TearDown() override
    {
        if (!ready)
            return;
        menus.reset();
        behaviours->Exit();
        behaviours.reset();
        objects->Exit();
        objects.reset();
        input.reset();
        graphics->Exit();
        graphics.reset();
        ResetWindowAccess();
        SoundHooks::Reset();
        FrameRateManager::Reset();
        SetWindowSize(640, 480);
        WindowProvider::SetWindowVisible(0, false);
    }

    static void SetWindowSize(int width, int height)
    {
        WindowRecord* window = WindowProvider::GetMainWindow();
        SDL_SetWindowSize(window->window, width, height);
        window->width = width;
        window->height = height;
    }
    // Keys and buttons go down and up on every update: the maker's logo must not care.
    void MashEverything()
    {
        input->keysTriggered = {'a', ' '};
        input->keysReleased = {'b', 27};
        input->controllers[0].buttonsReleased = {0, 6};
        input->controllers[1].buttonsReleased = {1};
    }
    void ClearInput()
    {
        input->keysTriggered.clear();
        input->keysReleased.clear();
        input->controllers[0].buttonsReleased.clear();
        input->controllers[1].buttonsReleased.clear();
    }
    Vector4 BackgroundTint() const
    {
        return graphics->GetBackground()->GetMaterial().data.GetVector4("tint").value_or(
            Vector4{-1, -1, -1, -1});
    }

    std::vector<std::string> sounds;
    std::unique_ptr<Graphics> graphics;
    std::unique_ptr<InputSystem> input;
    std::unique_ptr<GameObjectFactory> objects;
    std::unique_ptr<CCSMFactory> behaviours;
    std::unique_ptr<MenuSystem> menus;
    bool ready = false;
};

void ExpectAll(const Vector4& colour, float value, float tolerance)
{
    EXPECT_NEAR(colour.x, value, tolerance);
    EXPECT_NEAR(colour.y, value, tolerance);
    EXPECT_NEAR(colour.z, value, tolerance);
    EXPECT_NEAR(colour.w, value, tolerance);
}
} // namespace

TEST_F(SplashScreenTest, MakersLogoFadesInHoldsFadesOutAndNoInputCutsItShort)
{
    TorvaneSplashScreen screen;
    RequestGameState(GameStateIndex::TorvaneSplashScreen);
    screen.Load();
    screen.Init();
    EXPECT_EQ(sounds, (std::vector<std::string>{"play TorvaneSplash"}));
    EXPECT_FALSE(menus->menusEnabled);
    // The window is brought up by the menu manager's play state.
    EXPECT_TRUE(WindowProvider::IsWindowVisible(0));
    Renderer* logo = GetRenderer(*screen.GetLogo());
    ASSERT_NE(logo, nullptr);

    int firstRequest = 0;
    std::vector<Vector4> tints{logo->tint};
    for (int update = 1; update <= 340; ++update)
    {
        MashEverything();
        screen.Update(kStep);
        tints.push_back(logo->tint);
        if (firstRequest == 0 && GetRequestedGameState() == GameStateIndex::GameSplashScreen)
            firstRequest = update;
        // The background stays black and transparent behind the logo.
        ExpectAll(BackgroundTint(), 0.0f, 0.0f);
    }
    ExpectAll(tints[90], 0.9901f, 1e-3f);
    // Held from 1.5 s to 3.5 s, then 2 % less on every update.
    ExpectAll(tints[150], tints[100].x, 0.0f);
    ExpectAll(tints[209], tints[100].x, 0.0f);
    for (int update = 214; update <= 330; ++update)
        ExpectAll(tints[update], tints[update - 1].x * 0.98f, 1e-6f);
    EXPECT_NEAR(tints[330].x, 0.088f, 0.01f);
    EXPECT_NEAR(firstRequest, 331, 1);
    EXPECT_LT(logo->tint.x, 0.1f);
    screen.Exit();
    EXPECT_EQ(sounds.back(), "stop TorvaneSplash");
}

TEST_F(SplashScreenTest, MakersLogoFadeGoesOnWhilePausedButItsTimerStands)
{
    TorvaneSplashScreen screen;
    screen.Load();
    screen.Init();
    Renderer* logo = GetRenderer(*screen.GetLogo());
    for (int update = 0; update < 30; ++update)
        screen.Update(0.0f);
    EXPECT_EQ(screen.GetTimer(), 0.0f);
    ExpectAll(logo->tint, 1.0f - std::pow(0.95f, 30.0f), 1e-4f);
}

TEST_F(SplashScreenTest, MakersLogoIsTheSameSizeWhateverTheWindowAndAReEntryReplays)
{
    TorvaneSplashScreen screen;
    for (const auto& [width, height] : std::vector<std::pair<int, int>>{{640, 480}, {1024, 768}})
    {
        SetWindowSize(width, height);
        screen.Load();
        screen.Init();
        const Transform* transform = screen.GetLogo()->GetComponentAs<Transform>(ComponentTypeId::kTransform);
        ASSERT_NE(transform, nullptr);
        EXPECT_FLOAT_EQ(transform->GetScale().x, 512.0f);
        EXPECT_FLOAT_EQ(transform->GetScale().y, 123.5f);
        for (int update = 0; update < 400; ++update)
            screen.Update(kStep);
        screen.Exit();
    }
    // The second entry started over: the same sound again, a fresh timer and fade.
    EXPECT_EQ(sounds, (std::vector<std::string>{"play TorvaneSplash", "stop TorvaneSplash",
                                                "play TorvaneSplash", "stop TorvaneSplash"}));
    screen.Load();
    screen.Init();
    EXPECT_EQ(screen.GetTimer(), 0.0f);
    screen.Update(kStep);
    ExpectAll(GetRenderer(*screen.GetLogo())->tint, 0.05f, 1e-6f);
}

TEST_F(SplashScreenTest, TeamPictureFadesItsColourOnlyAndTimesOut)
{
    GameSplashScreen screen;
    RequestGameState(GameStateIndex::GameSplashScreen);
    screen.Load();
    screen.Init();
    EXPECT_EQ(sounds, (std::vector<std::string>{"play GameTeamSplash"}));
    std::vector<Vector4> tints;
    int request = 0;
    for (int update = 1; update <= 400 && request == 0; ++update)
    {
        screen.Update(kStep);
        tints.push_back(BackgroundTint());
        EXPECT_EQ(tints.back().w, 0.0f) << update;
        if (GetRequestedGameState() == GameStateIndex::MainMenu)
            request = update;
    }
    ASSERT_GT(tints.size(), 300u);
    EXPECT_NEAR(tints[89].x, 0.9901f, 1e-3f);
    EXPECT_NEAR(tints[89].z, 0.9901f, 1e-3f);
    // Held from 1.5 s to 4.5 s, then 2 % less on every update, from the tint as it stands.
    EXPECT_EQ(tints[268].x, tints[100].x);
    for (std::size_t i = 274; i < tints.size(); ++i)
        EXPECT_NEAR(tints[i].y, tints[i - 1].y * 0.98f, 1e-6f);
    EXPECT_NEAR(request, 391, 1);
    screen.Exit();
    EXPECT_EQ(sounds.back(), "stop GameTeamSplash");
}

TEST_F(SplashScreenTest, TeamPictureGivesWayOnAReleaseButNotOnAPress)
{
    GameSplashScreen screen;
    screen.Load();
    for (const int source : {0, 1, 2})
    {
        RequestGameState(GameStateIndex::GameSplashScreen);
        screen.Init();
        for (int update = 0; update < 30; ++update)
        {
            ClearInput();
            input->keysTriggered = {'x'};
            input->controllers[0].buttonsTriggered = {0};
            input->controllers[1].buttonsTriggered = {0};
            screen.Update(kStep);
        }
        EXPECT_EQ(GetRequestedGameState(), GameStateIndex::GameSplashScreen);
        ClearInput();
        if (source == 0)
            input->keysReleased = {'x'};
        else
            input->controllers[source - 1].buttonsReleased = {0};
        screen.Update(kStep);
        EXPECT_EQ(GetRequestedGameState(), GameStateIndex::MainMenu) << source;
        screen.Exit();
    }
}

TEST_F(SplashScreenTest, AWindowClosedDuringTheLogosComesBack)
{
    TorvaneSplashScreen screen;
    screen.Load();
    screen.Init();
    ASSERT_TRUE(WindowProvider::IsWindowVisible(0));
    // What the pump does with a close: the window hides and remembers the request.
    WindowProvider::SetWindowVisible(0, false);
    objects->Update(kStep); // the menu manager's machine runs with the other component systems
    EXPECT_TRUE(WindowProvider::IsWindowVisible(0));
    screen.Exit();
}
