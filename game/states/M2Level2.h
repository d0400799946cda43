#pragma once
#include "EditorLevel.h"

// The second editor level, "Editor_2", on the textures start-up registers. A throw sets the ball's
// speed: (300, 200) toward the running side, or only a y speed of -200 from a standing holder.
class M2Level2 : public EditorLevel
{
  public:
    static constexpr const char* kLevelName = "Editor_2";

    M2Level2() : EditorLevel(GameStateIndex::M2Level2, kLevelName, "M2Level2") {}

    // Loads "Editor_2".
    void Load() override { LoadEditorFile(); }

  protected:
    void LaunchBall(RigidBody& ballBody, float holderVelocityX) override;
};
