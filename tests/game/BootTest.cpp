#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameState.h"
#include "MenuHooks.h"
#include "OffscreenGL.h"
#include "PlayHarness.h"
#include "SoundChannel.h"
#include "SoundInstance.h"
#include "SoundSystem.h"
#include "WindowProvider.h"

#include <SDL_keycode.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

namespace
{
bool SoundPlaying(const std::string& name)
{
    SoundInstance* instance = SoundSystem::GetSoundInstance(name);
    return instance != nullptr && instance->FindPlayingChannel() != nullptr;
}

int Brightness(const std::uint8_t* pixel)
{
    return pixel[0] + pixel[1] + pixel[2];
}

bool Lit(const std::uint8_t* pixel)
{
    return std::max({pixel[0], pixel[1], pixel[2]}) > 8;
}

double LitShare(const std::vector<std::uint8_t>& pixels)
{
    int lit = 0;
    for (int y = 0; y < PlayHarness::kHeight; ++y)
        for (int x = 0; x < PlayHarness::kWidth; ++x)
            lit += Lit(PixelAt(pixels, x, y)) ? 1 : 0;
    return static_cast<double>(lit) / (PlayHarness::kWidth * PlayHarness::kHeight);
}

bool RedDominant(const std::uint8_t* pixel)
{
    return pixel[0] > 100 && pixel[0] > 2 * pixel[1] && pixel[0] > 2 * pixel[2];
}

struct Box
{
    int left = PlayHarness::kWidth;
    int top = PlayHarness::kHeight;
    int right = -1;
    int bottom = -1;
    int count = 0;
};

Box RedBox(const std::vector<std::uint8_t>& pixels)
{
    Box box;
    for (int y = 0; y < PlayHarness::kHeight; ++y)
        for (int x = 0; x < PlayHarness::kWidth; ++x)
            if (RedDominant(PixelAt(pixels, x, y)))
            {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
                ++box.count;
            }
    return box;
}

// The share of red-dominant pixels in a part of the box, given in fractions of its width and height.
double RedShare(const std::vector<std::uint8_t>& pixels, const Box& box, double x0, double x1, double y0,
                double y1)
{
    const int w = box.right - box.left + 1;
    const int h = box.bottom - box.top + 1;
    int red = 0;
    int all = 0;
    for (int y = box.top + static_cast<int>(y0 * h); y < box.top + static_cast<int>(y1 * h); ++y)
        for (int x = box.left + static_cast<int>(x0 * w); x < box.left + static_cast<int>(x1 * w); ++x)
        {
            red += RedDominant(PixelAt(pixels, x, y)) ? 1 : 0;
            ++all;
        }
    return all == 0 ? 0.0 : static_cast<double>(red) / all;
}

void CheckMakersLogoFrame(const std::vector<std::uint8_t>& pixels)
{
    for (const auto& [x, y] :
         std::vector<std::pair<int, int>>{{2, 2},
                                          {PlayHarness::kWidth - 3, 2},
                                          {2, PlayHarness::kHeight - 3},
                                          {PlayHarness::kWidth - 3, PlayHarness::kHeight - 3}})
        EXPECT_LT(Brightness(PixelAt(pixels, x, y)), 12) << "corner " << x << "," << y << " is not black";
    EXPECT_GE(LitShare(pixels), 0.05);

    const Box box = RedBox(pixels);
    ASSERT_GT(box.count, 0) << "no red logo";
    const double centreX = (box.left + box.right) / 2.0;
    const double centreY = (box.top + box.bottom) / 2.0;
    EXPECT_NEAR(centreX, PlayHarness::kWidth / 2.0, 0.03 * PlayHarness::kWidth);
    EXPECT_NEAR(centreY, PlayHarness::kHeight / 2.0, 0.03 * PlayHarness::kHeight);
    const double width = (box.right - box.left + 1.0) / PlayHarness::kWidth;
    EXPECT_GE(width, 0.52);
    EXPECT_LE(width, 0.60);
    // The emblem fills the left of the box from top to bottom; the bar lies along the bottom right.
    EXPECT_GT(RedShare(pixels, box, 0.02, 0.16, 0.75, 0.98), 0.9) << "emblem not at the left";
    EXPECT_GT(RedShare(pixels, box, 0.30, 0.95, 0.92, 0.99), 0.9) << "bar not at the bottom";
    EXPECT_LT(RedShare(pixels, box, 0.30, 0.95, 0.01, 0.08), 0.5) << "the logo is upside down";
    EXPECT_LT(RedShare(pixels, box, 0.84, 0.98, 0.75, 0.85), 0.5) << "the logo is mirrored";
}

void CheckTeamPictureFrame(const std::vector<std::uint8_t>& pixels)
{
    EXPECT_GE(LitShare(pixels), 0.90);
    long top = 0;
    long bottom = 0;
    int magenta = 0;
    for (int y = 0; y < PlayHarness::kHeight; ++y)
        for (int x = 0; x < PlayHarness::kWidth; ++x)
        {
            const std::uint8_t* pixel = PixelAt(pixels, x, y);
            if (y < PlayHarness::kHeight / 4)
                top += Brightness(pixel);
            if (y >= PlayHarness::kHeight * 3 / 4)
                bottom += Brightness(pixel);
            if (pixel[0] > 200 && pixel[1] < 40 && pixel[2] > 200)
                ++magenta;
        }
    EXPECT_GT(top, bottom);
    EXPECT_LT(magenta, PlayHarness::kWidth * PlayHarness::kHeight / 1000) << "the placeholder texture shows";
}
} // namespace

