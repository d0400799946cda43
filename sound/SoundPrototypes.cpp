#include "SoundPrototypes.h"

#include "SoundCue.h"

void RegisterSoundPrototypes()
{
    SoundCue soundCue;
}
