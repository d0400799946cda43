#pragma once
#include "Math.h"
#include "State.h"

#include <cstdint>
#include <string>

// A held ball: every update it sits beside its holder (made static), at the angle the holder's right
// stick picks, or level on the side the holder faces when the stick is at rest. Holder and ball are kept
// by id and looked up at each use, so a destroyed one simply counts as unset.
class StateGrabbed : public State
{
  public:
    StateGrabbed() : State(kStateGrabbed) {}
    std::unique_ptr<State> Clone(const std::string& contextName) const override;
    // Frees the ball and clears the holder's "Grabbed Object", whatever comes next.
    void Exit(StateId nextStateId) override;
    void Update(float dt) override;

    // Links the holding player and the held ball.
    void Hold(std::uint32_t holderId, std::uint32_t heldId);
    // The holder's id, 0 when none (or when it no longer exists).
    std::uint32_t GetHolder() const;

  private:
    std::uint32_t holder = 0;
    std::uint32_t held = 0;
};

// A free ball.
class StateUnGrabbed : public State
{
  public:
    StateUnGrabbed() : State(kStateUnGrabbed) {}
    std::unique_ptr<State> Clone(const std::string& contextName) const override;
};

// The throw angle (degrees, world y up) that a right stick picks; stick y grows downward. Only called for
// a stick off its rest position.
float ThrowAngleFromStick(float stickX, float stickY);

// The right stick of the controller that a player of this name uses, or (0, 0) for any other name.
Vector2 RightStickOf(const std::string& playerName);
