#pragma once
#include "Script.h"

// On players: squashes the sprite while it runs along the ground, stretches it while it flies, and eases it
// back to its rest scale (the "ScaleX" and "ScaleY" stats) once it stops doing either.
class DeformationScript : public Script
{
  public:
    static constexpr const char* kScriptName = "DeformationScript";
    // Rest scales used until the stats hold their own.
    static constexpr float kDefaultRestX = 20.0f;
    static constexpr float kDefaultRestY = 40.0f;

    explicit DeformationScript(std::uint32_t ownerId = 0);
    ~DeformationScript() override = default;
    // Copies the rest scales; the copy is neither squashing nor stretching.
    std::unique_ptr<Script> Clone() const override;
    // One frame of squash, stretch or reform; needs CCSM, GameStats, Transform and RigidBody.
    void Update(float dt) override;
    // Reads "Original_X_Scale" and "Original_Y_Scale".
    std::unique_ptr<Script> Load(LevelIArchive& archive) override;
    void Save(LevelOArchive& archive) const override;

    float GetRestX() const { return restX; }
    float GetRestY() const { return restY; }
    bool IsSquashing() const { return squashing; }
    bool IsStretching() const { return stretching; }

  private:
    DeformationScript(const DeformationScript& source);

    float restX = kDefaultRestX;
    float restY = kDefaultRestY;
    bool squashing = false;
    bool stretching = false;
};
