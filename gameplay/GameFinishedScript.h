#pragma once
#include "Script.h"

// On the manager object: when the match has a winner, stops the recording and leaves for that player's
// victory screen, unpaused and with every menu closed.
class GameFinishedScript : public Script
{
  public:
    static constexpr const char* kScriptName = "GameFinishedScript";

    explicit GameFinishedScript(std::uint32_t ownerId = 0);
    ~GameFinishedScript() override;
    std::unique_ptr<Script> Clone() const override;
    void OnNotify(Event* event) override;
    void Init() override;
    void Exit() override;

  private:
    GameFinishedScript(const GameFinishedScript& source) = default;
};
