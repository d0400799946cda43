// Links the engine library alone: a missing symbol here means engine/ reaches into a subsystem above it.
#include "Engine.h"
#include "PlaceholderSystem.h"

#include <memory>

int main()
{
    SystemFactories factories;
    for (auto& factory : factories)
        factory = [] { return std::make_unique<PlaceholderSystem>(estSystemBase); };
    Engine engine(factories);
    engine.Init();
    engine.Update(0.0f);
    engine.Shutdown();
    return 0;
}
