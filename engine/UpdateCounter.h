#pragma once
#include <cstdint>

// Counts engine updates for the whole run, so that work which several objects could each trigger in one
// update (a shortcut every manager hears) can run once per update.

// Advanced by Engine::Update before any system runs.
void AdvanceEngineUpdateCount();
// The number of engine updates begun so far.
std::uint64_t GetEngineUpdateCount();
// Back to 0; for tests.
void ResetEngineUpdateCount();
