#include "SystemSlots.h"

#include "CCSMFactory.h"
#include "GameObjectFactory.h"
#include "Graphics.h"
#include "InputSystem.h"
#include "LoggingSystem.h"
#include "PlaceholderSystem.h"
#include "SoundSystem.h"
#include "WindowProvider.h"

namespace
{
SystemFactory Placeholder(SystemType type)
{
    return [type] { return std::make_unique<PlaceholderSystem>(type); };
}
} // namespace

SystemFactories MakeGameSystemFactories()
{
    SystemFactories factories;
    factories[slotLogging] = [] { return std::make_unique<LoggingSystem>(); };
    factories[slotWindowProvider] = [] { return std::make_unique<WindowProvider>(); };
    factories[slotInput] = [] { return std::make_unique<InputSystem>(); };
    factories[slotGraphics] = [] { return std::make_unique<Graphics>(); };
    factories[slotSound] = [] { return std::make_unique<SoundSystem>(); };
    factories[slotGameStateManager] = Placeholder(estGameStateManager);
    factories[slotObjectFactory] = [] { return std::make_unique<GameObjectFactory>(); };
    factories[slotBehaviorFactory] = [] { return std::make_unique<CCSMFactory>(); };
    factories[slotMenuSystem] = Placeholder(estMenuSystem);
    return factories;
}
