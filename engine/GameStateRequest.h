#pragma once
#include <cstdint>

// The game-state index that the game-state manager switches to at its next update. It lives here, as a
// plain value, so that any subsystem can request a state without depending on the game itself. Requests
// are plain writes: the last one before the manager's update wins.

// Asks the manager to run Exit and Init of the current state again.
inline constexpr std::int32_t kRestartRequest = -2;
// Asks the manager to stop the engine.
inline constexpr std::int32_t kQuitRequest = -3;
// The first state of every run: the maker's logo.
inline constexpr std::int32_t kFirstGameState = 9;

// Writes the requested state index.
void RequestGameState(std::int32_t index);
// The requested state index.
std::int32_t GetRequestedGameState();

// The state index the game-state manager is running: written by the manager whenever it changes, -1
// before the first switch. Gameplay reads it here rather than from the game.
void SetCurrentGameState(std::int32_t index);
std::int32_t GetCurrentGameState();
// Back to the start of a run: the logo requested, no current state. For tests.
void ResetGameStateRequest();
