#pragma once
#include "HudLink.h"
#include "Script.h"

#include <array>

class SoundInstance;

// On the match manager: the announcer. Calls each round, schedules a line about a second after each goal,
// sums up the lead after each of the first three rounds and gives the verdict at the end of the game.
// It keeps nothing in level files: every level load starts a fresh announcer.
class VoiceOverScripts : public Script
{
  public:
    static constexpr const char* kScriptName = "VoiceOverScripts";
    // Seconds a goal line waits before it plays.
    static constexpr float kLineDelay = 1.0f;

    enum Lead : std::uint32_t
    {
        kNobodyLeads = 0,
        kOrangeLeads = 1,
        kBlueLeads = 2,
    };

    explicit VoiceOverScripts(std::uint32_t ownerId = 0);
    ~VoiceOverScripts() override;
    // A fresh announcer for the same owner, subscribed.
    std::unique_ptr<Script> Clone() const override;
    void OnNotify(Event* event) override;
    // Counts down the pending goal line and plays it.
    void Update(float dt) override;
    void Init() override;
    void Exit() override;

    bool HasFirstGoal() const { return firstGoal; }
    std::uint32_t GetLead() const { return lead; }
    const SoundInstance* GetPendingLine() const { return pendingLine; }
    float GetLineDelay() const { return lineDelay; }

  private:
    VoiceOverScripts(const VoiceOverScripts& source);
    void Subscribe();
    void Unsubscribe();
    void CopyCounters(const class HUDScript& hud);
    void OnGoal(float side);
    void CallLead();
    void CallVerdict();
    void CallRound();

    bool firstGoal = false;
    // Rounds played, player 1's point and round scores, player 2's point and round scores.
    std::array<std::uint32_t, 5> counters{};
    std::uint32_t lead = kNobodyLeads;
    HudLink hud;
    // Owned by the sound system's name table, which outlives every level.
    SoundInstance* pendingLine = nullptr;
    float lineDelay = -1.0f;
};
