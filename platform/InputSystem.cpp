#include "InputSystem.h"

#include "InputRecording.h"

#include <SDL.h>

#include <algorithm>

InputSystem* gInputSystem = nullptr;

namespace
{
bool Contains(const std::vector<std::int32_t>& keys, std::int32_t key)
{
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}
} // namespace

InputSystem::InputSystem() : EngineSystem(estInputSystem)
{
    PublishOnce(gInputSystem, this);
}

InputSystem::~InputSystem()
{
    UnpublishIfOwner(gInputSystem, this);
}

void InputSystem::Init()
{
    SDL_StartTextInput();
    InitPrefsFolder();
}

void InputSystem::Update(float dt)
{
    (void)dt;
    PumpReplay(*this);
    PollMouse();
    for (Controller& slot : controllers)
        slot.Update();
}

void InputSystem::Exit()
{
    SDL_StopTextInput();
    for (Controller& slot : controllers)
        slot.Exit();
}

void InputSystem::PollMouse()
{
    const std::uint32_t previous = mouseButtons.now;
    mouseButtons.now = SDL_GetMouseState(&mousePosition.x, &mousePosition.y);
    mouseButtons.pressed = mouseButtons.now & ~previous;
    mouseButtons.released = previous & ~mouseButtons.now;
    SDL_GetRelativeMouseState(&mouseMotion.x, &mouseMotion.y);
}

void InputSystem::ClearFrameLists()
{
    keysTriggered.clear();
    keysReleased.clear();
    for (Controller& slot : controllers)
    {
        slot.buttonsTriggered.clear();
        slot.buttonsReleased.clear();
    }
}

void InputSystem::HandleKeyEvent(const SDL_KeyboardEvent& event, bool pressed)
{
    if (event.type != SDL_KEYDOWN && event.type != SDL_KEYUP)
        return;
    const std::int32_t key = event.keysym.sym;
    if (pressed)
    {
        // An auto-repeat of a held key adds nothing.
        if (!Contains(keysDown, key))
        {
            keysDown.push_back(key);
            keysTriggered.push_back(key);
        }
    }
    else
    {
        std::erase(keysDown, key);
        keysReleased.push_back(key);
    }
    if (IsRecording() && !IsNeverRecordedKey(key))
        WriteInputRecord(event.type == SDL_KEYDOWN ? kRecordKeyDown : kRecordKeyUp, pressed ? 1 : 0, key, 0);
}

bool InputSystem::IsControllerButtonTriggered(int button, int controllerIndex) const
{
    if (controllerIndex < 0 || controllerIndex >= kControllerSlots)
        return false;
    const std::vector<std::uint8_t>& triggered = controllers[controllerIndex].buttonsTriggered;
    return std::any_of(triggered.begin(), triggered.end(),
                       [button](std::uint8_t pressed) { return pressed == button; });
}

void InputSystem::OnControllerAdded(int deviceIndex)
{
    if (deviceIndex < 0 || deviceIndex >= kControllerSlots)
        return;
    // A device already open (SDL repeats "added" for devices present at start) keeps its slot.
    const SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    for (const Controller& slot : controllers)
    {
        if (slot.connected && slot.instanceId == instance)
            return;
    }
    // Device indices shift when a controller is unplugged, so a replugged one may carry the index of a
    // slot still in use; it then takes the other slot, never the open one.
    Controller* target = &controllers[deviceIndex];
    if (target->connected)
        target = &controllers[1 - deviceIndex];
    if (target->connected)
        return;
    target->Init(deviceIndex);
}

void InputSystem::OnControllerRemoved(std::int32_t instanceId)
{
    for (Controller& slot : controllers)
    {
        if (slot.connected && slot.instanceId == instanceId)
        {
            slot.Exit();
            return;
        }
    }
}

InputSystem::Controller* InputSystem::FindController(std::int32_t instanceId)
{
    for (Controller& slot : controllers)
    {
        if (slot.instanceId == instanceId)
            return &slot;
    }
    return nullptr;
}

bool InputSystem::IsKeyDown(std::int32_t key) const
{
    return Contains(keysDown, key);
}

bool InputSystem::IsKeyTriggered(std::int32_t key) const
{
    return Contains(keysTriggered, key);
}

bool InputSystem::IsKeyReleased(std::int32_t key) const
{
    return Contains(keysReleased, key);
}
