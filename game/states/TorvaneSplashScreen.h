#pragma once
#include "GameState.h"
#include "Math.h"

class GameObject;
class Renderer;

// The first screen of every run: the maker's red logo fades in, holds and fades out over 5.5 s of game
// time, to its own sound. No input shortens it.
class TorvaneSplashScreen : public GameState
{
  public:
    static constexpr const char* kLogoTexture = "Torvane_Logo_Red";
    static constexpr const char* kSound = "TorvaneSplash";
    static constexpr float kFadeInEnd = 1.5f;
    static constexpr float kFadeOutStart = 3.5f;
    static constexpr float kDuration = 5.5f;

    TorvaneSplashScreen() : GameState(GameStateIndex::TorvaneSplashScreen) {}

    // Creates the logo object with its sprite.
    void Load() override;
    // Sizes the logo, starts the sound and the fade from the beginning, and disables the menus.
    void Init() override;
    // Steps the fades once per update and asks for the second logo after 5.5 s.
    void Update(float dt) override;
    // Stops the sound.
    void Exit() override;
    void Unload() override {}

    float GetTimer() const { return timer; }
    // The logo object, or null once it is gone.
    GameObject* GetLogo() const;

  private:
    // The logo's sprite, looked up by the object's id at each use: a level load replaces every component,
    // so a kept pointer could outlive its sprite.
    Renderer* LogoRenderer() const;

    float timer = 0.0f;
    std::uint32_t logoId = 0;
    Vector4 fadeIn;
    Vector4 fadeOut;
    bool fadeOutStarted = false;
};
