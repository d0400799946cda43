#include "FuzzWorld.h"

#include "GameObjectFactory.h"
#include "GameStats.h"
#include "PhysicsPrototypes.h"

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
    // The headless classes of the subsystems above the engine, next to the test classes.
    RegisterPhysicsPrototypes();
    const GameStats stats;
    BuildSampleWorld(*factory, *doubles);
}

void FuzzWorld::Stop()
{
    factory->Exit();
    factory.reset();
    ResetLevelWorld();
    doubles.reset();
}
