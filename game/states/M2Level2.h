#pragma once
#include "GameState.h"

// A second editor level; not built yet.
class M2Level2 : public GameState
{
  public:
    M2Level2() : GameState(GameStateIndex::M2Level2) {}

    void Load() override {}
    void Init() override {}
    void Update(float dt) override { (void)dt; }
    void Exit() override {}
    void Unload() override {}
};
