#pragma once
#include "Script.h"

#include <array>

// On the match manager: owns the HUD objects (two score read-outs, four round markers, the round timer),
// counts goals, decides each round's winner when time is up, marks finished rounds and announces the end
// of the game after four rounds.
class HUDScript : public Script
{
  public:
    static constexpr const char* kScriptName = "HUDScript";
    static constexpr std::size_t kSlotCount = 7;
    static constexpr std::uint32_t kRoundsPerMatch = 4;
    // The match's overlay text draws above the arena and its particles but beneath the menus (4000 and
    // up), so a pause menu is never written over by the scores or the clock.
    static constexpr std::int32_t kTextOrder = 3900;

    explicit HUDScript(std::uint32_t ownerId = 0);
    ~HUDScript() override;
    // Keeps only the round scores, then runs Init on the copy; binds nothing.
    std::unique_ptr<Script> Clone() const override;
    void OnNotify(Event* event) override;
    // Shows the round clock.
    void Update(float dt) override;
    // Makes the HUD's colour textures (seven more on every call) and listens to goals.
    void Init() override;
    void Exit() override;
    std::unique_ptr<Script> Load(LevelIArchive& archive) override;
    void Save(LevelOArchive& archive) const override;

    // Takes the level's HUD objects (tag 7, by id), or creates the seven when there are none. Done at
    // the first Update or goal by itself; code that builds the arena calls it once the arena is complete.
    void Bind();
    // The slot's object id: 0 "p1 score", 1 "p2 score", 2..5 "round 1".."round 4", 6 "timer"; 0 when none.
    std::uint32_t GetSlot(std::size_t index) const { return index < kSlotCount ? slots[index] : 0; }

    std::uint32_t GetRoundsPlayed() const { return roundsPlayed; }
    std::uint32_t GetP1PointScore() const { return p1PointScore; }
    std::uint32_t GetP1RoundScore() const { return p1RoundScore; }
    std::uint32_t GetP2PointScore() const { return p2PointScore; }
    std::uint32_t GetP2RoundScore() const { return p2RoundScore; }

  private:
    HUDScript(const HUDScript& source);
    void BindOnce();
    void CreateSlots();
    void FinishRound();
    void ScoreFor(std::uint32_t& roundScore, std::uint32_t& pointScore, std::size_t slot);
    void TintSlot(std::size_t slot, float r, float g, float b, float a);

    std::uint32_t roundsPlayed = 0;
    std::uint32_t p1PointScore = 0;
    std::uint32_t p1RoundScore = 0;
    std::uint32_t p2PointScore = 0;
    std::uint32_t p2RoundScore = 0;
    // Held by id and looked up at each use: a module or level load may destroy them.
    std::array<std::uint32_t, kSlotCount> slots{};
    bool bound = false;
};
