#include "MenuButtonState.h"

#include "CCSM.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "MenuSystem.h"
#include "TypeIds.h"

namespace
{
using ActionOf = std::uint32_t MenuButtonState::*;

// Runs the chosen action of the machine's button state with the machine's owner; always finishes.
std::int32_t RunButtonAction(const CCSM* machine, ActionOf action)
{
    if (machine == nullptr)
        return 1;
    auto* state = dynamic_cast<MenuButtonState*>(machine->GetState(kStateMenuButtonMode));
    if (state == nullptr || gGameObjectFactory == nullptr)
        return 1;
    GameObject* button = gGameObjectFactory->GetObject(machine->GetOwner());
    if (button != nullptr && gMenuSystem != nullptr)
        gMenuSystem->RunAction(state->*action, button);
    return 1;
}
} // namespace

std::unique_ptr<State> MenuButtonState::Clone(const std::string& contextName) const
{
    std::unique_ptr<MenuButtonState> copy(new MenuButtonState(*this));
    copy->owner = nullptr;
    copy->TakeContext(contextName);
    return copy;
}

std::int32_t SelectButton::Execute(float dt)
{
    (void)dt;
    return RunButtonAction(owner, &MenuButtonState::selectAction);
}

std::int32_t DeSelectButton::Execute(float dt)
{
    (void)dt;
    return RunButtonAction(owner, &MenuButtonState::deselectAction);
}

std::int32_t PressButton::Execute(float dt)
{
    (void)dt;
    return RunButtonAction(owner, &MenuButtonState::pressAction);
}

MenuButtonState* ButtonStateOf(const GameObject* button)
{
    if (button == nullptr)
        return nullptr;
    const auto* machine = button->GetComponentAs<CCSM>(ComponentTypeId::kCCSM);
    if (machine == nullptr)
        return nullptr;
    return dynamic_cast<MenuButtonState*>(machine->GetState(kStateMenuButtonMode));
}
