#pragma once
#include "System.h"

// Moves every object with a RigidBody and a Transform: the first half of the physics step. A semi-implicit
// Euler step in which gravity is a fixed velocity change per step, whatever dt is.
class MotionSystem : public System
{
  public:
    static constexpr const char* kSystemName = "MotionSystem";

    // Published through gMotionSystem while that is empty.
    MotionSystem();
    ~MotionSystem() override;

    // One step of every matching object; nothing at all while the game is paused.
    void Update(float dt) override;

  private:
    void StepObject(std::uint32_t id, float dt);
};

extern MotionSystem* gMotionSystem;
