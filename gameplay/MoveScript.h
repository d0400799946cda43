#pragma once
#include "Script.h"

// On moving platforms: shuttles the platform between two points at the "Movement Speed" stat, turning
// within the arrival radius of each.
class MoveScript : public Script
{
  public:
    static constexpr const char* kScriptName = "MoveScript";
    static constexpr float kArrivalRadius = 5.0f;

    enum Heading : std::uint32_t
    {
        kTowardFirst = 0,
        kTowardSecond = 1,
    };

    explicit MoveScript(std::uint32_t ownerId = 0);
    ~MoveScript() override = default;
    // Copies the two points; the copy heads for point 1 first.
    std::unique_ptr<Script> Clone() const override;
    // Sets the body's velocity toward the current target; dt is not used.
    void Update(float dt) override;
    // Reads "Position_1_X", "Position_1_Y", "Position_2_X", "Position_2_Y".
    std::unique_ptr<Script> Load(LevelIArchive& archive) override;
    void Save(LevelOArchive& archive) const override;

    float GetPoint1X() const { return point1X; }
    float GetPoint1Y() const { return point1Y; }
    float GetPoint2X() const { return point2X; }
    float GetPoint2Y() const { return point2Y; }
    std::uint32_t GetHeading() const { return heading; }

  private:
    MoveScript(const MoveScript& source);

    float point1X = 0.0f;
    float point1Y = 0.0f;
    float point2X = 0.0f;
    float point2Y = 0.0f;
    float speed = 0.0f;
    float arrivalRadius = kArrivalRadius;
    std::uint32_t heading = kTowardSecond;
};
