#pragma once
#include <cstdint>
#include <string>

class PlayHarness;

// Plays one player as a person would, only through keys: reads the player's position each step and holds
// the arrow towards a waypoint, holds jump while rising to a higher one, and taps grab. Every move gives
// up after a number of steps and reports whether it arrived.
class Autopilot
{
  public:
    struct Keys
    {
        std::int32_t left, right, jump, grab;
    };

    Autopilot(PlayHarness& game, std::string player, Keys keys);
    ~Autopilot();

    // Walks along the ground it stands on until x is within tolerance; releases the arrows.
    bool WalkTo(float x, int maxSteps = 600, float tolerance = 4.0f);
    // Jumps with jump held until the feet clear top (a platform's top), then steers to x and lands.
    bool JumpOnto(float x, float top, int maxSteps = 600);
    // Runs towards x and jumps at once, jump held, steering to x until standing still on top.
    // holdSteps limits how long jump stays held (a shorter, flatter jump).
    bool RunJumpOnto(float x, float top, int holdSteps = 60, int maxSteps = 600);
    // A short hop: jump held for holdSteps, steering towards x only from steerAfter steps on (so that a
    // held ball clears a pad's edge before it moves over it); then lands and stands still.
    bool HopOnto(float x, float top, int holdSteps, int steerAfter, int maxSteps = 600);
    // Turns to face right (+1) or left (-1) with a one-step tap of that arrow.
    void Face(int direction);
    // Presses and releases grab over two steps (grab also throws a held ball).
    void TapGrab();
    // Lets every key of this player go.
    void ReleaseAll();

    const std::string& Player() const { return player; }

  private:
    void Hold(std::int32_t key, bool down);
    bool Standing() const;
    // Steps until the player has stood still on the ground for a while; false after maxSteps.
    bool Settle(int maxSteps);

    static constexpr int kStillSteps = 10;

    PlayHarness& game;
    std::string player;
    Keys keys;
    bool leftDown = false;
    bool rightDown = false;
    bool jumpDown = false;
};
