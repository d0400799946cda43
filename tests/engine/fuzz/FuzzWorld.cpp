#include "FuzzWorld.h"

#include "GameObjectFactory.h"

FuzzWorld::FuzzWorld()
{
    Start();
}

FuzzWorld::~FuzzWorld()
{
    Stop();
}

void FuzzWorld::Restart()
{
    Stop();
    Start();
}

void FuzzWorld::Start()
{
    ResetLevelWorld();
    doubles = std::make_unique<LevelHookDoubles>();
    InstallLevelHookDoubles(*doubles);
    factory = std::make_unique<GameObjectFactory>();
    factory->Init();
    BuildSampleWorld(*factory, *doubles);
}

void FuzzWorld::Stop()
{
    factory->Exit();
    factory.reset();
    ResetLevelWorld();
    doubles.reset();
}
