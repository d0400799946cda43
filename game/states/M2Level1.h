#pragma once
#include "GameState.h"

// An editor level; not built yet.
class M2Level1 : public GameState
{
  public:
    M2Level1() : GameState(GameStateIndex::M2Level1) {}

    void Load() override {}
    void Init() override {}
    void Update(float dt) override { (void)dt; }
    void Exit() override {}
    void Unload() override {}
};
