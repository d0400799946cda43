#pragma once
#include "Script.h"

// On the HUD's timer object: runs the round clock on its own "LevelTimer" countdown, announces the last
// thirty, ten and five seconds, and signals time-up with a goal event for nobody (player 0).
class TimerScript : public Script
{
  public:
    static constexpr const char* kScriptName = "TimerScript";
    static constexpr float kDefaultRoundSeconds = 90.0f;

    explicit TimerScript(std::uint32_t ownerId = 0, float startSeconds = kDefaultRoundSeconds);
    ~TimerScript() override = default;
    // The copy keeps the start time and adds its own countdown.
    std::unique_ptr<Script> Clone() const override;
    void Update(float dt) override;
    // Adds a "LevelTimer" countdown at the start time; nothing ever removes it.
    void Init() override;
    // Reads "time" (and skips "Scale_X").
    std::unique_ptr<Script> Load(LevelIArchive& archive) override;
    // Writes "time" and "Scale_X", both the start time.
    void Save(LevelOArchive& archive) const override;

    float GetStartTime() const { return startTime; }
    float GetTimeLeft() const { return timeLeft; }
    std::uint32_t GetCountdownIndex() const { return countdownIndex; }
    // Puts the clock back to the start time.
    void RestartClock();

  private:
    TimerScript(const TimerScript& source);
    void ReadRoundLength(class GameStats& stats);
    void PlayCountdownCue() const;

    float startTime = kDefaultRoundSeconds;
    float timeLeft = 0.0f;
    float resetValue = 0.0f;
    std::uint32_t countdownIndex = 0;
    bool warnedBadLength = false;
};

// Forgets which countdown cues played; every timer shares them. For tests.
void ResetCountdownCues();
