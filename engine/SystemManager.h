#pragma once

// The physics step, run by the frame loop right after each engine update with the same dt.
void PhysicsUpdate(float dt);
