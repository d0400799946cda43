#pragma once
#include "Command.h"

// The commands that move a player's body. Each acts once per run on the owner object's RigidBody,
// GameStats, Transform and (for running) Renderer; none scales by the frame time. A command whose object
// or component is missing finishes without acting, except that the move and stop commands wait (return 2)
// while the owner object is missing.

// Runs left, accelerating on the speed's magnitude; faces the sprite left.
class CommandMoveLeft : public Command
{
  public:
    CommandMoveLeft() : Command(kCommandMoveLeft) {}
    std::unique_ptr<Command> Clone() const override { return std::make_unique<CommandMoveLeft>(*this); }
    std::int32_t Execute(float dt) override;
};

// Runs right; the mirror of CommandMoveLeft.
class CommandMoveRight : public Command
{
  public:
    CommandMoveRight() : Command(kCommandMoveRight) {}
    std::unique_ptr<Command> Clone() const override { return std::make_unique<CommandMoveRight>(*this); }
    std::int32_t Execute(float dt) override;
};

// Sets the upward velocity to "Movement Speed".
class CommandMoveUp : public Command
{
  public:
    CommandMoveUp() : Command(kCommandMoveUp) {}
    std::unique_ptr<Command> Clone() const override { return std::make_unique<CommandMoveUp>(*this); }
    std::int32_t Execute(float dt) override;
};

// Sets the downward velocity to "Movement Speed".
class CommandMoveDown : public Command
{
  public:
    CommandMoveDown() : Command(kCommandMoveDown) {}
    std::unique_ptr<Command> Clone() const override { return std::make_unique<CommandMoveDown>(*this); }
    std::int32_t Execute(float dt) override;
};

// Brakes the horizontal velocity by "Movement Deceleration", or stops it at once without that stat.
class CommandStopMoving : public Command
{
  public:
    CommandStopMoving() : Command(kCommandStopMoving) {}
    std::unique_ptr<Command> Clone() const override { return std::make_unique<CommandStopMoving>(*this); }
    std::int32_t Execute(float dt) override;
};

// Jumps and pushes InAir; then, each update while Jump stays held, the body still rises and it is below
// three body heights over the take-off, keeps the full jump velocity.
class CommandJump : public Command
{
  public:
    CommandJump() : Command(kCommandJump) {}
    std::unique_ptr<Command> Clone() const override { return std::make_unique<CommandJump>(*this); }
    std::int32_t Execute(float dt) override;
    // The hold rule: runs from the update after the jump, because InAir cancels the queued jump.
    std::int32_t Cancel(float dt) override;

  private:
    float maxHeight = 0.0f;
    float jumpVelocity = 0.0f;
    float lastHeight = 0.0f;
};

// Makes the body heavy (density 2), keeping its restitution.
class MakeHeavyCommand : public Command
{
  public:
    MakeHeavyCommand() : Command(kCommandMakeHeavy) {}
    std::unique_ptr<Command> Clone() const override { return std::make_unique<MakeHeavyCommand>(*this); }
    std::int32_t Execute(float dt) override;
};

// Makes the body light (density 0.2), keeping its restitution.
class MakeLightCommand : public Command
{
  public:
    MakeLightCommand() : Command(kCommandMakeLight) {}
    std::unique_ptr<Command> Clone() const override { return std::make_unique<MakeLightCommand>(*this); }
    std::int32_t Execute(float dt) override;
};
