#pragma once
// The arena scene the physics benchmark times and a unit test checks: static walls around the arena,
// seeded bodies moving inside it, and optionally arena-wide sensor colliders that fill the quadtree.
#include "CollisionChecker.h"

#include <cstdint>
#include <memory>
#include <vector>

class GameObjectFactory;

class ArenaScene
{
  public:
    // bodies: half Wood boxes at random rotations, half SuperBall circles, each of side
    // 0.35 * sqrt(1920 * 480 / bodies) (about 12% coverage), no gravity, moving at twice their size per
    // second in random directions. wideColliders: 1900 x 470 sensors at the origin, no body, no resolution.
    ArenaScene(int bodies, int wideColliders = 0, std::uint32_t seed = 20261208u);
    ~ArenaScene();
    ArenaScene(const ArenaScene&) = delete;
    ArenaScene& operator=(const ArenaScene&) = delete;

    // One physics step of 1/60 s: motion, then the collision checker.
    void Step();
    // What the last step's collision check did.
    const CollisionCounters& Counters() const;
    // Every body's translation, rotation, velocity and angular velocity, in id order.
    std::vector<float> State() const;

  private:
    std::unique_ptr<GameObjectFactory> factory;
    std::vector<std::uint32_t> bodyIds;
};
