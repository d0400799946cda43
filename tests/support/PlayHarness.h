#pragma once
#include "Engine.h"
#include "Math.h"
#include "Observer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class GameObject;
struct StartOptions;

// Remembers every event of types 1 to 20 in dispatch order.
class EventSpy : public Observer
{
  public:
    EventSpy();
    ~EventSpy() override;
    void OnNotify(Event* event) override;

    // Subscribes again (a level load empties every observer set).
    void Listen();
    int Count(std::uint32_t type) const;
    const std::vector<std::uint32_t>& Types() const { return types; }
    // The velocity of each bounce event, in order.
    const std::vector<Vector3>& Bounces() const { return bounces; }
    void Clear();

  private:
    std::vector<std::uint32_t> types;
    std::vector<Vector3> bounces;
};

// The whole game started once per test program as the executable starts it and stepped by the test:
// offscreen GL, audio on the harness's own clock, fixed frame passes of 1/60 s each. No screen runs until
// a test asks for one, and nothing is drawn except for a Shot.
class PlayHarness
{
  public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 480;
    static constexpr double kStep = 1.0 / 60.0;
    // One step of audio at 48 kHz.
    static constexpr int kFramesPerStep = 800;

    PlayHarness() = default;
    ~PlayHarness();
    PlayHarness(const PlayHarness&) = delete;
    PlayHarness& operator=(const PlayHarness&) = delete;

    struct Options
    {
        // Slot factories; all empty: the game's own (a test may put its own game-state manager in).
        SystemFactories factories;
        // Holds the screens back (requests no state) until a test asks for one.
        bool holdScreens = true;
        // Renders each step's audio through the Manual output into AudioFrames().
        bool manualAudio = false;
    };

    // Starts the game; false, with the reason, when there is no display or no GL 4.3.
    bool Start(std::string& reason);
    bool Start(std::string& reason, Options options);
    // Exits and destroys every system.
    void Stop();
    bool Started() const { return engine != nullptr; }

    // An empty world: no key held, objects, prefabs, behaviour tables and module names gone, timers cleared,
    // unpaused, menus closed, recording off, the generators seeded, the event spy and play log emptied.
    void ResetWorld(std::uint64_t seed = 1);

    // n frame passes of 1/60 s: countdowns, the engine update and the physics step. The window is set
    // back to 640x480 after each (a play state's Enter maximises it).
    void Step(int n = 1);
    // Draws one step and saves its frame as screenshots/<name>.png in the working folder; returns the
    // RGBA rows from the top.
    std::vector<std::uint8_t> Shot(const std::string& name);

    // Key events for the next step's pump.
    void Press(std::int32_t key);
    void Release(std::int32_t key);
    // Pushes a close request of the main window.
    void PushWindowClose();

    // Plugs a virtual controller in; the next step's pump opens it in the first free slot.
    void PlugController();
    // Unplugs every virtual controller.
    void UnplugControllers();
    // Sets the right stick of the controller in slot 0 or 1 (raw units, y growing downward).
    void SetRightStick(int slot, std::int16_t x, std::int16_t y);
    // Holds or releases a button of the controller in slot 0 or 1.
    void SetButton(int slot, int button, bool down);

    // Observation.
    std::int32_t CurrentState() const;
    EventSpy& Events() { return *spy; }
    // The Manual output's samples (interleaved stereo) since the world was reset.
    const std::vector<float>& AudioFrames() const { return audio; }
    Engine& GetEngine() { return *engine; }
    int Updates() const { return updates; }

  private:
    std::unique_ptr<Engine> engine;
    std::unique_ptr<EventSpy> spy;
    std::vector<float> audio;
    std::int64_t passes = 0;
    int updates = 0;
    bool manualAudio = false;
    std::vector<int> virtualDevices;
};

// The RGBA pixel at (x, y) counted from the top left of a shot.
const std::uint8_t* PixelAt(const std::vector<std::uint8_t>& pixels, int x, int y);

// State readers, by object name (the first live object of the name).
GameObject* Named(const std::string& name);
Vector3 PositionOf(const std::string& name);
Vector3 VelocityOf(const std::string& name);
// The named stat, or NaN when the object or the stat is missing.
float StatOf(const std::string& name, const std::string& stat);
// The behaviour machine's state ids, bottom first.
std::vector<std::uint32_t> StackOf(const std::string& name);

// A fixture for the one test suite of a program that plays the game: starts the harness for the suite,
// resets the world before each test, and skips (or fails under REQUIRE_GL=1) without GL.
class PlayTest : public ::testing::Test
{
  protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;

    static PlayHarness& Game() { return *harness; }

  private:
    static std::unique_ptr<PlayHarness> harness;
    static std::string startFailure;
};
