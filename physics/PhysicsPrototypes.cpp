#include "PhysicsPrototypes.h"

#include "BoxCollider.h"
#include "CircleCollider.h"
#include "CollisionChecker.h"
#include "LevelRecords.h"
#include "MotionSystem.h"
#include "RigidBody.h"
#include "SystemManager.h"

#include <memory>

void RegisterPhysicsPrototypes()
{
    const RigidBody body;
    const BoxCollider box;
    const CircleCollider circle;
    // Collider records name their concrete class in "Collider_Type", right after the record header.
    RegisterComponentFamily("Collider", "Collider_Type");

    // Only over the placeholders: replacing a real checker would leave its set-once pointer dangling.
    if (SystemManager::IsPlaceholder(kMotionSystemSlot))
        SystemManager::ReplaceSystem(kMotionSystemSlot, std::make_unique<MotionSystem>());
    if (SystemManager::IsPlaceholder(kCollisionCheckerSlot))
        SystemManager::ReplaceSystem(kCollisionCheckerSlot, std::make_unique<CollisionChecker>());
}
