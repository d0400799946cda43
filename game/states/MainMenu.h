#pragma once
#include "GameState.h"

// Stands in for the main menu until its menus exist: a plain dark screen that ends the game when the
// window is closed.
class MainMenu : public GameState
{
  public:
    static constexpr const char* kBackgroundTexture = "WhitePixel";

    MainMenu() : GameState(GameStateIndex::MainMenu) {}

    void Load() override {}
    // Replaces the splash picture and its faded tint by a plain dark background.
    void Init() override;
    // Quits once the user has asked to close the window.
    void Update(float dt) override;
    void Exit() override {}
    void Unload() override {}
};
