#pragma once
#include "GameState.h"

// The two-player match: Load builds the arena in code, Init loads "LEVEL_1" over it, starts the round
// and records every input for the credits' replay.
class GameplayDemo : public GameState
{
  public:
    static constexpr const char* kLevelName = "LEVEL_1";
    // The recording's stem in the preferences folder.
    static constexpr const char* kReplayFileStem = "CreditsReplay";

    GameplayDemo() : GameState(GameStateIndex::GameplayDemo) {}

    void Load() override;
    // Also runs on every restart: the level is loaded again over what stands and recording starts afresh.
    void Init() override;
    void Update(float dt) override { (void)dt; }
    // Closes the recording, then stops the level music.
    void Exit() override;
    void Unload() override;
};
