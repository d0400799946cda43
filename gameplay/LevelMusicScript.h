#pragma once
#include "HudLink.h"
#include "Script.h"

#include <array>

class SoundInstance;

// On the match manager: starts one of the three level tracks when the level starts, stops it when the
// level ends, and eases the track's intensity toward a target that rises with every finished round.
class LevelMusicScript : public Script
{
  public:
    static constexpr const char* kScriptName = "LevelMusicScript";
    static constexpr std::uint32_t kLastTarget = 4;
    static constexpr std::array<float, kLastTarget + 1> kTargets = {0.6f, 1.6f, 2.6f, 3.2f, 4.0f};
    // Fraction of the remaining distance closed per frame (not per second).
    static constexpr float kEaseRate = 0.0058f;
    static constexpr float kEaseRateAtFirstTarget = 0.05f;

    explicit LevelMusicScript(std::uint32_t ownerId = 0);
    ~LevelMusicScript() override;
    // Keeps the target index; the copy finds its music and HUD afresh and is subscribed.
    std::unique_ptr<Script> Clone() const override;
    void OnNotify(Event* event) override;
    // Eases the track's parameter one frame toward the target; dt is not used.
    void Update(float dt) override;
    void Init() override;
    void Exit() override;
    // Reads "NextInc"; an index past the last target counts as the last.
    std::unique_ptr<Script> Load(LevelIArchive& archive) override;
    void Save(LevelOArchive& archive) const override;

    std::uint32_t GetTargetIndex() const { return targetIndex; }
    // Stores the index, an index past the last target counting as the last.
    void SetTargetIndex(std::uint32_t index);

  private:
    LevelMusicScript(const LevelMusicScript& source);
    void Subscribe();
    void Unsubscribe();
    void StartTrack();

    std::uint32_t targetIndex = 1;
    // Owned by the sound system's name table.
    SoundInstance* music = nullptr;
    HudLink hud;
};
