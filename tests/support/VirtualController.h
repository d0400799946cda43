#pragma once
#include <SDL.h>
#include <gtest/gtest.h>

// Controllers through SDL's virtual joysticks, for tests that drive the real input path.

// Plugs in a six-axis, fifteen-button game controller; returns its device index (negative on failure).
inline int AttachVirtualController()
{
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = 6;
    desc.nbuttons = 15;
    const int deviceIndex = SDL_JoystickAttachVirtualEx(&desc);
    EXPECT_GE(deviceIndex, 0) << SDL_GetError();
    return deviceIndex;
}

// Sets the joystick axis that the opened controller maps to the given controller axis.
inline void SetVirtualAxis(SDL_GameController* controller, SDL_GameControllerAxis axis, Sint16 value)
{
    ASSERT_NE(controller, nullptr);
    const SDL_GameControllerButtonBind bind = SDL_GameControllerGetBindForAxis(controller, axis);
    ASSERT_EQ(bind.bindType, SDL_CONTROLLER_BINDTYPE_AXIS);
    SDL_JoystickSetVirtualAxis(SDL_GameControllerGetJoystick(controller), bind.value.axis, value);
    SDL_GameControllerUpdate();
}

// Holds or releases the joystick button that the opened controller maps to the given button.
inline void SetVirtualButton(SDL_GameController* controller, SDL_GameControllerButton button, bool down)
{
    ASSERT_NE(controller, nullptr);
    const SDL_GameControllerButtonBind bind = SDL_GameControllerGetBindForButton(controller, button);
    ASSERT_EQ(bind.bindType, SDL_CONTROLLER_BINDTYPE_BUTTON);
    SDL_JoystickSetVirtualButton(SDL_GameControllerGetJoystick(controller), bind.value.button,
                                 down ? SDL_PRESSED : SDL_RELEASED);
}
