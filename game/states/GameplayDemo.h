#pragma once
#include "GameState.h"
#include "MenuManagerObject.h"

// The match; not built yet. Its manager object already watches Esc, the close request and the shortcuts.
class GameplayDemo : public GameState
{
  public:
    GameplayDemo() : GameState(GameStateIndex::GameplayDemo) {}

    void Load() override {}
    void Init() override { CreateMenuManagerObject(); }
    void Update(float dt) override { (void)dt; }
    void Exit() override {}
    void Unload() override {}
};
