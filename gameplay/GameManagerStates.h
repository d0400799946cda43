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
    // Watches the window (a close asks before quitting, leaving the match window pauses it), opens and
    // closes the pause menu and serves the debug shortcuts. The pause input and shortcuts run at most
    // once per engine update, however many play states run in it.
    void Update(float dt) override;
};

// Forgets which engine update served the pause input and shortcuts; for tests.
void ResetPlayStateInputStamp();
