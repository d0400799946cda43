#pragma once

// Constructs every component class of this subsystem once, so that each stores its prototype, and puts
// the motion system and the collision checker in their slots in place of the placeholders. A second call
// changes nothing.
void RegisterPhysicsPrototypes();

// The same: physics' entry in the start-up list of registrations.
inline void RegisterPhysics()
{
    RegisterPhysicsPrototypes();
}
