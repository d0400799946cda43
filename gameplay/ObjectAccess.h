#pragma once
#include <cstdint>

class CCSM;
class Event;
class GameObject;
class Transform;

// Small look-ups shared by the commands, states and scripts. Each takes what may be null and gives null.

// The object of the machine's owner id (an object queued for destruction still counts), or null.
GameObject* OwnerObject(const CCSM* machine);
// The object of the id, queued or not, or null (id 0 or past the table).
GameObject* ObjectOf(std::uint32_t id);
Transform* TransformOf(const GameObject* object);
CCSM* MachineOf(const GameObject* object);
// Whether the machine's top state has the id.
bool TopIs(const CCSM* machine, std::uint32_t stateId);
// Sends the event to its observers.
void Send(Event& event);
