#pragma once
#include "LevelTestWorld.h"

#include <memory>

class GameObjectFactory;

// The small running world the fuzz targets stage into and commit into, with every hook filled.
class FuzzWorld
{
  public:
    FuzzWorld();
    ~FuzzWorld();
    // Throws the world away and builds it afresh.
    void Restart();

  private:
    void Start();
    void Stop();

    std::unique_ptr<GameObjectFactory> factory;
    std::unique_ptr<LevelHookDoubles> doubles;
};
