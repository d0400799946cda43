#pragma once
#include "DevLevelSupport.h"
#include "GameState.h"
#include "Math.h"

#include <cstdint>
#include <string>

class RigidBody;
class Transform;

// A level read from an editor's file, played with a direct control of two players and a ball, without
// behaviour machines: run left and right, grab the ball when close, throw it. The first live object of
// tag 2 (in id order) plays W, A, D and left Shift, the second the arrows and right Shift; the first of
// tag 3 is the ball. Key 3 goes to the match, key 2 to the second editor level, Escape quits.
class EditorLevel : public GameState
{
  public:
    static constexpr float kRunSpeed = 150.0f;
    static constexpr float kGrabReach = 30.0f;
    static constexpr float kHoldOffset = 20.0f;
    static constexpr float kGrabCooldown = 0.25f;

    // One player's keys (SDL key codes).
    struct Controls
    {
        std::int32_t up;
        std::int32_t left;
        std::int32_t right;
        std::int32_t grab;
    };
    static const Controls kFirstControls;
    static const Controls kSecondControls;

    EditorLevel(std::uint32_t index, std::string levelName, std::string traceName);

    // Takes the players and the ball afresh, places the players and forgets any hold.
    void Init() override;
    // Reads the level keys, then runs both players and the ball.
    void Update(float dt) override;
    void Exit() override;
    // The objects go with the switch: forgets the players and the ball.
    void Unload() override;

    std::uint32_t FirstPlayer() const { return firstPlayer; }
    std::uint32_t SecondPlayer() const { return secondPlayer; }
    std::uint32_t Ball() const { return ball; }
    std::uint32_t Holder() const { return holder; }
    bool IsBallHeld() const { return ballHeld; }
    float GrabCooldown() const { return grabCooldown; }
    const std::string& LevelName() const { return levelName; }

  protected:
    // Loads the level file; a file that fails to load is reported once and the level stays as it was.
    void LoadEditorFile();
    // Gives the thrown ball its speed, from the holder's x velocity as it was before this update.
    virtual void LaunchBall(RigidBody& ballBody, float holderVelocityX) = 0;
    // Whether the held ball is kept from turning.
    virtual bool StopsHeldBallTurning() const { return false; }

  private:
    // The id when the object carries a Transform and a RigidBody (and a Collider when asked), else 0
    // after a warning.
    std::uint32_t TakeChecked(std::uint32_t id, const char* role, bool needsCollider) const;
    void ReadLevelKeys();
    void ControlPlayer(std::uint32_t player, const Controls& controls);
    void Grab(std::uint32_t player);
    void Throw(float holderVelocityX);
    void StepBall(float dt);

    std::string levelName;
    std::string traceName;
    std::uint32_t firstPlayer = 0;
    std::uint32_t secondPlayer = 0;
    std::uint32_t ball = 0;
    std::uint32_t holder = 0;
    bool ballHeld = false;
    float grabCooldown = kGrabCooldown;
    MainWindowWatch window;
};
