#pragma once
#include "CollisionScript.h"

// The lava: whatever falls in drops the ball it holds and starts its burn; a ball that falls in is freed.
class HazardCollisionScript : public CollisionScript
{
  public:
    static constexpr const char* kScriptName = "HazardCollisionScript";
    static constexpr std::uint32_t kVersion = 1;

    explicit HazardCollisionScript(std::uint32_t ownerId = 0);
    std::unique_ptr<Script> Clone() const override;
    void OnCollision(std::uint32_t ownId, std::uint32_t otherId) override;
    std::uint32_t GetVersion() const override { return kVersion; }

  private:
    HazardCollisionScript(const HazardCollisionScript& source) = default;
};
