#pragma once
#include "GameState.h"

// The first player's victory screen; not built yet.
class WinScreenLevel1 : public GameState
{
  public:
    WinScreenLevel1() : GameState(GameStateIndex::WinScreenLevel1) {}

    void Load() override {}
    void Init() override {}
    void Update(float dt) override { (void)dt; }
    void Exit() override {}
    void Unload() override {}
};
