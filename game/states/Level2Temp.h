#pragma once
#include "GameState.h"

// A second test level built in code; not built yet. It never saves its level.
class Level2Temp : public GameState
{
  public:
    Level2Temp() : GameState(GameStateIndex::Level2Temp) {}

    void Load() override {}
    void Init() override {}
    void Update(float dt) override { (void)dt; }
    void Exit() override {}
    void Unload() override {}
    // This level is never written to disk.
    void SaveLevel(std::string name) override { (void)name; }
};
