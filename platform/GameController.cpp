#include "GameController.h"

#include "HapticCalls.h"
#include "InputRecording.h"

#include <SDL.h>

#include <algorithm>
#include <iostream>

namespace
{
constexpr const char* kConsolePrefix = "CONTROLLER: ";
constexpr std::uint32_t kRumbleLengthMs = 500;
constexpr std::uint16_t kRumbleLargeMagnitude = 2000;
constexpr std::uint16_t kRumbleSmallMagnitude = 100;

constexpr SDL_GameControllerAxis kAxes[GameController::kAxisCount] = {
    SDL_CONTROLLER_AXIS_LEFTX,  SDL_CONTROLLER_AXIS_LEFTY,  SDL_CONTROLLER_AXIS_TRIGGERLEFT,
    SDL_CONTROLLER_AXIS_RIGHTX, SDL_CONTROLLER_AXIS_RIGHTY, SDL_CONTROLLER_AXIS_TRIGGERRIGHT,
};

std::int16_t ClampToAxis(std::int32_t value)
{
    return static_cast<std::int16_t>(std::clamp<std::int32_t>(value, -32768, 32767));
}
} // namespace

void GameController::Init(int deviceIndex_)
{
    if (SDL_NumJoysticks() <= deviceIndex_)
        return;
    controller = SDL_GameControllerOpen(deviceIndex_);
    if (controller == nullptr)
    {
        std::cerr << kConsolePrefix << "Unable to open controller\n";
        return;
    }
    deviceIndex = deviceIndex_;
    std::cout << kConsolePrefix << "Controller plugged in\n";
    connected = true;
    SDL_Joystick* joystick = SDL_GameControllerGetJoystick(controller);
    instanceId = SDL_JoystickInstanceID(joystick);
    StartRumble(joystick);
}

// A short rumble tells the player the controller was taken.
void GameController::StartRumble(SDL_Joystick* joystick)
{
    HapticCalls& calls = GetHapticCalls();
    haptic = calls.OpenFromJoystick(joystick);
    if (haptic == nullptr)
    {
        std::cerr << kConsolePrefix << "Unable to open force feedback device\n"
                  << kConsolePrefix << "SDL ERROR = " << SDL_GetError() << "\n"
                  << kConsolePrefix << "Controller Haptic? " << SDL_JoystickIsHaptic(joystick) << "\n";
        return;
    }
    std::cout << kConsolePrefix << "Possible number of Haptic Effects: " << calls.NumEffects(haptic) << "\n";
    if ((calls.Query(haptic) & SDL_HAPTIC_LEFTRIGHT) == 0)
        std::cerr << kConsolePrefix << SDL_GetError() << "\n";

    SDL_HapticEffect effect;
    SDL_memset(&effect, 0, sizeof(effect));
    effect.type = SDL_HAPTIC_LEFTRIGHT;
    effect.leftright.length = kRumbleLengthMs;
    effect.leftright.large_magnitude = kRumbleLargeMagnitude;
    effect.leftright.small_magnitude = kRumbleSmallMagnitude;
    std::cout << kConsolePrefix << "Number of effects playing: " << calls.NumEffectsPlaying(haptic) << "\n";

    effectId = calls.NewEffect(haptic, &effect);
    if (effectId == -1)
    {
        std::cerr << kConsolePrefix << SDL_GetError() << "\n";
        return;
    }
    if (calls.RunEffect(haptic, effectId, 1) < 0)
        std::cerr << kConsolePrefix << SDL_GetError() << "\n";
}

void GameController::Exit()
{
    std::cout << kConsolePrefix << "Closing controller: " << instanceId << "\n";
    // Cleared at once, so that a second Exit never closes stale handles.
    if (haptic != nullptr)
        GetHapticCalls().Close(haptic);
    haptic = nullptr;
    effectId = -1;
    if (controller != nullptr)
        SDL_GameControllerClose(controller);
    controller = nullptr;
    connected = false;
    // An unplugged device holds nothing; otherwise its last held button would stay down for good.
    buttonsDown.clear();
}

std::int16_t GameController::ReadRawAxis(int axis) const
{
    if (controller == nullptr)
        return 0;
    return SDL_GameControllerGetAxis(controller, kAxes[axis]);
}

std::int16_t GameController::GetAxis(int axis) const
{
    if (axis < 0 || axis >= kAxisCount)
        return 0;
    std::int16_t value = 0;
    if (IsReplaying())
        value = connected ? ClampToAxis(FindReplayedAxis(deviceIndex, axis).value_or(0)) : 0;
    else
        value = ReadRawAxis(axis);
    // Compared, never negated: -32768 has no positive counterpart.
    return (value <= -deadZone || value >= deadZone) ? value : 0;
}

Vector2 GameController::GetRightStick() const
{
    return Vector2(static_cast<float>(GetAxis(3)), static_cast<float>(GetAxis(4)));
}

bool GameController::IsButtonDown(int button) const
{
    return std::any_of(buttonsDown.begin(), buttonsDown.end(),
                       [button](std::uint8_t held) { return held == button; });
}

void GameController::Update()
{
    for (int axis = 0; axis < kAxisCount; ++axis)
    {
        const std::int16_t newValue = GetAxis(axis);
        if (axisValues[axis] != 0)
        {
            axisReleased[axis] = newValue == 0;
            axisPressedValues[axis] = 0;
        }
        else
        {
            axisReleased[axis] = false;
            axisPressedValues[axis] = newValue;
        }
        axisValues[axis] = newValue;
    }
    if (!IsRecording())
        return;
    for (int axis = 0; axis < kAxisCount; ++axis)
        WriteInputRecord(kRecordAxis, axis, axisValues[axis], deviceIndex);
}

void GameController::HandleButtonEvent(const SDL_ControllerButtonEvent& event, bool pressed)
{
    const std::uint8_t button = event.button;
    if (pressed)
    {
        buttonsDown.push_back(button);
        buttonsTriggered.push_back(button);
        std::cout << "Button Pressed: " << static_cast<int>(button) << "\n";
    }
    else
    {
        std::erase(buttonsDown, button);
        buttonsReleased.push_back(button);
        std::cout << "Button Released: " << static_cast<int>(button) << "\n";
    }
    if (IsRecording() && !IsNeverRecordedButton(button))
        WriteInputRecord(event.type == SDL_CONTROLLERBUTTONDOWN ? kRecordButtonDown : kRecordButtonUp,
                         pressed ? 1 : 0, button, event.which);
}
