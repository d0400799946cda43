#pragma once
#include "Component.h"
#include "Metadata.h"
#include "TypeIds.h"

// Scales the time step its object's scripts (and rigid body) receive while it is active. Never written
// to level files.
class TimeManipulator : public Component
{
  public:
    static constexpr const char* kClassName = "TimeManipulator";
    static constexpr std::uint32_t kTypeId = ComponentTypeId::kTimeManipulator;
    static constexpr std::uint32_t kClassVersion = 1;

    TimeManipulator();
    TimeManipulator(const TimeManipulator&) = default;

    std::unique_ptr<Component> Clone() const override;
    void DrawEditor() override;
    std::uint32_t GetVersion() const override { return kClassVersion; }

    // Active while time remains or while persistent.
    bool IsActive() const { return remainingTime > 0.0f || persistent; }

    float GetSpeed() const { return speed; }
    void SetSpeed(float speed_) { speed = speed_; }
    float GetRemainingTime() const { return remainingTime; }
    void SetRemainingTime(float seconds) { remainingTime = seconds; }
    bool IsPersistent() const { return persistent; }
    void SetPersistent(bool persistent_) { persistent = persistent_; }

    // "Set Speed Effect" and "Set Persistent" (whose check box shows IsActive).
    static const DescriptorList<TimeManipulator>& Descriptors();

  private:
    float speed = 1.0f;
    float remainingTime = 0.0f;
    bool persistent = false;
};
