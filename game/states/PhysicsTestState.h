#pragma once
#include "GameState.h"

// The physics test level; not built yet.
class PhysicsTestState : public GameState
{
  public:
    PhysicsTestState() : GameState(GameStateIndex::PhysicsTestState) {}

    void Load() override {}
    void Init() override {}
    void Update(float dt) override { (void)dt; }
    void Exit() override {}
    void Unload() override {}
};
