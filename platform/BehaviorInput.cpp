#include "BehaviorInput.h"

#include "InputSystem.h"
#include "LevelIArchive.h"
#include "Prototypes.h"
#include "TypeIds.h"

#include <algorithm>
#include <string>

namespace
{
constexpr const char* kSizeElement = "BehaviorInput_Size";
constexpr const char* kKeyElement = "BehaviorInput_Key";
constexpr const char* kButtonElement = "BehaviorInput_Button";
constexpr const char* kAxisElement = "BehaviorInput_Axis";
constexpr const char* kAxisPositiveElement = "BehaviorInput_AxisPositive";
constexpr const char* kControllerIndexElement = "BehaviorInput_ControllerIndex";

constexpr const char* kActionNames[] = {"Up", "Down", "Left", "Right", "Jump", "Grab"};

// No key event matches an unbound key, not even SDL's "unknown key", which also carries 0.
bool ContainsKey(const std::vector<std::int32_t>& keys, std::int32_t key)
{
    return key != 0 && std::find(keys.begin(), keys.end(), key) != keys.end();
}

bool OnAxisSide(std::int32_t value, bool positive)
{
    return positive ? value > 0 : value < 0;
}

const GameController* SlotOf(const InputBinding& binding)
{
    if (gInputSystem == nullptr || binding.controllerIndex < 0 ||
        binding.controllerIndex >= InputSystem::kControllerSlots)
        return nullptr;
    return &gInputSystem->controllers[binding.controllerIndex];
}
} // namespace

BehaviorInput::BehaviorInput()
    : Component(kClassName, ComponentTypeId::kBehaviorInput), bindings(kBindingCount)
{
    RegisterComponentPrototype(*this);
}

std::unique_ptr<Component> BehaviorInput::Clone() const
{
    return std::make_unique<BehaviorInput>(*this);
}

std::unique_ptr<Component> BehaviorInput::Load(LevelIArchive& archive)
{
    const std::uint64_t count = ReadCount(archive, kSizeElement);
    if (count > kMaxLoadedBindings)
        archive.Fail(kSizeElement, "binding count " + std::to_string(count) + " is more than " +
                                       std::to_string(kMaxLoadedBindings));
    std::vector<InputBinding> loaded(static_cast<std::size_t>(count));
    for (InputBinding& binding : loaded)
    {
        ReadField(archive, kKeyElement, binding.key);
        ReadField(archive, kButtonElement, binding.button);
        ReadField(archive, kAxisElement, binding.axis);
        ReadField(archive, kAxisPositiveElement, binding.axisPositive);
        ReadField(archive, kControllerIndexElement, binding.controllerIndex);
    }
    bindings = std::move(loaded);
    return Clone();
}

void BehaviorInput::Save(LevelOArchive& archive) const
{
    WriteField(archive, kSizeElement, static_cast<std::uint64_t>(bindings.size()));
    for (const InputBinding& binding : bindings)
    {
        WriteField(archive, kKeyElement, binding.key);
        WriteField(archive, kButtonElement, binding.button);
        WriteField(archive, kAxisElement, binding.axis);
        WriteField(archive, kAxisPositiveElement, binding.axisPositive);
        WriteField(archive, kControllerIndexElement, binding.controllerIndex);
    }
}

void BehaviorInput::DrawEditor()
{
    DrawFieldEditors(Descriptors(), *this);
}

bool BehaviorInput::IsActionTriggered(int action) const
{
    const InputBinding* binding = FindBinding(action);
    if (binding == nullptr || gInputSystem == nullptr)
        return false;
    if (ContainsKey(gInputSystem->keysTriggered, binding->key))
        return true;
    if (gInputSystem->IsControllerButtonTriggered(binding->button, binding->controllerIndex))
        return true;
    const GameController* slot = SlotOf(*binding);
    if (slot == nullptr || binding->axis < 0 || binding->axis >= GameController::kAxisCount)
        return false;
    return OnAxisSide(slot->axisPressedValues[binding->axis], binding->axisPositive);
}

bool BehaviorInput::IsActionHeld(int action) const
{
    const InputBinding* binding = FindBinding(action);
    if (binding == nullptr || gInputSystem == nullptr)
        return false;
    if (ContainsKey(gInputSystem->keysDown, binding->key))
        return true;
    const GameController* slot = SlotOf(*binding);
    if (slot == nullptr)
        return false;
    if (slot->IsButtonDown(binding->button))
        return true;
    return OnAxisSide(slot->GetAxis(binding->axis), binding->axisPositive);
}

void BehaviorInput::SetKey(int action, std::int32_t key)
{
    if (InputBinding* binding = FindBinding(action))
        binding->key = key;
}

void BehaviorInput::SetButton(int action, std::int32_t button, std::int32_t controllerIndex)
{
    if (InputBinding* binding = FindBinding(action))
    {
        binding->button = button;
        binding->controllerIndex = controllerIndex;
    }
}

void BehaviorInput::SetAxis(int action, std::int32_t axis, std::int32_t controllerIndex, bool positive)
{
    if (InputBinding* binding = FindBinding(action))
    {
        binding->axis = axis;
        binding->controllerIndex = controllerIndex;
        binding->axisPositive = positive;
    }
}

InputBinding* BehaviorInput::FindBinding(int action)
{
    if (action < 0 || static_cast<std::size_t>(action) >= bindings.size())
        return nullptr;
    return &bindings[static_cast<std::size_t>(action)];
}

const InputBinding* BehaviorInput::FindBinding(int action) const
{
    return const_cast<BehaviorInput*>(this)->FindBinding(action);
}

const DescriptorList<BehaviorInput>& BehaviorInput::Descriptors()
{
    static const DescriptorList<BehaviorInput> list = []
    {
        DescriptorList<BehaviorInput> fields;
        std::uint32_t bindingIndex = 0;
        for (const char* actionName : kActionNames)
            fields.push_back(std::make_unique<MetaInput<BehaviorInput>>(
                actionName, FieldOptions{.firstVersion = 1, .save = false}, bindingIndex++));
        return fields;
    }();
    return list;
}
