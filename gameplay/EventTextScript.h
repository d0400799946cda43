#pragma once
#include "Script.h"

// On the match's event-text object: shows "Round N" when a round starts, "Ready?" and "Go!" while their
// voice-overs play, and flings each text upward once it has had its time.
class EventTextScript : public Script
{
  public:
    static constexpr const char* kScriptName = "EventTextScript";

    explicit EventTextScript(std::uint32_t ownerId = 0);
    ~EventTextScript() override;
    // The copy starts again at round 1.
    std::unique_ptr<Script> Clone() const override;
    void OnNotify(Event* event) override;
    void Update(float dt) override;
    // Adds a "Text" countdown of 3 s and listens for round starts.
    void Init() override;
    void Exit() override;

    std::uint32_t GetRoundNumber() const { return roundNumber; }

  private:
    EventTextScript(const EventTextScript& source) = default;
    void ShowText(const char* text, float x);

    std::uint32_t roundNumber = 1;
    bool roundTextShown = false;
    bool goShown = false;
};
