#pragma once
#include "CollisionScript.h"

class SoundChannel;

// Turns the ball's contacts into game effects: a fast hit on a block, goal or side wall raises a bounce
// event (and always ends the thrown ball's power to knock back); a thrown ball hitting a player knocks
// the player back, plays the steal sound unless it still sounds, and stops dead.
class BallCollisionScript : public CollisionScript
{
  public:
    static constexpr const char* kScriptName = "BallCollisionScript";

    explicit BallCollisionScript(std::uint32_t ownerId = 0);
    // A clone starts with no steal channel.
    std::unique_ptr<Script> Clone() const override;
    void OnCollision(std::uint32_t ownId, std::uint32_t otherId) override;

  private:
    BallCollisionScript(const BallCollisionScript& source);
    void HitSurface(std::uint32_t ballId);
    void HitPlayer(std::uint32_t ballId, std::uint32_t playerId);
    bool StealStillSounding() const;

    // The channel that last played "BallSteal"; checked against the sound's channels before each use.
    SoundChannel* stealChannel = nullptr;
};
