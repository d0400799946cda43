#include "EnginePrototypes.h"

#include "TimeManipulator.h"
#include "Transform.h"

void RegisterEnginePrototypes()
{
    // Constructing each class once stores its prototype; later constructions leave it alone.
    Transform transform;
    TimeManipulator timeManipulator;
}
