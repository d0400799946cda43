#pragma once
#include "GameState.h"

// The match; not built yet.
class GameplayDemo : public GameState
{
  public:
    GameplayDemo() : GameState(GameStateIndex::GameplayDemo) {}

    void Load() override {}
    void Init() override {}
    void Update(float dt) override { (void)dt; }
    void Exit() override {}
    void Unload() override {}
};
