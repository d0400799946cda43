#pragma once
#include "EngineSystem.h"
#include "GameController.h"

#include <cstdint>
#include <vector>

struct SDL_KeyboardEvent;

// What the game knows of keyboard, mouse and the two controller slots this frame: what is held, what
// was pressed or released during the latest pump, and the controllers' axes with their edges.
class InputSystem : public EngineSystem
{
  public:
    using Controller = GameController;

    struct Point
    {
        std::int32_t x = 0;
        std::int32_t y = 0;
    };
    struct MouseButtons
    {
        std::uint32_t now = 0;
        std::uint32_t pressed = 0;
        std::uint32_t released = 0;
    };

    static constexpr std::int32_t kEscapeKey = 27;
    static constexpr int kControllerSlots = 2;

    InputSystem();
    ~InputSystem() override;

    // Starts text input and reads the preferences folder.
    void Init() override;
    // Advances a replay, polls the mouse and samples both controllers' axes.
    void Update(float dt) override;
    // Stops text input and closes both controller slots.
    void Exit() override;

    // Empties the keys and buttons pressed and released this frame (the pump does so first).
    void ClearFrameLists();
    // Takes a key down or up event: held, triggered and released lists, and the recording.
    void HandleKeyEvent(const SDL_KeyboardEvent& event, bool pressed);
    // Whether the button was pressed this frame on slot 0 or 1; any other slot gives false.
    bool IsControllerButtonTriggered(int button, int controllerIndex) const;
    // Opens a newly plugged controller in the slot of its device index, else in the other free slot.
    void OnControllerAdded(int deviceIndex);
    // Closes the slot that holds this joystick instance; unknown ids are ignored.
    void OnControllerRemoved(std::int32_t instanceId);
    // The open or closed slot whose instance id matches, slot 0 first; null when none does.
    Controller* FindController(std::int32_t instanceId);

    // Whether the key is held now, was pressed this frame, or was released this frame.
    bool IsKeyDown(std::int32_t key) const;
    bool IsKeyTriggered(std::int32_t key) const;
    bool IsKeyReleased(std::int32_t key) const;

    Point mousePosition;
    Point mouseMotion;
    std::int32_t mouseWheel = 0;
    MouseButtons mouseButtons;
    Controller controllers[kControllerSlots];
    // Held keys in the order they were pressed, each once.
    std::vector<std::int32_t> keysDown;
    std::vector<std::int32_t> keysTriggered;
    std::vector<std::int32_t> keysReleased;

  private:
    void PollMouse();
};

extern InputSystem* gInputSystem;
