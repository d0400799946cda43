#pragma once
#include "GameState.h"
#include "Math.h"

class BackgroundRenderer;

// The second screen: the team's picture fills the background, fades in and out, and gives way to the
// main menu after 6.5 s or as soon as any key or controller button is released.
class GameSplashScreen : public GameState
{
  public:
    static constexpr const char* kPicture = "DriftthePaperCrane";
    static constexpr const char* kSound = "GameTeamSplash";
    static constexpr float kFadeInEnd = 1.5f;
    static constexpr float kFadeOutStart = 4.5f;
    static constexpr float kDuration = 6.5f;

    GameSplashScreen() : GameState(GameStateIndex::GameSplashScreen) {}

    // Takes the graphics system's background.
    void Load() override;
    // Shows the picture and starts the sound, the timer and the fade from the beginning.
    void Init() override;
    // Steps the fades once per update and asks for the main menu when the time is up or on a release.
    void Update(float dt) override;
    // Stops the sound.
    void Exit() override;
    void Unload() override {}

    float GetTimer() const { return timer; }

  private:
    float timer = 0.0f;
    BackgroundRenderer* background = nullptr;
    Vector4 fadeIn;
};
