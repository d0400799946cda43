#pragma once
#include "GameState.h"

// A test level built in code; not built yet, so entering it shows nothing.
class Level1Temp : public GameState
{
  public:
    Level1Temp() : GameState(GameStateIndex::Level1Temp) {}

    void Load() override {}
    void Init() override {}
    void Update(float dt) override { (void)dt; }
    void Exit() override {}
    void Unload() override {}
};
