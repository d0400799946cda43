#pragma once
#include "Engine.h"

#include <memory>
#include <string>
#include <vector>

// Creates the engine from the slot factories, runs every system's Init, then registers every class's
// prototype. A failing Init leaves as an exception, with the systems already started exited again.
std::unique_ptr<Engine> StartGame(SystemFactories factories);
// Runs the frame loop until the running flag drops (a quit request, SIGINT or SIGTERM).
void RunGame(Engine& engine);
// Exits and destroys every system, last created first.
void ShutDownGame(Engine& engine);

// One call that a lower subsystem makes upwards, and whether its provider has filled it in.
struct StartupHook
{
    std::string name;
    bool set = false;
};
// Every upward call the game relies on, each filled by the subsystem that provides it when it starts.
std::vector<StartupHook> StartupHookChecklist();
