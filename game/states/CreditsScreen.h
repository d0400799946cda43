#pragma once
#include "GameState.h"
#include "Math.h"

#include <cstdint>

class Renderer;
class Transform;

// The credits: the match arena rebuilt, the last match's recording replayed over it, and a tall column
// of credits scrolling up in front with its own music and colour grade. When the column has scrolled
// through, image and music fade out over 2 s into the main menu; Escape or START leaves at once.
class CreditsScreen : public GameState
{
  public:
    static constexpr const char* kLevelName = "LEVEL_1";
    static constexpr const char* kMusic = "CreditsMusic";
    static constexpr const char* kTexture = "credits";
    static constexpr const char* kImageName = "CREDITS";
    static constexpr const char* kManagerName = "CREDITS_CCSM";
    // The column is 2557 units tall and starts with its top edge at the screen centre.
    static constexpr float kImageHeight = 2557.0f;
    static constexpr float kStartY = -1278.0f;
    // It scrolls while its centre is at most here, then fades.
    static constexpr float kScrollEndY = 1273.0f;
    static constexpr float kScrollSpeed = 60.0f; // units per second
    static constexpr float kFadeStep = 0.98f;    // per update, for the tint and the master volume
    static constexpr float kFadeDuration = 2.0f;
    // In front of the arena's sprites (depth 0 and up), which share its layer.
    static constexpr float kImageDepth = -1.0f;

    CreditsScreen() : GameState(GameStateIndex::CreditsScreen) {}

    // Builds the match arena.
    void Load() override;
    // Loads the match level over the arena, starts the replay and the music, grades the picture for the
    // credits and creates the column and the screen's menu manager; closes every menu.
    void Init() override;
    // Ends the screen on Escape or START, then scrolls the column, or fades it and the music out.
    void Update(float dt) override;
    // Puts the column, the replay, the music and the grade back; the master volume stays as it is.
    void Exit() override;
    void Unload() override {}

    std::uint32_t GetCreditsObjectId() const { return creditsId; }
    std::uint32_t GetMenuManagerObjectId() const { return managerId; }
    float GetFadeTimer() const { return fadeTimer; }
    // The column's parts as cached by the updates; null before the first update and after Exit.
    const Transform* GetCachedTransform() const { return creditsTransform; }
    const Renderer* GetCachedRenderer() const { return creditsRenderer; }

    // Forgets what the screen keeps for the whole run (the saved master volume, the fade colour and
    // volume); for tests.
    static void ResetRunValues();

  private:
    void CreateCreditsObject();
    void CreateMenuManager();
    // Caches the column's transform and renderer; false while the column object is gone.
    bool CacheCreditsParts();
    void Scroll(float dt);
    void Fade(float dt);
    // The column back at its start, untinted, and everything the screen started stopped.
    void ResetScreen();
    void EndScreen();

    std::uint32_t creditsId = 0;
    std::uint32_t managerId = 0;
    Transform* creditsTransform = nullptr;
    Renderer* creditsRenderer = nullptr;
    float fadeTimer = 0.0f;
};
