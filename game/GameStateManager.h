#pragma once
#include "EngineSystem.h"
#include "GameState.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// Makes the twelve game states in index order.
using GameStateListMaker = std::function<std::vector<std::unique_ptr<GameState>>()>;

// The game's twelve states, made in index order.
std::vector<std::unique_ptr<GameState>> MakeGameStates();

// Owns the game states and switches between them inside its own update, never at the moment of a
// request: a request is a write of the requested index (engine/GameStateRequest.h), -2 restarts the
// current state and -3 stops the engine one update after the state was left.
class GameStateManager : public EngineSystem
{
  public:
    // No state yet; the maker's logo is requested. Tests pass their own state list.
    explicit GameStateManager(GameStateListMaker makeStates = MakeGameStates);
    ~GameStateManager() override;

    // Makes the states in index order.
    void Init() override;
    // Switches, restarts or quits when asked, then updates the current state. A state's Exit that throws
    // is reported once and the switch completes; any other state operation's exception leaves here.
    void Update(float dt) override;
    // Deletes the states in list order.
    void Exit() override;

    // The current index: -1 before the first switch, -3 after a quit, any other written value as written.
    std::int32_t GetCurrentIndex() const { return currentIndex; }
    // Whether the index names one of the twelve states.
    static bool NamesState(std::int32_t index);
    // The state of the index; std::out_of_range when the list does not hold it.
    GameState& GetState(std::int32_t index) const;
    std::size_t StateCount() const { return states.size(); }

  private:
    // Runs the current state's Exit; an exception from it is reported and does not stop the switch.
    void ExitCurrent();
    void SwitchTo(std::int32_t requested);

    GameStateListMaker makeStates;
    std::vector<std::unique_ptr<GameState>> states;
    std::int32_t currentIndex = -1;
};

extern GameStateManager* gGameStateManager;
