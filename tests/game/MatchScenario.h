#pragma once
#include "Autopilot.h"
#include "Observer.h"
#include "PlayHarness.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Shared steps of the matches played on the real match screen and its level.

inline constexpr std::int32_t kLeftShiftKey = 1073742049;
inline constexpr float kHiddenY = -3000.0f;

// What the match announced: goals by side, round winners, the game's end.
class MatchWatch : public Observer
{
  public:
    MatchWatch();
    void OnNotify(Event* event) override;
    // A level load empties every observer set: subscribe again after one.
    void Listen();

    std::vector<float> goals;
    std::vector<std::uint32_t> roundWinners;
    std::vector<std::uint32_t> game; // winner, score one, score two
    int gamesFinished = 0;
    int modulesLoaded = 0;
    std::vector<std::vector<std::uint32_t>> moduleTags;
};

// Steps until done holds; on a timeout saves a screenshot named after what, prints where everyone is and
// reports a failure.
bool Until(PlayHarness& game, const std::string& what, int limit, const std::function<bool()>& done);
// Where the players and the ball are, for failure messages.
std::string Whereabouts();

// The text shown by the named object's TextRenderer, or "<none>".
std::string TextOf(const std::string& name);
// Every player and ball out of play, below the arena.
bool EveryoneHidden();
// Each player and ball within a unit of its spawn point (the ball may have fallen onto the pedestal).
bool EveryoneAtSpawn();
// The match clock runs (it shows less than the round's 90).
bool ClockRuns();
// Left Shift held with a digit key, for one step.
void PressShortcut(PlayHarness& game, std::int32_t digit);
// A key pressed for one step.
void TapKey(PlayHarness& game, std::int32_t key);

// The autopilots of the two players, on their keyboard halves.
Autopilot PilotOne(PlayHarness& game);
Autopilot PilotTwo(PlayHarness& game);
// Player 1's route: onto the pedestal, grab the ball, the grey platform, the blue platform, throw into the
// right goal. Player 2's mirrors it to the left goal. Each returns false where it failed (with a message).
bool ScoreForPlayerOne(PlayHarness& game);
bool ScoreForPlayerTwo(PlayHarness& game);

// The shot's pixel of a world point (the camera at the origin, 640 x 480).
const std::uint8_t* PixelOfWorld(const std::vector<std::uint8_t>& shot, float x, float y);
// Mean red, green, blue of a world box in a shot.
struct MeanColour
{
    double r = 0.0, g = 0.0, b = 0.0;
};
MeanColour MeanOfWorldBox(const std::vector<std::uint8_t>& shot, float left, float bottom, float right,
                          float top);
