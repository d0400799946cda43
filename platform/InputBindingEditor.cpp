#include "InputBindingEditor.h"

#include "BehaviorInput.h"
#include "InputSystem.h"

#include <SDL.h>
#include <imgui.h>

#include <set>

namespace
{
constexpr const char* kWaitingLabel = "Press A Key To Set";
constexpr const char* kUnsetKeyLabel = "Unset Key";
constexpr const char* kButtonItems[] = {"Not Set",
                                        "A",
                                        "B",
                                        "X",
                                        "Y",
                                        "Back",
                                        "Guide",
                                        "Start",
                                        "LeftStick",
                                        "RightStick",
                                        "LeftShoulder",
                                        "RightShoulder",
                                        "DPadUp",
                                        "DPadDown",
                                        "DPadLeft",
                                        "DPadRight"};
constexpr const char* kAxisItems[] = {"Not Set", "LeftX",  "LeftY",       "LeftTrigger",
                                      "RightX",  "RightY", "RightTrigger"};
constexpr const char* kControllerItems[] = {"Not Set", "Controller1", "Controller2"};

std::set<std::uint32_t> waitingFields;

// A combo whose item n stores the value n - 1 ("Not Set" is -1); a value outside the list shows "Not Set".
void EditChoice(const char* label, std::int32_t& value, const char* const* items, int itemCount)
{
    int item = value + 1;
    if (item < 0 || item >= itemCount)
        item = 0;
    if (ImGui::Combo(label, &item, items, itemCount))
        value = item - 1;
}

void DrawKeyButton(InputBinding& binding, std::uint32_t fieldId)
{
    const bool waiting = IsWaitingForKey(fieldId);
    const std::string buttonLabel = waiting ? kWaitingLabel : KeyDisplayName(binding.key);
    ImGui::Text("SDL KeyCode:");
    ImGui::SameLine();
    if (ImGui::Button(buttonLabel.c_str()))
    {
        // A second click cancels the wait.
        SetWaitingForKey(fieldId, !waiting);
        return;
    }
    if (!waiting || gInputSystem == nullptr)
        return;
    if (const std::optional<std::int32_t> key = CaptureKey(*gInputSystem))
    {
        binding.key = *key;
        SetWaitingForKey(fieldId, false);
    }
}
} // namespace

std::string KeyDisplayName(std::int32_t key)
{
    if (key >= 33 && key <= 126)
        return std::string(1, static_cast<char>(key));
    switch (key)
    {
    case 0:
        return "Not Set";
    case SDLK_SPACE:
        return "Space Bar";
    case SDLK_UP:
        return "Up Arrow";
    case SDLK_DOWN:
        return "Down Arrow";
    case SDLK_LEFT:
        return "Left Arrow";
    case SDLK_RIGHT:
        return "Right Arrow";
    case SDLK_LSHIFT:
        return "Left Shift";
    case SDLK_RSHIFT:
        return "Right Shift";
    default:
        return "UNREADABLE";
    }
}

std::optional<std::int32_t> CaptureKey(const InputSystem& input)
{
    if (!input.keysDown.empty())
        return input.keysDown.front();
    for (const GameController& slot : input.controllers)
    {
        if (!slot.buttonsDown.empty())
            return 0;
    }
    return std::nullopt;
}

bool IsWaitingForKey(std::uint32_t fieldId)
{
    return waitingFields.count(fieldId) != 0;
}

void SetWaitingForKey(std::uint32_t fieldId, bool waiting)
{
    if (waiting)
        waitingFields.insert(fieldId);
    else
        waitingFields.erase(fieldId);
}

void DrawInputBindingEditor(BehaviorInput& input, std::uint32_t bindingIndex, const std::string& label,
                            std::uint32_t fieldId)
{
    InputBinding* binding = input.FindBinding(static_cast<int>(bindingIndex));
    if (binding == nullptr)
        return;
    ImGui::PushID(static_cast<int>(bindingIndex));
    ImGui::Text("%s", label.c_str());
    DrawKeyButton(*binding, fieldId);
    ImGui::SameLine();
    if (ImGui::Button(kUnsetKeyLabel))
        binding->key = 0;
    EditChoice("Change Button", binding->button, kButtonItems, IM_ARRAYSIZE(kButtonItems));
    EditChoice("Change Axis", binding->axis, kAxisItems, IM_ARRAYSIZE(kAxisItems));
    EditChoice("Change Controller Index", binding->controllerIndex, kControllerItems,
               IM_ARRAYSIZE(kControllerItems));
    ImGui::Checkbox("Use Positive Axis", &binding->axisPositive);
    ImGui::PopID();
}
