#pragma once
#include "Command.h"

#include <string>
#include <vector>

// The manager object's commands that stage a match between goals and rounds. Each runs over several
// updates: Execute gives 0 while working and 1 on its last update, when its progress is reset so a
// command handed in again starts over.

// The intro: keeps everyone out of play for five seconds, then hands in Respawn.
class LevelStartCommand : public Command
{
  public:
    LevelStartCommand() : Command(kCommandLevelStart) {}
    std::unique_ptr<Command> Clone() const override { return std::make_unique<LevelStartCommand>(*this); }
    std::int32_t Execute(float dt) override;

  private:
    float elapsed = 0.0f;
    float duration = 5.0f;
};

// Puts players and balls back at their spawn points, a light falling onto each player's point first.
class RespawnCommand : public Command
{
  public:
    RespawnCommand() : Command(kCommandRespawn) {}
    std::unique_ptr<Command> Clone() const override { return std::make_unique<RespawnCommand>(*this); }
    void Init() override;
    std::int32_t Execute(float dt) override;

  private:
    float duration = 2.5f;
    float elapsed = 0.0f;
    bool firstRun = true;
    std::uint32_t markerIds[2] = {0, 0};
    float finalIntensity = 0.2f;
    bool readyCuePending = true;
    // Objects without a spawn point already reported in this run.
    std::vector<std::uint32_t> reportedNoSpawn;
};

// The pause after a goal: three lights fly from above the arena onto the spawn points.
class ResetPlayersCommand : public Command
{
  public:
    ResetPlayersCommand() : Command(kCommandResetPlayers) {}
    std::unique_ptr<Command> Clone() const override { return std::make_unique<ResetPlayersCommand>(*this); }
    std::int32_t Execute(float dt) override;

  private:
    float elapsed = 0.0f;
    float duration = 2.0f;
    bool firstRun = true;
    std::uint32_t markerIds[3] = {0, 0, 0};
    std::vector<std::uint32_t> reportedNoSpawn;
};

// The end of a round: the goals light up in the winner's colour, then the next unused arena module is
// loaded and Respawn handed in.
class RoundEndCommand : public Command
{
  public:
    RoundEndCommand() : Command(kCommandRoundEnd) {}
    std::unique_ptr<Command> Clone() const override { return std::make_unique<RoundEndCommand>(*this); }
    void Init() override;
    std::int32_t Execute(float dt) override;

  private:
    // Draws a module index (recorded or replayed); false when it was used already this cycle.
    bool DrawModule();
    void LoadChosenModule();

    float duration = 2.0f;
    float elapsed = 0.0f;
    std::uint32_t chosenModule = 0;
    std::vector<std::string> moduleNames;
    // Kept across hand-ins, so every module is used once before any repeats.
    std::vector<std::uint32_t> usedModules;
};

// Slow motion easing from a third of normal speed back to normal.
class SlowTimeCommand : public Command
{
  public:
    SlowTimeCommand() : Command(kCommandSlowTime) {}
    std::unique_ptr<Command> Clone() const override { return std::make_unique<SlowTimeCommand>(*this); }
    std::int32_t Execute(float dt) override;

  private:
    float startFactor = 3.0f;
    float remainingFactor = 3.0f;
    std::vector<std::uint32_t> reportedNoSpawn;
};

// Does nothing and finishes at once.
class UnspawnCommand : public Command
{
  public:
    UnspawnCommand() : Command(kCommandUnspawn) {}
    std::unique_ptr<Command> Clone() const override { return std::make_unique<UnspawnCommand>(*this); }
};
