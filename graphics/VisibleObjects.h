#pragma once
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "System.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// How many members ahead of the visit a walk asks for the next objects' memory.
inline constexpr std::size_t kVisitLookAhead = 8;

// Calls visit(object) for every live object of a drawing system that is neither queued for destruction nor
// hidden, in ascending id order. The walk goes over the members as they stood when it began (a list the
// system keeps until membership changes, not a copy per frame) and looks each object up again, so objects
// created or destroyed on the way never invalidate it.
template <typename Visit, typename LookAhead>
void ForEachVisibleObject(const System& system, Visit visit, LookAhead lookAhead)
{
    if (gGameObjectFactory == nullptr)
    {
        return;
    }
    const auto members = system.MemberList();
    const std::vector<std::uint32_t>& ids = *members;
    for (std::size_t at = 0; at < ids.size(); ++at)
    {
        const auto& objects = gGameObjectFactory->Objects();
        // A large world's objects are not in cache: the ones a few steps ahead are asked for now.
        if (at + kVisitLookAhead < ids.size())
        {
            const std::uint32_t ahead = ids[at + kVisitLookAhead];
            if (ahead < objects.size())
                __builtin_prefetch(objects[ahead].get());
            lookAhead(ahead);
        }
        const std::uint32_t id = ids[at];
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

template <typename Visit> void ForEachVisibleObject(const System& system, Visit visit)
{
    ForEachVisibleObject(system, visit, [](std::uint32_t) {});
}
