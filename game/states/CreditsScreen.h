#pragma once
#include "GameState.h"
#include "GameStateRequest.h"

// The credits over the replayed match; until they are built, the screen hands straight back to the main
// menu so the game's road stays whole.
class CreditsScreen : public GameState
{
  public:
    CreditsScreen() : GameState(GameStateIndex::CreditsScreen) {}

    void Load() override {}
    void Init() override { requested = false; }
    void Update(float dt) override
    {
        (void)dt;
        if (requested)
            return;
        requested = true;
        RequestGameState(GameStateIndex::MainMenu);
    }
    void Exit() override {}
    void Unload() override {}

  private:
    bool requested = false;
};
