#pragma once
#include "Engine.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The whole game started as the executable starts it, but stepped by the test: offscreen GL, silent
// audio whose clock is the game's own time, fixed updates of 1/60 s each followed by the physics step.
// Only the updates a test asks to see are drawn: on the software rasteriser drawing is most of the time.
class GameBoot
{
  public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 480;
    static constexpr float kStep = 1.0f / 60.0f;

    GameBoot() = default;
    ~GameBoot();
    GameBoot(const GameBoot&) = delete;
    GameBoot& operator=(const GameBoot&) = delete;

    // Starts the game; false, with the reason, when there is no display or no GL 4.3.
    bool Start(std::string& reason);
    // One engine update and one physics step, drawing nothing (the renderer sees no visible window). The
    // menu manager's window handling grows the offscreen window to the desktop size, which its GL surface
    // never follows, so the window is set back after every update.
    void Step(float dt = kStep);
    // A step whose frame is drawn as the game draws it, for a screenshot.
    void DrawnStep(float dt = kStep);
    // Exits and destroys every system.
    void Stop();

    // The current game-state index.
    std::int32_t CurrentState() const;
    // The finished frame of the latest update, which must have been a DrawnStep, RGBA rows from the top;
    // also saved under screenshots/.
    std::vector<std::uint8_t> Screenshot(const std::string& name) const;

    Engine& GetEngine() { return *engine; }
    int Updates() const { return updates; }

  private:
    std::unique_ptr<Engine> engine;
    double gameTime = 0.0;
    int updates = 0;
    bool latestDrawn = false;
};

// The RGBA pixel at (x, y) counted from the top left of a screenshot.
const std::uint8_t* PixelAt(const std::vector<std::uint8_t>& pixels, int x, int y);

// Pushes a key event into SDL's queue for the next pump.
void PushKey(bool down, std::int32_t key);
// Pushes a close request of the main window into SDL's queue.
void PushWindowClose();
