#pragma once
#include "GameState.h"

// The credits over the replayed match; not built yet.
class CreditsScreen : public GameState
{
  public:
    CreditsScreen() : GameState(GameStateIndex::CreditsScreen) {}

    void Load() override {}
    void Init() override {}
    void Update(float dt) override { (void)dt; }
    void Exit() override {}
    void Unload() override {}
};
