#pragma once
#include "Command.h"

// Picks up the ball in reach (stealing it, with a knock-back, when another player holds it). Never
// finishes from Cancel or Update.
class CommandGrab : public Command
{
  public:
    CommandGrab() : Command(kCommandGrab) {}
    std::unique_ptr<Command> Clone() const override { return std::make_unique<CommandGrab>(*this); }
    void Init() override {}
    std::int32_t Execute(float dt) override;
    std::int32_t Cancel(float) override { return 0; }
    std::int32_t Update(float) override { return 0; }
};

// Throws the held ball along "Throw Angle" with "Throw Power". Never finishes from Cancel or Update.
class CommandThrow : public Command
{
  public:
    CommandThrow() : Command(kCommandThrow) {}
    std::unique_ptr<Command> Clone() const override { return std::make_unique<CommandThrow>(*this); }
    void Init() override {}
    std::int32_t Execute(float dt) override;
    std::int32_t Cancel(float) override { return 0; }
    std::int32_t Update(float) override { return 0; }
};

// Frees a ball after a goal: ends Grabbed (or whatever holds it) and pushes UnGrabbed.
class ScoreCommand : public Command
{
  public:
    ScoreCommand() : Command(kCommandScore) {}
    std::unique_ptr<Command> Clone() const override { return std::make_unique<ScoreCommand>(*this); }
    std::int32_t Execute(float dt) override;
};
