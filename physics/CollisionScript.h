#pragma once
#include "Script.h"

#include <cstdint>
#include <string>

// Base of every script that reacts to its own object touching another: each CollisionEvent that names
// the owner becomes one OnCollision call. Events carry the ids in either order, so both are checked.
class CollisionScript : public Script
{
  public:
    // Subscribes to collision events.
    CollisionScript(std::string name, std::uint32_t typeId, std::uint32_t ownerId = 0);
    // The copy is subscribed too.
    CollisionScript(const CollisionScript& other);
    // Unsubscribes before the Script part goes.
    ~CollisionScript() override;

    // Turns a collision event that names the owner into OnCollision; ignores everything else.
    void OnNotify(Event* event) override;
    void Update(float dt) override;
    // Subscribes to collision events.
    void Init() override;
    // Unsubscribes from collision events.
    void Exit() override;

    // The owner touched another object this physics step.
    virtual void OnCollision(std::uint32_t ownId, std::uint32_t otherId) = 0;
};
