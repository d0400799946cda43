#pragma once
#include "CollisionScript.h"

// On each goal: a ball arriving scores for the goal's player, is told it scored, and the goal's particles
// flare and then settle back; a player running in with the ball throws it at once instead.
class GoalCollisionScript : public CollisionScript
{
  public:
    static constexpr const char* kScriptName = "GoalCollisionScript";

    explicit GoalCollisionScript(std::uint32_t ownerId = 0);
    // A clone takes its resting values afresh at its first goal.
    std::unique_ptr<Script> Clone() const override;
    void OnCollision(std::uint32_t ownId, std::uint32_t otherId) override;
    // Eases the flare back toward the resting values.
    void Update(float dt) override;

  private:
    GoalCollisionScript(const GoalCollisionScript& source);
    void Flare(class ParticleComponent& particles);

    // -1 until the first goal takes the particles' resting values.
    float restingRate = -1.0f;
    float restingLife = 0.0f;
};
