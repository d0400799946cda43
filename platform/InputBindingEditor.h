#pragma once
#include <cstdint>
#include <optional>
#include <string>

class BehaviorInput;
class InputSystem;

// The name a key's button shows in the binding editor: the character for printable codes, a few named
// keys, "Not Set" for 0 and "UNREADABLE" for the rest.
std::string KeyDisplayName(std::int32_t key);

// What a binding editor waiting for a key takes from this frame's input: the first held key; 0 when a
// controller button is held instead (controllers bind through the button combo); nothing otherwise.
std::optional<std::int32_t> CaptureKey(const InputSystem& input);

// Whether the binding editor with this field id is waiting for a key; clicking its key button toggles it.
bool IsWaitingForKey(std::uint32_t fieldId);
void SetWaitingForKey(std::uint32_t fieldId, bool waiting);

// Draws the editor of one binding (key button, "Unset Key", button, axis and controller combos, axis side
// check box); a binding the component lacks draws nothing. It is the object model's input-editor hook.
void DrawInputBindingEditor(BehaviorInput& input, std::uint32_t bindingIndex, const std::string& label,
                            std::uint32_t fieldId);
