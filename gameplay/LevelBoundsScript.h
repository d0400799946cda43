#pragma once
#include "CollisionScript.h"

// The out-of-bounds zone: a player or ball touching it is put back at its own spawn point
// ("GoalSpawnX", "GoalSpawnY") at depth 1 and stopped.
class LevelBoundsScript : public CollisionScript
{
  public:
    static constexpr const char* kScriptName = "LevelBoundsScript";

    explicit LevelBoundsScript(std::uint32_t ownerId = 0);
    std::unique_ptr<Script> Clone() const override;
    void OnCollision(std::uint32_t ownId, std::uint32_t otherId) override;
};
