#include "PlatformPrototypes.h"

void RegisterPlatformPrototypes() {}
