#pragma once
#include "Script.h"

// Makes the ball 5% faster with every bounce, up to three times its normal speed, through its
// TimeManipulator. A new script or a clone starts again at normal speed.
class BallSpeedScript : public Script
{
  public:
    static constexpr const char* kScriptName = "BallSpeedScript";
    static constexpr float kStep = 0.05f;
    static constexpr float kMaxSpeed = 3.0f;

    explicit BallSpeedScript(std::uint32_t ownerId = 0);
    ~BallSpeedScript() override;
    // The copy listens and starts at 1.
    std::unique_ptr<Script> Clone() const override;
    void OnNotify(Event* event) override;
    void Init() override;
    void Exit() override;

    float GetSpeed() const { return speed; }

  private:
    BallSpeedScript(const BallSpeedScript& source);

    float speed = 1.0f;
};
