#pragma once
#include "DevLevelSupport.h"
#include "GameState.h"
#include "Math.h"

#include <cstdint>
#include <optional>

// A physics test scene: a disc that a spring pulls toward the mouse, over a static floor beside a static
// pillar, drawn as white sprites with their outlines, velocities and the spring over them. Keys 1 and 2
// make the disc static without contact resolution or dynamic with it; key 4 restarts the scene.
class PhysicsTestState : public GameState
{
  public:
    static constexpr float kSpringRestLength = 150.0f;
    static constexpr float kSpringStiffness = 25.0f;

    PhysicsTestState() : GameState(GameStateIndex::PhysicsTestState) {}

    // Makes "White" when absent, switches debug drawing on and creates the disc, the floor and the pillar.
    void Load() override;
    // Puts the disc back at (50, 100) at rest and looks at the scene from the origin, unturned.
    void Init() override;
    // Draws the outlines and the spring, pulls the disc toward the mouse and reads the keys.
    void Update(float dt) override;
    void Exit() override {}
    // The objects go with the switch: forgets their ids.
    void Unload() override;

    // The mouse in world units through the first camera, or nothing when the window has no size.
    static std::optional<Vector2> MouseInWorld();
    // The spring's force on a body at `position` toward the point m: (|d| - 150) 25 d, d = (m - p, 1 - z).
    static Vector3 SpringForce(const Vector2& mouse, const Vector3& position);

    std::uint32_t DiscId() const { return discId; }
    std::uint32_t FloorId() const { return floorId; }
    std::uint32_t PillarId() const { return pillarId; }

  private:
    void DrawOutlines();
    void ReadKeys();

    std::uint32_t discId = 0;
    std::uint32_t floorId = 0;
    std::uint32_t pillarId = 0;
    MainWindowWatch window;
};
