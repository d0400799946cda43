#pragma once
#include "Command.h"
#include "State.h"

#include <cstdint>
#include <memory>
#include <string>

class GameObject;

// State 7 of a menu button's machine: the three menu actions the button runs when it becomes selected,
// when the selection leaves it and when it is pressed.
class MenuButtonState : public State
{
  public:
    MenuButtonState() : State(kStateMenuButtonMode) {}

    // Takes the named context's allowed commands and copies the three action indices.
    std::unique_ptr<State> Clone(const std::string& contextName) const override;

    std::uint32_t selectAction = 0;
    std::uint32_t deselectAction = 0;
    std::uint32_t pressAction = 0;

  private:
    MenuButtonState(const MenuButtonState&) = default;
};

// The three button commands: each runs one of its button's actions through the machine and finishes.
// They are allowed in the buttons' context; nothing in the game sends them.
class SelectButton : public Command
{
  public:
    SelectButton() : Command(kCommandSelectMenuButton) {}
    std::unique_ptr<Command> Clone() const override { return std::unique_ptr<Command>(new SelectButton(*this)); }
    std::int32_t Execute(float dt) override;

  private:
    SelectButton(const SelectButton&) = default;
};

class DeSelectButton : public Command
{
  public:
    DeSelectButton() : Command(kCommandDeSelectMenuButton) {}
    std::unique_ptr<Command> Clone() const override
    {
        return std::unique_ptr<Command>(new DeSelectButton(*this));
    }
    std::int32_t Execute(float dt) override;

  private:
    DeSelectButton(const DeSelectButton&) = default;
};

class PressButton : public Command
{
  public:
    PressButton() : Command(kCommandPressMenuButton) {}
    std::unique_ptr<Command> Clone() const override { return std::unique_ptr<Command>(new PressButton(*this)); }
    std::int32_t Execute(float dt) override;

  private:
    PressButton(const PressButton&) = default;
};

// The button state of an object's machine, or null.
MenuButtonState* ButtonStateOf(const GameObject* button);
