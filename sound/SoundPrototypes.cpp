#include "SoundPrototypes.h"

void RegisterSoundPrototypes() {}
