#pragma once
#include "System.h"

#include <cstddef>
#include <memory>
#include <vector>

class GameObject;

// The slots of the component systems, in creation and update order. The physics step runs the first two;
// the object factory runs the rest.
inline constexpr std::size_t kMotionSystemSlot = 0;
inline constexpr std::size_t kCollisionCheckerSlot = 1;
inline constexpr std::size_t kCCSMSystemSlot = 2;
inline constexpr std::size_t kBasicRendererSlot = 3;
inline constexpr std::size_t kParticleSystemSlot = 4;
inline constexpr std::size_t kLightRendererSlot = 5;
inline constexpr std::size_t kTextRendererSystemSlot = 6;
inline constexpr std::size_t kComponentSystemCount = 7;

// The process-wide list of component systems and the registration of objects with them.
class SystemManager
{
  public:
    // Creates the seven systems as placeholders with their required sets, in slot order (replacing any).
    static void Init();
    // Appends a system to the list.
    static void AddSystem(std::unique_ptr<System> system);
    // Puts a real system in a slot in place of what stands there, keeping its place in the order and
    // moving over the object ids already registered; throws std::out_of_range for a slot not created.
    static void ReplaceSystem(std::size_t slot, std::unique_ptr<System> system);
    // True while the slot holds the placeholder that Init made.
    static bool IsPlaceholder(std::size_t slot);
    // The system in a slot, or null.
    static System* GetSystem(std::size_t slot);
    // Every system in update order.
    static const std::vector<std::unique_ptr<System>>& Systems();

    // Inserts the object's id into every system whose required set its component types contain; null
    // and id 0 do nothing, and a system it no longer matches keeps it.
    static void RegisterObject(const GameObject* object);
    // Removes the object's id from every system; null does nothing.
    static void UnregisterObject(const GameObject* object);

    // Destroys every system, last first, and empties the list (the factory's Exit; tests).
    static void DestroyAll();
};

// The physics step, run by the frame loop right after each engine update with the same dt: the motion
// system, then the collision checker, in one handler; an exception ends the step and is reported.
void PhysicsUpdate(float dt);
