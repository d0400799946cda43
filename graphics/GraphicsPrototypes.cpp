#include "GraphicsPrototypes.h"

void RegisterGraphicsPrototypes() {}
