#include "GamePrototypes.h"

#include "EnginePrototypes.h"
#include "GameplayPrototypes.h"
#include "GraphicsPrototypes.h"
#include "PhysicsPrototypes.h"
#include "PlatformPrototypes.h"
#include "SoundPrototypes.h"

void RegisterAllPrototypes()
{
    RegisterEnginePrototypes();
    RegisterPlatformPrototypes();
    RegisterGraphicsPrototypes();
    RegisterPhysicsPrototypes();
    RegisterSoundPrototypes();
    RegisterGameplayPrototypes();
}
