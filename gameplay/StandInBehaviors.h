#pragma once
#include "Command.h"
#include "State.h"

#include <string_view>

// Holds the place of a command class that is not built yet: the base behaviour under its own id, so
// every behaviour set builds in full and the machine's bookkeeping runs as it will with the real class.
class StandInCommand : public Command
{
  public:
    explicit StandInCommand(CommandId id) : Command(id) {}

    std::unique_ptr<Command> Clone() const override { return std::make_unique<StandInCommand>(*this); }
    // The command's name in the shared name table.
    std::string_view GetName() const { return CommandName(id); }
};

// Holds the place of a state class that is not built yet: the base behaviour under its own id.
class StandInState : public State
{
  public:
    explicit StandInState(StateId id) : State(id) {}

    std::unique_ptr<State> Clone(const std::string& contextName) const override;
    // The state's name in the shared name table.
    std::string_view GetName() const { return StateName(id); }
};
