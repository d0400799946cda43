#pragma once
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "System.h"

#include <cstdint>

// Calls visit(object) for every live object of a drawing system that is neither queued for destruction nor
// hidden, in ascending id order. The walk goes over the members as they stood when it began (a list the
// system keeps until membership changes, not a copy per frame) and looks each object up again, so objects
// created or destroyed on the way never invalidate it.
template <typename Visit> void ForEachVisibleObject(const System& system, Visit visit)
{
    if (gGameObjectFactory == nullptr)
    {
        return;
    }
    const auto members = system.MemberList();
    for (std::uint32_t id : *members)
    {
        const auto& objects = gGameObjectFactory->Objects();
        if (id == 0 || id >= objects.size() || objects[id] == nullptr)
        {
            continue;
        }
        GameObject& object = *objects[id];
        if (object.HasFlag(kFlagQueuedForDestruction) || object.HasFlag(kFlagHidden))
        {
            continue;
        }
        visit(object);
    }
}
