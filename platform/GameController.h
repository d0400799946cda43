#pragma once
#include "Math.h"

#include <cstdint>
#include <vector>

struct _SDL_GameController;
struct _SDL_Haptic;
struct SDL_ControllerButtonEvent;

// One controller slot: the open device, its plug-in rumble, held and per-frame buttons, and the six
// axes (left x, left y, left trigger, right x, right y, right trigger) with their per-frame edges.
class GameController
{
  public:
    static constexpr int kAxisCount = 6;
    // The START button pauses; recording it would end the credits' replay.
    static constexpr std::uint8_t kStartButton = 6;

    GameController() = default;
    GameController(const GameController&) = delete;
    GameController& operator=(const GameController&) = delete;

    // Opens SDL device index deviceIndex and plays the plug-in rumble.
    void Init(int deviceIndex);
    // Closes the rumble and the device; the instance id is kept.
    void Exit();
    // Samples the six axes, sets their edges and records them while recording.
    void Update();
    // Takes a button down or up event for this slot.
    void HandleButtonEvent(const SDL_ControllerButtonEvent& event, bool pressed);
    // The axis (live, or replayed during a replay) after the dead zone; 0 outside 0..5.
    std::int16_t GetAxis(int axis) const;
    // The right stick (axes 3 and 4) in raw units after the dead zone.
    Vector2 GetRightStick() const;
    // Whether the button is held now.
    bool IsButtonDown(int button) const;

    bool connected = false;
    std::int32_t deviceIndex = 0;
    // SDL's joystick instance id: 0 until opened, kept after closing.
    std::int32_t instanceId = 0;
    _SDL_GameController* controller = nullptr;
    _SDL_Haptic* haptic = nullptr;
    std::int32_t effectId = -1;
    std::int32_t deadZone = 8000;
    std::vector<std::uint8_t> buttonsDown;
    std::vector<std::uint8_t> buttonsTriggered;
    std::vector<std::uint8_t> buttonsReleased;
    std::int16_t axisValues[kAxisCount] = {};
    bool axisReleased[kAxisCount] = {};
    std::int16_t axisPressedValues[kAxisCount] = {};

  private:
    void StartRumble(struct _SDL_Joystick* joystick);
    std::int16_t ReadRawAxis(int axis) const;
};
