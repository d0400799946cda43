#pragma once
#include <cstdint>
#include <string>

// The positions of the game's screens and levels in the manager's list; writing one into the requested
// state index switches to it.
namespace GameStateIndex
{
enum : std::int32_t
{
    Level1Temp = 0,
    Level2Temp = 1,
    PhysicsTestState = 2,
    GameplayDemo = 3,
    M2Level1 = 4,
    M2Level2 = 5,
    WinScreenLevel1 = 6,
    WinScreenLevel2 = 7,
    MainMenu = 8,
    TorvaneSplashScreen = 9,
    GameSplashScreen = 10,
    CreditsScreen = 11,
    Count = 12
};
}

// One screen or level of the game. The manager runs Load then Init when it becomes current, Update once
// per engine update, Exit when it is left (or restarted) and Unload when another state follows.
class GameState
{
  public:
    explicit GameState(std::uint32_t index) : index(index) {}
    virtual ~GameState() = default;
    GameState(const GameState&) = delete;
    GameState& operator=(const GameState&) = delete;

    // Builds what the state needs when it becomes current.
    virtual void Load() = 0;
    // Starts the state after Load, and again on every restart.
    virtual void Init() = 0;
    // Once per engine update while current; dt is 0 while the game is paused.
    virtual void Update(float dt) = 0;
    // First step of every switch away and of every restart.
    virtual void Exit() = 0;
    // After Exit when another state follows; not on a restart.
    virtual void Unload() = 0;
    // Reads the named level, falling back once to the unversioned form; a second failure propagates.
    virtual void LoadLevel(std::string name);
    // Writes the running level under the name.
    virtual void SaveLevel(std::string name);

    // The state's position in the manager's list.
    std::uint32_t GetIndex() const { return index; }

  private:
    std::uint32_t index;
};
