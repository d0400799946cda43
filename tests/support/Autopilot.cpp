#include "Autopilot.h"

#include "BehaviorIds.h"
#include "PlayHarness.h"

#include <cmath>
#include <utility>

namespace
{
constexpr float kFeet = 20.0f; // half a player's height at rest
// Standing on a top puts the centre above it by half a height, whatever the squash.
constexpr float kTallest = 40.0f;
} // namespace

Autopilot::Autopilot(PlayHarness& game_, std::string player_, Keys keys_)
    : game(game_), player(std::move(player_)), keys(keys_)
{
}

Autopilot::~Autopilot()
{
    ReleaseAll();
}

void Autopilot::Hold(std::int32_t key, bool down)
{
    bool& held = key == keys.left ? leftDown : key == keys.right ? rightDown : jumpDown;
    if (held == down)
        return;
    held = down;
    if (down)
        game.Press(key);
    else
        game.Release(key);
}

bool Autopilot::Standing() const
{
    const std::vector<std::uint32_t> stack = StackOf(player);
    return !stack.empty() && stack.back() == kStateOnGround;
}

bool Autopilot::Settle(int maxSteps)
{
    // A landing bounces a little: standing means on the ground and not moving up or down for a while.
    int still = 0;
    float lastY = PositionOf(player).y;
    for (int step = 0; step < maxSteps; ++step)
    {
        game.Step();
        const float y = PositionOf(player).y;
        still = Standing() && std::abs(y - lastY) < 0.6f ? still + 1 : 0;
        lastY = y;
        if (still >= kStillSteps)
            return true;
    }
    return false;
}

bool Autopilot::WalkTo(float x, int maxSteps, float tolerance)
{
    for (int step = 0; step < maxSteps; ++step)
    {
        const float dx = x - PositionOf(player).x;
        if (std::abs(dx) <= tolerance)
        {
            Hold(keys.left, false);
            Hold(keys.right, false);
            game.Step();
            return true;
        }
        // Close in slowly at the end, so a 150-unit stride does not overshoot.
        const bool slow = std::abs(dx) < 12.0f && step % 2 == 1;
        Hold(keys.left, dx < 0.0f && !slow);
        Hold(keys.right, dx > 0.0f && !slow);
        game.Step();
    }
    Hold(keys.left, false);
    Hold(keys.right, false);
    return false;
}

bool Autopilot::JumpOnto(float x, float top, int maxSteps)
{
    Hold(keys.left, false);
    Hold(keys.right, false);
    Hold(keys.jump, true);
    int step = 0;
    // Rise with jump held until the feet are clear of the top or the rise ends.
    for (; step < maxSteps && PositionOf(player).y - kFeet < top + 12.0f; ++step)
    {
        game.Step();
        if (step > 3 && VelocityOf(player).y <= 0.0f)
            break;
    }
    Hold(keys.jump, false);
    // Steer over the target until standing still there.
    int still = 0;
    float lastY = PositionOf(player).y;
    for (; step < maxSteps && still < kStillSteps; ++step)
    {
        const float dx = x - PositionOf(player).x;
        Hold(keys.left, dx < -3.0f);
        Hold(keys.right, dx > 3.0f);
        game.Step();
        const float y = PositionOf(player).y;
        still = Standing() && std::abs(y - lastY) < 0.6f && std::abs(dx) <= 3.0f ? still + 1 : 0;
        lastY = y;
    }
    Hold(keys.left, false);
    Hold(keys.right, false);
    return still >= kStillSteps && PositionOf(player).y > top && PositionOf(player).y < top + kTallest;
}

bool Autopilot::RunJumpOnto(float x, float top, int holdSteps, int maxSteps)
{
    const bool right = x > PositionOf(player).x;
    Hold(right ? keys.right : keys.left, true);
    Hold(keys.jump, true);
    int still = 0;
    float lastY = PositionOf(player).y;
    for (int step = 0; step < maxSteps && still < kStillSteps; ++step)
    {
        game.Step();
        if (step >= holdSteps || (step > 3 && VelocityOf(player).y <= 0.0f))
            Hold(keys.jump, false);
        const float dx = x - PositionOf(player).x;
        Hold(keys.left, dx < -3.0f);
        Hold(keys.right, dx > 3.0f);
        const float y = PositionOf(player).y;
        still = Standing() && std::abs(y - lastY) < 0.6f && std::abs(dx) <= 3.0f ? still + 1 : 0;
        lastY = y;
    }
    ReleaseAll();
    return still >= kStillSteps && PositionOf(player).y > top && PositionOf(player).y < top + kTallest;
}

bool Autopilot::HopOnto(float x, float top, int holdSteps, int steerAfter, int maxSteps)
{
    ReleaseAll();
    Hold(keys.jump, true);
    int still = 0;
    float lastY = PositionOf(player).y;
    for (int step = 0; step < maxSteps && still < kStillSteps; ++step)
    {
        if (step >= holdSteps)
            Hold(keys.jump, false);
        const float dx = x - PositionOf(player).x;
        Hold(keys.left, step >= steerAfter && dx < -3.0f);
        Hold(keys.right, step >= steerAfter && dx > 3.0f);
        game.Step();
        const float y = PositionOf(player).y;
        still = step > holdSteps && Standing() && std::abs(y - lastY) < 0.6f ? still + 1 : 0;
        lastY = y;
    }
    ReleaseAll();
    return still >= kStillSteps && PositionOf(player).y > top && PositionOf(player).y < top + kTallest;
}

void Autopilot::Face(int direction)
{
    const std::int32_t key = direction > 0 ? keys.right : keys.left;
    Hold(key, true);
    game.Step();
    Hold(key, false);
    game.Step();
}

void Autopilot::TapGrab()
{
    game.Press(keys.grab);
    game.Step();
    game.Release(keys.grab);
    game.Step();
}

void Autopilot::ReleaseAll()
{
    Hold(keys.left, false);
    Hold(keys.right, false);
    Hold(keys.jump, false);
}
