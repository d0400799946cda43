#pragma once
#include "EventManager.h"
#include "GameObjectFactory.h"
#include "MetaHooks.h"
#include "Prototypes.h"
#include "Registries.h"
#include "SystemManager.h"

#include <gtest/gtest.h>

#include <memory>

// A running object factory over clean global state, torn down again after each test.
class ObjectModelTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        EventManager::Reset();
        MetaHooks::Reset();
        ResetPrototypes();
        factory = std::make_unique<GameObjectFactory>();
        factory->Init();
    }
    void TearDown() override
    {
        factory->Exit();
        factory.reset();
        EventManager::Reset();
    }

    std::unique_ptr<GameObjectFactory> factory;
};
