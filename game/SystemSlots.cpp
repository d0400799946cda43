#include "SystemSlots.h"

#include "CCSMFactory.h"
#include "GameObjectFactory.h"
#include "GameStateManager.h"
#include "Graphics.h"
#include "InputSystem.h"
#include "LoggingSystem.h"
#include "MenuSystem.h"
#include "SoundSystem.h"
#include "WindowProvider.h"

SystemFactories MakeGameSystemFactories()
{
    SystemFactories factories;
    factories[slotLogging] = [] { return std::make_unique<LoggingSystem>(); };
    factories[slotWindowProvider] = [] { return std::make_unique<WindowProvider>(); };
    factories[slotInput] = [] { return std::make_unique<InputSystem>(); };
    factories[slotGraphics] = [] { return std::make_unique<Graphics>(); };
    factories[slotSound] = [] { return std::make_unique<SoundSystem>(); };
    factories[slotGameStateManager] = [] { return std::make_unique<GameStateManager>(); };
    factories[slotObjectFactory] = [] { return std::make_unique<GameObjectFactory>(); };
    factories[slotBehaviorFactory] = [] { return std::make_unique<CCSMFactory>(); };
    factories[slotMenuSystem] = [] { return std::make_unique<MenuSystem>(); };
    return factories;
}
