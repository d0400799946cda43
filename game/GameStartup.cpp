#include "GameStartup.h"

#include "GamePrototypes.h"

std::unique_ptr<Engine> StartGame(SystemFactories factories)
{
    auto engine = std::make_unique<Engine>(std::move(factories));
    engine->Init();
    RegisterAllPrototypes();
    return engine;
}

void RunGame(Engine& engine)
{
    engine.Run();
}

void ShutDownGame(Engine& engine)
{
    engine.Shutdown();
}

std::vector<StartupHook> StartupHookChecklist()
{
    return {};
}
