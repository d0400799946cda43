#pragma once
#include "EditorLevel.h"

// The first editor level, "Editor_0", with the match's colour and player textures and the purple rock
// as "Balls". A throw pushes the ball: (500, 200) toward the running side, times its inverse mass, or
// (its own x speed, -200) from a standing holder.
class M2Level1 : public EditorLevel
{
  public:
    static constexpr const char* kLevelName = "Editor_0";
    static constexpr const char* kBallTexture = "Balls";
    static constexpr const char* kBallFile = "Assets/PurpleSpaceRock.png";

    M2Level1() : EditorLevel(GameStateIndex::M2Level1, kLevelName, "M2Level1") {}

    // Makes the textures, then loads "Editor_0".
    void Load() override;
    // The match's colour and player textures and the rock as "Balls", made again on each call.
    static void MakeTextures();

  protected:
    void LaunchBall(RigidBody& ballBody, float holderVelocityX) override;
    bool StopsHeldBallTurning() const override { return true; }
};
