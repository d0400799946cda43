#pragma once
#include <cstdint>

class GameObject;
class RigidBody;
class Transform;
class Collider;

// What the development levels share: their requests, their keys, their watch over the main window and
// their checked look-ups of the objects they keep by id.

// Requests the state (or -2, -3), then unpauses and closes every open menu.
void RequestStateClosingMenus(std::int32_t index);

// Whether the key (an SDL key code) is held now; holding repeats.
bool IsKeyHeld(std::int32_t key);

// A close only hides the main window and the close flag is never cleared, so a state notices a close by
// the window going from shown to hidden between two of its updates.
class MainWindowWatch
{
  public:
    // Forgets what was seen, so a hidden window at entry is no close.
    void Reset();
    // True once when the main window, shown at the previous call, is hidden now.
    bool ClosedSinceLastUpdate();

  private:
    bool wasVisible = false;
};

// The kept object of the id while it is live (not queued for destruction), else null.
GameObject* LiveObject(std::uint32_t id);
// Its Transform, RigidBody or Collider while it is live and carries one, else null.
Transform* LiveTransform(std::uint32_t id);
RigidBody* LiveBody(std::uint32_t id);
Collider* LiveCollider(std::uint32_t id);
