#include "GamePrototypes.h"

#include "EnginePrototypes.h"
#include "GameplayPrototypes.h"
#include "GraphicsPrototypes.h"
#include "PhysicsPrototypes.h"
#include "PlatformPrototypes.h"
#include "Prototypes.h"
#include "SoundPrototypes.h"

void RegisterAllPrototypes()
{
    // Every class gets its prototype at start-up, so whether a level file can be read never depends
    // on which screens ran before it.
    AddPrototypeRegistration(&RegisterEnginePrototypes);
    AddPrototypeRegistration(&RegisterPlatformPrototypes);
    AddPrototypeRegistration(&RegisterGraphicsPrototypes);
    AddPrototypeRegistration(&RegisterPhysicsPrototypes);
    AddPrototypeRegistration(&RegisterSoundPrototypes);
    AddPrototypeRegistration(&RegisterGameplayPrototypes);
    RunPrototypeRegistrations();
}
