#pragma once
#include "Script.h"

// On the manager object: turns match events into the manager's round commands (a goal resets the
// players, the level start respawns them, a finished round ends it) and remembers the round's winner,
// which the round end shows in the goals' colour.
class TransitionScript : public Script
{
  public:
    static constexpr const char* kScriptName = "TransitionScript";

    explicit TransitionScript(std::uint32_t ownerId = 0);
    ~TransitionScript() override;
    // The copy listens and knows no winner yet.
    std::unique_ptr<Script> Clone() const override;
    void OnNotify(Event* event) override;
    void Init() override;
    void Exit() override;

    // The winner of the last finished round (1 or 2); 0 before any. Never saved.
    std::uint32_t GetLastRoundWinner() const { return lastRoundWinner; }

  private:
    TransitionScript(const TransitionScript& source);
    void SubscribeAll();
    void UnsubscribeAll();

    std::uint32_t lastRoundWinner = 0;
};
