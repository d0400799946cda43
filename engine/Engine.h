#pragma once
#include "EngineSystem.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The creation slots of the engine systems, in the order they are created and initialised.
enum EngineSlot : int
{
    slotLogging,
    slotWindowProvider,
    slotInput,
    slotGraphics,
    slotSound,
    slotGameStateManager,
    slotObjectFactory,
    slotBehaviorFactory,
    slotMenuSystem,
    kEngineSlotCount
};

using SystemFactory = std::function<std::unique_ptr<EngineSystem>()>;
using SystemFactories = std::array<SystemFactory, kEngineSlotCount>;

// The program's spine: creates the engine systems in order, runs the fixed-step frame loop until the
// running flag drops, then exits and destroys the systems in reverse order.
class Engine
{
public:
    explicit Engine(SystemFactories factories);
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Creates the systems, sets the frame-rate values and calls every Init in creation order.
    // When an Init throws, the systems already initialised are exited before the exception leaves.
    void Init();
    // Calls every system's Update in creation order, each inside its own handler.
    void Update(float dt);
    // One pass of the frame loop: at most one update, never a sleep.
    void RunFramePass();
    // Runs passes while running; a stop signal clears running after the current pass.
    void Run();
    // Exits and destroys every system, last created first.
    void Shutdown();

    // The clock, in seconds; tests inject their own.
    void SetClock(std::function<double()> clock);
    // The physics step run after each engine update; defaults to PhysicsUpdate.
    void SetPhysicsStep(std::function<void(float)> step);

    bool running = false;

    const std::vector<std::unique_ptr<EngineSystem>>& Systems() const { return systems; }

private:
    SystemFactories factories;
    std::vector<std::unique_ptr<EngineSystem>> systems;
    std::size_t initialisedCount = 0;
    std::function<double()> clock;
    std::function<void(float)> physicsStep;
    double currentTime = 0.0;
};

extern Engine* gEngine;

// Writes the engine's error line for a system whose operation threw.
void ReportSystemError(std::string_view systemName, const std::string& message);
// What the error line says of an exception that is not a standard one (the spelling is the engine's).
inline constexpr const char* kUnknownExceptionMessage = "UNKOWN";

// Reads the high-resolution tick counter in seconds.
double ReadSystemClock();
