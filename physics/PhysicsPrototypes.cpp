#include "PhysicsPrototypes.h"

void RegisterPhysicsPrototypes() {}
