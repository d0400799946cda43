#pragma once
#include "State.h"

// A player standing: falling faster than 100 units per second downward (walking off a ledge) pushes
// InAir. Landing is the landing script's job.
class StateOnGround : public State
{
  public:
    StateOnGround() : State(kStateOnGround) {}
    std::unique_ptr<State> Clone(const std::string& contextName) const override;
    void Update(float dt) override;
};

// A player in the air: its context refuses Jump, which is what runs a jump's hold rule.
class StateInAir : public State
{
  public:
    StateInAir() : State(kStateInAir) {}
    std::unique_ptr<State> Clone(const std::string& contextName) const override;
};
