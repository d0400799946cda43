#pragma once
#include "Math.h"
#include "Script.h"

// Ties a player to its action bindings: hands the behaviour machine its jump, run, stop, grab and throw
// commands, keeps "Orientation", adds the fall speed in the air and sits out knock-backs. Stands still
// while a menu is open, knock-back time included.
class PlayerScript : public Script
{
  public:
    static constexpr const char* kScriptName = "PlayerScript";

    // The first one stores the class prototype.
    explicit PlayerScript(std::uint32_t ownerId = 0);
    ~PlayerScript() override = default;

    // A copy of the base only: a clone starts with no knock-back.
    std::unique_ptr<Script> Clone() const override;
    void Update(float dt) override;
    std::uint32_t GetVersion() const override { return 1; }

    // Pushes the body by the impulse at the next motion step and ignores input for duration seconds, or
    // for |impulse| / 10^7 seconds when duration is 0. Replaces any knock-back in progress.
    void Knockback(const Vector3& impulse, float duration);
    float GetKnockbackTime() const { return knockbackTime; }

  private:
    PlayerScript(const PlayerScript& source);

    float knockbackTime = 0.0f;
};
