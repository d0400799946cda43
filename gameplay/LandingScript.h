#pragma once
#include "CollisionScript.h"

// Lands an airborne player: any contact with an untagged object, a block, a player or a ball (tags 0 to
// 3), on any side, turns InAir into OnGround. Goals and side walls do not.
class LandingScript : public CollisionScript
{
  public:
    static constexpr const char* kScriptName = "LandingScript";

    explicit LandingScript(std::uint32_t ownerId = 0);
    std::unique_ptr<Script> Clone() const override;
    void OnCollision(std::uint32_t ownId, std::uint32_t otherId) override;
};
