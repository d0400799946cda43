#include "EnginePrototypes.h"

void RegisterEnginePrototypes()
{
}
