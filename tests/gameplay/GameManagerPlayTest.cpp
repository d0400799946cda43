#include "FrameRateManager.h"
#include "GameManagerStates.h"
#include "GameStateRequest.h"
#include "InputSystem.h"
#include "MenuHooks.h"
#include "SoundSystem.h"
#include "UpdateCounter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

// The play state's pause input and shortcuts against a stand-in menu stack, with keys written straight
// into the input lists (no window: the window checks have nothing to watch).
namespace
{
constexpr std::int32_t kLeftShift = 1073742049;

class GameManagerPlayTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        FrameRateManager::Reset();
        ResetGameStateRequest();
        ResetEngineUpdateCount();
        ResetPlayStateInputStamp();
        MenuHooks::Reset();
        MenuHooks::openMenus = [this] { return stack; };
        MenuHooks::pushMenu = [this](const std::string& name) {
            if (std::find(stack.begin(), stack.end(), name) == stack.end())
                stack.push_back(name);
        };
        MenuHooks::popMenu = [this] {
            if (!stack.empty())
                stack.pop_back();
        };
        MenuHooks::closeAllMenus = [this] {
            closedWhilePaused = FrameRateManager::IsPaused();
            stack.clear();
        };
    }
    void TearDown() override
    {
        MenuHooks::Reset();
        FrameRateManager::Reset();
        ResetGameStateRequest();
        ResetEngineUpdateCount();
    }

    // One engine update in which the given keys were pressed (LShift held when asked); every play state
    // runs its Update in it.
    void Update(std::vector<std::int32_t> pressed, bool shiftHeld = false, int playStates = 1)
    {
        input.keysTriggered = pressed;
        input.keysDown = pressed;
        if (shiftHeld)
            input.keysDown.push_back(kLeftShift);
        AdvanceEngineUpdateCount();
        for (int state = 0; state < playStates; ++state)
            play.Update(1.0f / 60.0f);
        input.keysTriggered.clear();
    }
    // One engine update in which the given controller slot pressed START.
    void PressStart(int slot)
    {
        input.controllers[slot].buttonsTriggered = {GameController::kStartButton};
        Update({});
        input.controllers[slot].buttonsTriggered.clear();
    }

    InputSystem input;
    GameManagerStatePlay play;
    std::vector<std::string> stack;
    bool closedWhilePaused = true;
};
} // namespace

// Escape opens and closes "Pause Menu" in the match and closes a menu above it; in the main menu it only
// closes menus above "Main Menu"; two play states in one update act once.
TEST_F(GameManagerPlayTest, EscapeTogglesThePauseMenuOncePerUpdate)
{
    SetCurrentGameState(3);
    Update({27});
    EXPECT_EQ(stack, std::vector<std::string>{"Pause Menu"});
    Update({27}, false, 2);
    EXPECT_TRUE(stack.empty()) << "the second play state of the update must not reopen it";
    Update({27}, false, 2);
    EXPECT_EQ(stack, std::vector<std::string>{"Pause Menu"});
    stack.push_back("Settings Menu");
    Update({27});
    EXPECT_EQ(stack, std::vector<std::string>{"Pause Menu"});
    Update({});
    EXPECT_EQ(stack.size(), 1u) << "no key, no change";

    SetCurrentGameState(8);
    stack = {"Main Menu"};
    Update({27});
    EXPECT_EQ(stack, std::vector<std::string>{"Main Menu"});
    stack.push_back("Settings Menu");
    Update({27});
    EXPECT_EQ(stack, std::vector<std::string>{"Main Menu"});
    stack.clear();
    Update({27});
    EXPECT_TRUE(stack.empty());
}

// START on either controller acts as Escape, in the match and in the main menu.
TEST_F(GameManagerPlayTest, StartButtonOnEitherControllerActsAsEscape)
{
    SetCurrentGameState(3);
    PressStart(1);
    EXPECT_EQ(stack, std::vector<std::string>{"Pause Menu"});
    PressStart(0);
    EXPECT_TRUE(stack.empty());
    input.controllers[0].buttonsTriggered = {0};
    Update({});
    EXPECT_TRUE(stack.empty()) << "another button does not pause";
    input.controllers[0].buttonsTriggered.clear();

    SetCurrentGameState(8);
    stack = {"Main Menu", "Settings Menu"};
    PressStart(1);
    EXPECT_EQ(stack, std::vector<std::string>{"Main Menu"});
    PressStart(0);
    EXPECT_EQ(stack, std::vector<std::string>{"Main Menu"});
}

// LShift and a digit: the round ends in two seconds, the music goes off and on, or the game leaves
// unpaused with no menu open.
TEST_F(GameManagerPlayTest, ShiftDigitsEndTheRoundOrLeaveUnpausedWithMenusClosed)
{
    SetCurrentGameState(3);
    SoundSystem sound;
    Update({'7'});
    EXPECT_EQ(SoundSystem::GetMusicVolume(), 1.0f) << "without LShift the music stays on";
    Update({'7'}, true);
    EXPECT_EQ(SoundSystem::GetMusicVolume(), 0.0f);
    Update({'7'}, true);
    EXPECT_EQ(SoundSystem::GetMusicVolume(), 0.0f);
    Update({'8'});
    EXPECT_EQ(SoundSystem::GetMusicVolume(), 0.0f);
    Update({'8'}, true);
    EXPECT_EQ(SoundSystem::GetMusicVolume(), 1.0f);

    const std::uint32_t clock = FrameRateManager::AddTimer("LevelTimer", 60.0f);
    Update({'2'});
    EXPECT_EQ(FrameRateManager::GetTimerValue(clock), 60.0f) << "without LShift a digit does nothing";
    Update({'2'}, true);
    EXPECT_EQ(FrameRateManager::GetTimerValue(clock), 2.0f);

    const struct
    {
        std::int32_t key;
        std::int32_t requested;
    } leaves[] = {{'3', 11}, {'4', 6}, {'5', 7}};
    for (const auto& leave : leaves)
    {
        SCOPED_TRACE(leave.key);
        RequestGameState(3);
        stack = {"Pause Menu", "Settings Menu"};
        if (!FrameRateManager::IsPaused())
            FrameRateManager::TogglePause();
        Update({leave.key}, true);
        EXPECT_FALSE(FrameRateManager::IsPaused());
        EXPECT_FALSE(closedWhilePaused);
        EXPECT_TRUE(stack.empty());
        EXPECT_EQ(GetRequestedGameState(), leave.requested);
    }
}
