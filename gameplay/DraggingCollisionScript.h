#pragma once
#include "CollisionScript.h"

// On moving platforms: whatever touches the platform moves with it by what the platform moved since the
// last physics step.
class DraggingCollisionScript : public CollisionScript
{
  public:
    static constexpr const char* kScriptName = "DraggingCollisionScript";
    static constexpr std::uint32_t kVersion = 1;

    explicit DraggingCollisionScript(std::uint32_t ownerId = 0);
    std::unique_ptr<Script> Clone() const override;
    void OnCollision(std::uint32_t ownId, std::uint32_t otherId) override;
    std::uint32_t GetVersion() const override { return kVersion; }

  private:
    DraggingCollisionScript(const DraggingCollisionScript& source) = default;
};
