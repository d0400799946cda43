#include "CCSMSystem.h"

#include "CCSM.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "SystemManager.h"
#include "TimeManipulator.h"
#include "TypeIds.h"


namespace
{
// The machine of an object the behaviour pass may run now, or null.
CCSM* LiveMachine(std::uint32_t id, GameObject*& object)
{
    object = nullptr;
    if (id == 0 || gGameObjectFactory == nullptr)
        return nullptr;
    object = gGameObjectFactory->GetObject(id);
    if (object == nullptr || object->HasFlag(kFlagQueuedForDestruction) || object->HasFlag(kFlagHidden))
        return nullptr;
    return object->GetComponentAs<CCSM>(ComponentTypeId::kCCSM);
}

// Visits the live machines of the system's objects in ascending id order. The ids are the members when
// the walk began (objects created on the way wait for the next update), and each object and machine is
// looked up again just before its visit, since visits may create, destroy or change objects.
template <typename Visit> void ForEachLiveMachine(const System& system, Visit visit)
{
    const auto members = system.MemberList();
    for (std::uint32_t id : *members)
    {
        GameObject* object = nullptr;
        if (CCSM* machine = LiveMachine(id, object))
            visit(*object, *machine);
    }
}

float ScaledTime(const GameObject& object, float dt)
{
    const auto* manipulator = object.GetComponentAs<TimeManipulator>(ComponentTypeId::kTimeManipulator);
    return manipulator != nullptr && manipulator->IsActive() ? dt * manipulator->GetSpeed() : dt;
}
} // namespace

CCSMSystem::CCSMSystem() : System(kClassName, {ComponentTypeId::kCCSM}) {}

void CCSMSystem::Update(float dt)
{
    ForEachLiveMachine(*this, [dt](GameObject& object, CCSM& machine)
                       { machine.RunUpdate(ScaledTime(object, dt)); });
}

void InstallCCSMSystem()
{
    if (SystemManager::IsPlaceholder(kCCSMSystemSlot))
        SystemManager::ReplaceSystem(kCCSMSystemSlot, std::make_unique<CCSMSystem>());
}

void RebuildAll()
{
    const System* system = SystemManager::GetSystem(kCCSMSystemSlot);
    if (system == nullptr)
        return;
    ForEachLiveMachine(*system, [](GameObject&, CCSM& machine) { machine.SetBehavior(""); });
}
