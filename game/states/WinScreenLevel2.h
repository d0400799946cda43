#pragma once
#include "GameState.h"

// The second player's victory screen; not built yet.
class WinScreenLevel2 : public GameState
{
  public:
    WinScreenLevel2() : GameState(GameStateIndex::WinScreenLevel2) {}

    void Load() override {}
    void Init() override {}
    void Update(float dt) override { (void)dt; }
    void Exit() override {}
    void Unload() override {}
};