// The executable's start-up, stepped: both logos with their sounds, then the main menu; closing the
// window ends the game two updates after the close is pumped.
TEST(Boot, BothLogosThenTheMainMenuAndACloseQuits)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    PlayHarness game;
    std::string reason;
    if (!game.Start(reason, {{}, false}))
    {
        testing::internal::GetCapturedStdout();
        testing::internal::GetCapturedStderr();
        GLIMMOCK_SKIP_OR_FAIL_WITHOUT_GL(reason);
    }
    ASSERT_NE(SoundSystem::GetSoundInstance("TorvaneSplash"), nullptr) << "the banks lack TorvaneSplash";
    ASSERT_NE(SoundSystem::GetSoundInstance("GameTeamSplash"), nullptr) << "the banks lack GameTeamSplash";

    std::vector<std::int32_t> road;
    std::vector<int> entered;
    int teamEntry = -1;
    bool closePushed = false;
    int closePumpedAt = -1;
    int stoppedAt = -1;
    const auto screenshotDue = [&](int at) {
        return at == 150 || (teamEntry > 0 && at == teamEntry + 180) ||
               (!entered.empty() && road.back() == GameStateIndex::MainMenu && at == entered.back() + 30);
    };
    for (int update = 1; update <= 1200 && game.GetEngine().running; ++update)
    {
        if (closePushed && closePumpedAt < 0)
            closePumpedAt = update;
        std::vector<std::uint8_t> shot;
        if (screenshotDue(update))
            shot = game.Shot("boot_" + std::to_string(update));
        else
            game.Step();
        const std::int32_t state = game.CurrentState();
        if (road.empty() || road.back() != state)
        {
            road.push_back(state);
            entered.push_back(update);
            if (state == GameStateIndex::GameSplashScreen)
            {
                EXPECT_FALSE(SoundPlaying("TorvaneSplash")) << "the first sound outlives its screen";
                EXPECT_TRUE(SoundPlaying("GameTeamSplash"));
                teamEntry = update;
            }
            if (state == GameStateIndex::MainMenu)
            {
                EXPECT_FALSE(SoundPlaying("GameTeamSplash")) << "the second sound outlives its screen";
            }
        }
        if (update == 1)
        {
            EXPECT_EQ(state, GameStateIndex::TorvaneSplashScreen);
            EXPECT_TRUE(WindowProvider::IsWindowVisible(0));
            EXPECT_TRUE(SoundPlaying("TorvaneSplash"));
        }
        if (update == 150)
            CheckMakersLogoFrame(shot);
        if (teamEntry > 0 && update == teamEntry + 180)
            CheckTeamPictureFrame(shot);
        if (state == GameStateIndex::MainMenu && update == entered.back() + 30)
        {
            game.PushWindowClose();
            closePushed = true;
        }
        // The close asks first; once the question has taken input, Down selects "Yes" and Return answers.
        if (closePumpedAt > 0 && update == closePumpedAt + 10)
        {
            EXPECT_EQ(MenuHooks::Top(), "CDA") << "a close must ask before quitting";
            EXPECT_TRUE(game.GetEngine().running);
            game.Press(SDLK_DOWN);
        }
        if (closePumpedAt > 0 && update == closePumpedAt + 11)
            game.Release(SDLK_DOWN);
        if (closePumpedAt > 0 && update == closePumpedAt + 12)
            game.Press(SDLK_RETURN);
        if (!game.GetEngine().running)
            stoppedAt = update;
    }

    EXPECT_EQ(road, (std::vector<std::int32_t>{9, 10, 8, -3}));
    ASSERT_GE(entered.size(), 3u);
    EXPECT_NEAR(entered[1], 1 + 331, 2) << "the second logo came at the wrong time";
    EXPECT_NEAR(entered[2] - entered[1], 391, 2) << "the main menu came at the wrong time";
    // Return is pumped in update +13; the quit takes the two updates after it.
    EXPECT_EQ(stoppedAt, closePumpedAt + 15);

    game.Stop();
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();
    // Failures reported while the streams were captured are inside them.
    if (HasFailure())
        std::cout << out << err;
    EXPECT_EQ(out.find("Could not locate texture"), std::string::npos) << out;
    EXPECT_EQ(err.find("Engine system error"), std::string::npos) << err;
    EXPECT_EQ(out.find("Engine system error"), std::string::npos) << out;
}
