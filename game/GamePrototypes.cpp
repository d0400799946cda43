#include "GamePrototypes.h"

#include "EnginePrototypes.h"
#include "GameplayPrototypes.h"
#include "GraphicsPrototypes.h"
#include "MenuButtonState.h"
#include "MenuScript.h"
#include "PhysicsPrototypes.h"
#include "PlatformPrototypes.h"
#include "Prototypes.h"
#include "SoundPrototypes.h"

#include "CCSMFactory.h"

void RegisterGamePrototypes()
{
    MenuScript menuScript;
    // The button state and commands replace the stand-ins that gameplay's registration keeps.
    if (gCCSMFactory == nullptr)
        return;
    gCCSMFactory->RegisterState(std::make_unique<MenuButtonState>());
    gCCSMFactory->RegisterCommand(std::make_unique<SelectButton>());
    gCCSMFactory->RegisterCommand(std::make_unique<DeSelectButton>());
    gCCSMFactory->RegisterCommand(std::make_unique<PressButton>());
}

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
    AddPrototypeRegistration(&RegisterGamePrototypes);
    RunPrototypeRegistrations();
}
