#include "DevLevelSupport.h"

#include "Collider.h"
#include "GameObject.h"
#include "GameStateRequest.h"
#include "InputSystem.h"
#include "MenuSystem.h"
#include "RigidBody.h"
#include "StatUtilities.h"
#include "Transform.h"
#include "TypeIds.h"
#include "WindowProvider.h"

#include <algorithm>

void RequestStateClosingMenus(std::int32_t index)
{
    RequestGameState(index);
    if (gMenuSystem != nullptr)
        gMenuSystem->CloseAllMenus();
}

bool IsKeyHeld(std::int32_t key)
{
    return gInputSystem != nullptr && std::find(gInputSystem->keysDown.begin(), gInputSystem->keysDown.end(),
                                                key) != gInputSystem->keysDown.end();
}

void MainWindowWatch::Reset()
{
    wasVisible = WindowProvider::IsWindowVisible(0);
}

bool MainWindowWatch::ClosedSinceLastUpdate()
{
    const bool visible = WindowProvider::IsWindowVisible(0);
    const bool closed = wasVisible && !visible;
    wasVisible = visible;
    return closed;
}

GameObject* LiveObject(std::uint32_t id)
{
    return id != 0 ? Live(id) : nullptr;
}

Transform* LiveTransform(std::uint32_t id)
{
    GameObject* object = LiveObject(id);
    return object != nullptr ? object->GetComponentAs<Transform>(ComponentTypeId::kTransform) : nullptr;
}

RigidBody* LiveBody(std::uint32_t id)
{
    return GetRigidBody(LiveObject(id));
}

Collider* LiveCollider(std::uint32_t id)
{
    GameObject* object = LiveObject(id);
    return object != nullptr ? object->GetComponentAs<Collider>(ComponentTypeId::kCollider) : nullptr;
}
