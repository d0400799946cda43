#include "SystemManager.h"

void PhysicsUpdate(float dt)
{
    (void)dt;
}
