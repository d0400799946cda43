#include "PlayerEffects.h"

void TogglePlayerEffects() {}
