#include "ObjectAccess.h"

#include "CCSM.h"
#include "EventManager.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "Transform.h"
#include "TypeIds.h"

GameObject* OwnerObject(const CCSM* machine)
{
    return machine != nullptr ? ObjectOf(machine->GetOwner()) : nullptr;
}

GameObject* ObjectOf(std::uint32_t id)
{
    return gGameObjectFactory != nullptr ? gGameObjectFactory->GetObject(id) : nullptr;
}

Transform* TransformOf(const GameObject* object)
{
    return object != nullptr ? object->GetComponentAs<Transform>(ComponentTypeId::kTransform) : nullptr;
}

CCSM* MachineOf(const GameObject* object)
{
    return object != nullptr ? object->GetComponentAs<CCSM>(ComponentTypeId::kCCSM) : nullptr;
}

bool TopIs(const CCSM* machine, std::uint32_t stateId)
{
    const State* top = machine != nullptr ? machine->GetTopState() : nullptr;
    return top != nullptr && top->GetId() == stateId;
}

void Send(Event& event)
{
    EventManager::Dispatch(&event);
}
