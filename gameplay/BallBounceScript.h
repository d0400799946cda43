#pragma once
#include "Math.h"
#include "Script.h"

#include <string>

class ModuleLoadedEvent;

// Answers ball bounces with the bounce sound's intensity and a burst of particles, and, when a ball
// module is loaded, chooses which of three bounce sounds the ball now in play makes.
class BallBounceScript : public Script
{
  public:
    static constexpr const char* kScriptName = "BallBounceScript";
    static constexpr const char* kBounceSound = "BallBounce";
    static constexpr const char* kBalloonBounceSound = "BalloonBallBounce";
    static constexpr const char* kLightBounceSound = "LightBallBounce";

    explicit BallBounceScript(std::uint32_t ownerId = 0);
    ~BallBounceScript() override;
    // The copy listens and selects the plain bounce sound.
    std::unique_ptr<Script> Clone() const override;
    void OnNotify(Event* event) override;
    // Listens to bounces and module loads and selects the plain bounce sound.
    void Init() override;
    void Exit() override;
    void Update(float) override {}
    void Save(LevelOArchive&) const override {}

  private:
    BallBounceScript(const BallBounceScript& source);
    void Listen();
    void OnBounce(const Vector3& velocity);
    void OnModuleLoaded(const ModuleLoadedEvent& loaded);
};

// Makes the named sound the one every bounce plays (null when no loaded sound has the name).
void SelectBounceSound(const std::string& name);
