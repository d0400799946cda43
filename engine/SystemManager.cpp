#include "SystemManager.h"

#include "GameObject.h"
#include "TypeIds.h"

#include <exception>
#include <iostream>
#include <stdexcept>

namespace
{
// Never destroyed during static destruction: the factory's Exit empties it.
std::vector<std::unique_ptr<System>>& systems = *new std::vector<std::unique_ptr<System>>;

constexpr const char* kPhysicsStepName = "PhysicsUpdate";

struct SlotSystem
{
    const char* name;
    std::set<std::uint32_t> requiredTypes;
};

std::vector<SlotSystem> SlotSystems()
{
    using namespace ComponentTypeId;
    return {
        {"MotionSystem", {kRigidBody, kTransform}},
        {"CollisionChecker", {kCollider, kTransform}},
        {"CCSMSystem", {kCCSM}},
        {"BasicRenderer", {kRenderer, kTransform}},
        {"ParticleSystem", {kParticleComponent, kTransform}},
        {"LightRenderer", {kLight, kTransform}},
        {"TextRendererSystem", {kTextRenderer, kTransform}},
    };
}
} // namespace

void SystemManager::Init()
{
    // A second Init starts over rather than stacking a second set of systems behind the first.
    DestroyAll();
    for (SlotSystem& options : SlotSystems())
        AddSystem(
            std::make_unique<PlaceholderComponentSystem>(options.name, std::move(options.requiredTypes)));
}

void SystemManager::AddSystem(std::unique_ptr<System> system)
{
    if (system)
        systems.push_back(std::move(system));
}

void SystemManager::ReplaceSystem(std::size_t slot, std::unique_ptr<System> system)
{
    if (slot >= systems.size())
        throw std::out_of_range("no component system in slot " + std::to_string(slot));
    if (!system)
        return;
    system->SetObjectIds(systems[slot]->ObjectIds());
    systems[slot] = std::move(system);
}

bool SystemManager::IsPlaceholder(std::size_t slot)
{
    return slot < systems.size() && dynamic_cast<PlaceholderComponentSystem*>(systems[slot].get()) != nullptr;
}

System* SystemManager::GetSystem(std::size_t slot)
{
    return slot < systems.size() ? systems[slot].get() : nullptr;
}

const std::vector<std::unique_ptr<System>>& SystemManager::Systems()
{
    return systems;
}

void SystemManager::RegisterObject(const GameObject* object)
{
    if (object == nullptr || object->id == 0)
        return;
    for (const std::unique_ptr<System>& system : systems)
    {
        if (system->Matches(object->componentTypes))
            system->AddObjectId(object->id);
    }
}

void SystemManager::UnregisterObject(const GameObject* object)
{
    if (object == nullptr)
        return;
    for (const std::unique_ptr<System>& system : systems)
        system->RemoveObjectId(object->id);
}

void SystemManager::DestroyAll()
{
    while (!systems.empty())
        systems.pop_back();
}

void PhysicsUpdate(float dt)
{
    try
    {
        systems.at(kMotionSystemSlot)->Update(dt);
        systems.at(kCollisionCheckerSlot)->Update(dt);
    }
    catch (const std::out_of_range& error)
    {
        std::cerr << "Something in Physics Update went horribly wrong.  " << error.what() << "\n";
    }
    catch (const std::exception& error)
    {
        std::cerr << "Engine system error in: " << kPhysicsStepName << ".  "
                  << "Exception thrown: " << error.what() << "\n";
    }
    catch (...)
    {
        std::cerr << "Engine system error in: " << kPhysicsStepName << ".  "
                  << "Exception thrown: UNKOWN\n";
    }
}
