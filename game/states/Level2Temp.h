#pragma once
#include "DevLevelSupport.h"
#include "GameState.h"
#include "Math.h"

#include <cstdint>
#include <string>

// A ray-cast test: three shapes around the origin and, while key 1, 2 or 3 is held, a ray of length 400
// from the origin toward the axis-aligned box, the circle or the rotated box. When the first object the
// ray finds (in id order, not the nearest) is the one aimed at, it says so, marks the hit point and plays
// "BallSteal".
class Level2Temp : public GameState
{
  public:
    static constexpr float kRayLength = 400.0f;

    Level2Temp() : GameState(GameStateIndex::Level2Temp) {}

    // Makes the colours that are still absent, creates the three shapes, shows a full "Light Gray"
    // background and switches debug drawing on.
    void Load() override;
    // Looks at the origin unturned and places the shapes.
    void Init() override;
    // Draws the guides and casts the ray of the first held key.
    void Update(float dt) override;
    void Exit() override;
    // The shapes go with the switch: forgets their ids.
    void Unload() override;
    // This level is never written to disk.
    void SaveLevel(std::string name) override { (void)name; }

    std::uint32_t AxisAlignedBoxId() const { return boxId; }
    std::uint32_t RotatedBoxId() const { return rotatedBoxId; }
    std::uint32_t CircleId() const { return circleId; }

  private:
    // Casts from the origin toward the target; reports when the first object hit is `aimedAt`.
    void CastToward(const Vector2& target, std::uint32_t aimedAt, const char* message);

    std::uint32_t boxId = 0;
    std::uint32_t rotatedBoxId = 0;
    std::uint32_t circleId = 0;
    MainWindowWatch window;
};
