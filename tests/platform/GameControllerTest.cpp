#include "HapticCalls.h"
#include "InputTestSupport.h"
#include "VirtualController.h"
#include "WindowProvider.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace
{
using namespace input_test;

// Stands in for a device that rumbles, and remembers what it was asked.
class FakeHapticCalls : public HapticCalls
{
  public:
    struct Journal
    {
        SDL_HapticEffect effect{};
        int newEffects = 0;
        int runs = 0;
        std::uint32_t iterations = 0;
        int closes = 0;
    };
    explicit FakeHapticCalls(Journal& journal_) : journal(journal_) {}

    SDL_Haptic* OpenFromJoystick(SDL_Joystick*) override { return reinterpret_cast<SDL_Haptic*>(&device); }
    int NumEffects(SDL_Haptic*) override { return 4; }
    unsigned int Query(SDL_Haptic*) override { return SDL_HAPTIC_LEFTRIGHT; }
    int NumEffectsPlaying(SDL_Haptic*) override { return 0; }
    int NewEffect(SDL_Haptic*, SDL_HapticEffect* effect) override
    {
        journal.effect = *effect;
        ++journal.newEffects;
        return 7;
    }
    int RunEffect(SDL_Haptic*, int effectId, std::uint32_t iterations) override
    {
        ++journal.runs;
        journal.iterations = iterations;
        return effectId == 7 ? 0 : -1;
    }
    void Close(SDL_Haptic*) override { ++journal.closes; }

  private:
    Journal& journal;
    int device = 0;
};

// Controllers through SDL's virtual joysticks; events reach the input system through the real pump.
class ControllerTest : public InputTest
{
  protected:
    void SetUp() override
    {
        InputTest::SetUp();
        ASSERT_EQ(SDL_Init(SDL_INIT_GAMECONTROLLER | SDL_INIT_HAPTIC), 0) << SDL_GetError();
    }
    void TearDown() override
    {
        input->Exit();
        while (SDL_NumJoysticks() > 0)
            SDL_JoystickDetachVirtual(0);
        Pump();
        SetHapticCalls(nullptr);
        SDL_Quit();
        InputTest::TearDown();
    }

    int Attach() { return AttachVirtualController(); }

    void Pump()
    {
        SDL_Event event;
        while (SDL_PollEvent(&event))
            pump.HandleEvent(event);
    }

    // Sets the joystick axis that the slot's controller maps to the given controller axis.
    void SetStick(GameController& slot, SDL_GameControllerAxis axis, Sint16 value)
    {
        SetVirtualAxis(slot.controller, axis, value);
    }

    void PressButton(GameController& slot, SDL_GameControllerButton button, bool down)
    {
        SetVirtualButton(slot.controller, button, down);
        Pump();
    }

    WindowProvider pump;
};

TEST_F(ControllerTest, TwoDevicesFillBothSlotsAndAThirdIsIgnored)
{
    Attach();
    Attach();
    Attach();
    Pump();
    EXPECT_TRUE(input->controllers[0].connected);
    EXPECT_TRUE(input->controllers[1].connected);
    EXPECT_EQ(input->controllers[0].deviceIndex, 0);
    EXPECT_EQ(input->controllers[1].deviceIndex, 1);
    EXPECT_NE(input->controllers[0].instanceId, input->controllers[1].instanceId);
}

TEST_F(ControllerTest, DeadZonePassesEightThousandAndBeyond)
{
    Attach();
    Pump();
    GameController& slot = input->controllers[0];
    ASSERT_TRUE(slot.connected);
    const std::pair<Sint16, Sint16> cases[] = {{7999, 0},  {8000, 8000},     {-8000, -8000},
                                               {-7999, 0}, {-32768, -32768}, {32767, 32767}};
    for (const auto& [raw, expected] : cases)
    {
        SetStick(slot, SDL_CONTROLLER_AXIS_LEFTX, raw);
        EXPECT_EQ(slot.GetAxis(0), expected) << raw;
    }
    EXPECT_EQ(slot.GetAxis(-1), 0);
    EXPECT_EQ(slot.GetAxis(6), 0);
}

TEST_F(ControllerTest, AxisEdgesLastOneUpdate)
{
    Attach();
    Pump();
    GameController& slot = input->controllers[0];
    SetStick(slot, SDL_CONTROLLER_AXIS_RIGHTY, 20000);
    RunUpdate();
    EXPECT_EQ(slot.axisPressedValues[4], 20000);
    EXPECT_EQ(slot.GetRightStick(), Vector2(0.0f, 20000.0f));
    RunUpdate();
    EXPECT_EQ(slot.axisPressedValues[4], 0);
    EXPECT_EQ(slot.axisValues[4], 20000);
    SetStick(slot, SDL_CONTROLLER_AXIS_RIGHTY, 100);
    RunUpdate();
    EXPECT_TRUE(slot.axisReleased[4]);
    RunUpdate();
    EXPECT_FALSE(slot.axisReleased[4]);
}

TEST_F(ControllerTest, ButtonsOfEachDeviceReachItsOwnSlot)
{
    Attach();
    Attach();
    Pump();
    RunUpdate();
    PressButton(input->controllers[1], SDL_CONTROLLER_BUTTON_X, true);
    EXPECT_TRUE(input->IsControllerButtonTriggered(SDL_CONTROLLER_BUTTON_X, 1));
    EXPECT_FALSE(input->IsControllerButtonTriggered(SDL_CONTROLLER_BUTTON_X, 0));
    EXPECT_TRUE(input->controllers[1].IsButtonDown(SDL_CONTROLLER_BUTTON_X));
}

TEST_F(ControllerTest, HapticFailureKeepsTheSlotConnected)
{
    Attach();
    Pump();
    EXPECT_TRUE(input->controllers[0].connected);
    EXPECT_EQ(input->controllers[0].haptic, nullptr);
}

TEST_F(ControllerTest, PluggingInPlaysOneShortLeftRightRumble)
{
    FakeHapticCalls::Journal journal;
    SetHapticCalls(std::make_unique<FakeHapticCalls>(journal));
    Attach();
    Pump();
    GameController& slot = input->controllers[0];
    ASSERT_NE(slot.haptic, nullptr);
    EXPECT_EQ(journal.effect.type, SDL_HAPTIC_LEFTRIGHT);
    EXPECT_EQ(journal.effect.leftright.length, 500u);
    EXPECT_EQ(journal.effect.leftright.large_magnitude, 2000);
    EXPECT_EQ(journal.effect.leftright.small_magnitude, 100);
    EXPECT_EQ(journal.runs, 1);
    EXPECT_EQ(journal.iterations, 1u);
    EXPECT_EQ(slot.effectId, 7);

    slot.Exit();
    slot.Exit();
    EXPECT_EQ(journal.closes, 1);
    EXPECT_EQ(slot.haptic, nullptr);
    EXPECT_EQ(slot.effectId, -1);
}

TEST_F(ControllerTest, ReplugTakesTheFreeSlotAndTheOtherPlayerKeepsWorking)
{
    Attach();
    Attach();
    Pump();
    const SDL_JoystickID playerB = input->controllers[1].instanceId;

    SDL_JoystickDetachVirtual(0);
    Pump();
    EXPECT_FALSE(input->controllers[0].connected);
    ASSERT_TRUE(input->controllers[1].connected);

    EXPECT_EQ(Attach(), 1);
    Pump();
    EXPECT_TRUE(input->controllers[0].connected);
    EXPECT_EQ(input->controllers[0].deviceIndex, 1);
    ASSERT_TRUE(input->controllers[1].connected);
    EXPECT_EQ(input->controllers[1].instanceId, playerB);

    RunUpdate();
    PressButton(input->controllers[1], SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_TRUE(input->IsControllerButtonTriggered(SDL_CONTROLLER_BUTTON_A, 1));
    PressButton(input->controllers[0], SDL_CONTROLLER_BUTTON_B, true);
    EXPECT_TRUE(input->IsControllerButtonTriggered(SDL_CONTROLLER_BUTTON_B, 0));
}

TEST_F(ControllerTest, UnpluggingLetsGoOfHeldButtons)
{
    Attach();
    Pump();
    PressButton(input->controllers[0], SDL_CONTROLLER_BUTTON_Y, true);
    ASSERT_TRUE(input->controllers[0].IsButtonDown(SDL_CONTROLLER_BUTTON_Y));
    SDL_JoystickDetachVirtual(0);
    Pump();
    EXPECT_FALSE(input->controllers[0].connected);
    EXPECT_FALSE(input->controllers[0].IsButtonDown(SDL_CONTROLLER_BUTTON_Y));
}

TEST_F(ControllerTest, ReplayedAxesAnswerOnAnOpenSlot)
{
    Attach();
    Pump();
    WriteReplayFile("0 0 1 -12000 0\n0 0 2 5000 0\n9 768 1 97 0\n");
    StartReplay();
    RunUpdate();
    RunUpdate();
    EXPECT_EQ(input->controllers[0].GetAxis(1), -12000);
    EXPECT_EQ(input->controllers[0].GetAxis(2), 0);
    EXPECT_EQ(input->controllers[0].axisPressedValues[1], -12000);
    StopReplay();
}
} // namespace
