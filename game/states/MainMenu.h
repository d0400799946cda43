#pragma once
#include "GameState.h"

// The hub of the game: loads the main-menu level, makes sure every menu exists, opens "Main Menu", plays
// the menu music and, once per visit, the title sound.
class MainMenu : public GameState
{
  public:
    static constexpr const char* kLevelName = "MainMenu_New";
    static constexpr const char* kBackgroundTexture = "BG1";
    static constexpr const char* kBlackTexture = "Black";
    static constexpr const char* kMusic = "MenuMusic";
    static constexpr const char* kTitleSound = "Title";
    // Game time after entry at which the title sound plays.
    static constexpr float kTitleDelay = 0.75f;

    MainMenu() : GameState(GameStateIndex::MainMenu) {}

    // Registers the menu script's prototype and puts the menu's picture in the background.
    void Load() override;
    // Builds the menus, starts the music, opens the main menu and loads the level over the built menus.
    void Init() override;
    // Counts the time since Init and plays the title once at 0.75 s.
    void Update(float dt) override;
    // Closes the menus and stops the music.
    void Exit() override;
    void Unload() override {}

    // Whether the title sound has played on this visit (one flag for the whole process).
    static bool TitlePlayed();

  private:
    float timer = 0.0f;
};
