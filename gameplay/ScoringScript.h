#pragma once
#include "Script.h"

// Keeps the two scores of the last finished round.
class ScoringScript : public Script
{
  public:
    static constexpr const char* kScriptName = "ScoringScript";

    explicit ScoringScript(std::uint32_t ownerId = 0);
    ~ScoringScript() override;
    std::unique_ptr<Script> Clone() const override;
    void OnNotify(Event* event) override;
    // Listens and forgets the stored scores.
    void Init() override;
    void Exit() override;

    std::uint32_t GetLastRoundScoreOne() const { return lastScoreOne; }
    std::uint32_t GetLastRoundScoreTwo() const { return lastScoreTwo; }

  private:
    ScoringScript(const ScoringScript& source) = default;

    std::uint32_t lastScoreOne = 0;
    std::uint32_t lastScoreTwo = 0;
};
