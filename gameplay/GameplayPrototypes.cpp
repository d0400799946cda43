#include "GameplayPrototypes.h"

void RegisterGameplayPrototypes() {}
