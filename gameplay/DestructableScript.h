#pragma once
#include "Math.h"
#include "Script.h"

class SoundChannel;

// The burn of an object that fell into lava: while the burn sound starts, the object waits off-screen and
// a dim light travels from where it fell to its spawn point ("GoalSpawnX", "GoalSpawnY"); after a second
// the object reappears there.
class DestructableScript : public Script
{
  public:
    // Spelt as level files store it.
    static constexpr const char* kScriptName = "DestructableScript";
    static constexpr std::uint32_t kVersion = 1;
    static constexpr float kBurnSeconds = 1.0f;
    // Where a burning object waits, out of sight.
    static constexpr float kWaitingX = -3000.0f;
    // The name the burn gives its marker, so an id reissued to another object is never taken for it.
    static constexpr const char* kMarkerName = "BurnMarker";

    explicit DestructableScript(std::uint32_t ownerId = 0);
    // Queues the marker of a burn still running.
    ~DestructableScript() override;
    // A fresh, idle copy.
    std::unique_ptr<Script> Clone() const override;
    // Starts a burn once its sound plays and runs one burn step per update.
    void Update(float dt) override;
    std::uint32_t GetVersion() const override { return kVersion; }

    // The channel of the burn sound the hazard played (null when it played nothing).
    void SetBurnChannel(SoundChannel* channel) { burnChannel = channel; }
    SoundChannel* GetBurnChannel() const { return burnChannel; }
    // Whether a burn runs.
    bool IsBurning() const { return burnTime >= 0.0f; }
    float GetBurnTime() const { return burnTime; }
    // The marker light's object id, 0 when none.
    std::uint32_t GetMarker() const { return marker; }
    // The debug toggle the game manager's shortcut flips; nothing reads it.
    void Toggle() { toggled = !toggled; }
    bool IsToggled() const { return toggled; }

  private:
    DestructableScript(const DestructableScript& source);
    void BurnStep(float dt);
    class GameObject* LiveMarker() const;
    class GameObject* EnsureMarker();
    void EndBurn();

    // Owned by the burn sound's instance in the sound system.
    SoundChannel* burnChannel = nullptr;
    float burnTime = -1.0f;
    float burnDuration = kBurnSeconds;
    bool needsMarker = true;
    std::uint32_t marker = 0;
    Vector3 startPosition{};
    bool started = false;
    bool toggled = false;
};
