#pragma once
#include "Component.h"
#include "Event.h"
#include "EventManager.h"
#include "GameObjectFactory.h"
#include "MetaHooks.h"
#include "Prototypes.h"
#include "Registries.h"
#include "Script.h"
#include "SystemManager.h"
#include "TypeIds.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// A running object factory over clean global state, torn down again after each test.
class ObjectModelTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        EventManager::Reset();
        MetaHooks::Reset();
        ResetObjectModel();
        factory = std::make_unique<GameObjectFactory>();
        factory->Init();
    }
    void TearDown() override
    {
        factory->Exit();
        factory.reset();
        ResetObjectModel();
        EventManager::Reset();
    }

    std::unique_ptr<GameObjectFactory> factory;
};

// A component of any type id with one plain value, for registration and prefab tests.
class ProbeComponent : public Component
{
  public:
    explicit ProbeComponent(std::uint32_t typeId = ComponentTypeId::kRigidBody,
                            std::string name = "ProbeComponent")
        : Component(std::move(name), typeId)
    {
        RegisterComponentPrototype(*this);
    }
    ProbeComponent(const ProbeComponent&) = default;
    ~ProbeComponent() override { ++destroyed; }

    std::unique_ptr<Component> Clone() const override { return std::make_unique<ProbeComponent>(*this); }
    std::uint32_t GetVersion() const override { return 1; }

    int value = 0;
    static inline int destroyed = 0;
};

// A script that records its updates and events, and runs an optional action in Update.
class ProbeScript : public Script
{
  public:
    explicit ProbeScript(std::uint32_t typeId = ScriptTypeId::kPlayerScript, std::string name = "ProbeScript")
        : Script(std::move(name), typeId)
    {
        Subscribe(evGoalScore);
        RegisterScriptPrototype(*this);
    }
    // Scripts that listen subscribe their copies too.
    ProbeScript(const ProbeScript& other) : Script(other), action(other.action) { Subscribe(evGoalScore); }
    ~ProbeScript() override { ++destroyed; }

    std::unique_ptr<Script> Clone() const override { return std::make_unique<ProbeScript>(*this); }
    void Update(float dt) override
    {
        updates.push_back({owner, dt});
        if (action)
            action(*this);
    }
    void OnNotify(Event* event) override
    {
        notified.push_back({owner, static_cast<float>(event->EventType)});
    }

    struct Call
    {
        std::uint32_t owner;
        float value;
    };
    std::function<void(ProbeScript&)> action;
    static inline std::vector<Call> updates;
    static inline std::vector<Call> notified;
    static inline int destroyed = 0;
};
