#pragma once
#include "GameState.h"

// A winner's victory screen: shows its level, plays the end music, and leads to the credits on any newly
// pressed key or controller button, or back to the main menu on Esc.
class WinScreen : public GameState
{
  public:
    static constexpr const char* kMusic = "EndMusic";

    WinScreen(std::uint32_t index, const char* levelName) : GameState(index), levelName(levelName) {}

    void Load() override {}
    // Loads the level, creates the menu-manager object, switches menus off and starts the music.
    void Init() override;
    // Esc (held) goes to the main menu; any new key or button of either controller to the credits, unless
    // the question dialog is open.
    void Update(float dt) override;
    // Stops the music.
    void Exit() override;
    void Unload() override {}

    const char* GetLevelName() const { return levelName; }

  private:
    const char* levelName;
};
