#pragma once
#include "State.h"

// The full-screen wish of this run; the play state applies it whenever it is entered. Nothing saves it.
extern bool gFullscreenSetting;

// State 5 ("EditorMode"): the game manager does nothing while the editor has the game.
class GameManagerStateEditor : public State
{
  public:
    GameManagerStateEditor() : State(kStateEditorMode) {}

    std::unique_ptr<State> Clone(const std::string& contextName) const override;
};

// State 6 ("PlayMode"): the running game's watch over the main window. Entering it brings the window up.
class GameManagerStatePlay : public State
{
  public:
    GameManagerStatePlay() : State(kStatePlayMode) {}

    std::unique_ptr<State> Clone(const std::string& contextName) const override;
    // Hides the second window, shows, maximises and raises the main one, hides the cursor and applies the
    // full-screen wish.
    void Enter() override;
    // Brings the main window back after the user closed it: closing never ends the game by itself.
    void Update(float dt) override;
};
