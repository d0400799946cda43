#pragma once
#include "EngineSystem.h"
#include "ObjectIdSet.h"
#include "TypeIdSet.h"

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

// A component system: the per-frame work on every object whose component types contain its required
// set. It keeps ids, not pointers, and looks each object up through the factory when it runs.
class System : public EngineSystem
{
  public:
    System(std::string name, std::set<std::uint32_t> requiredTypes);

    // The class name, for messages.
    const std::string& GetName() const { return name; }
    // The signature: the component type ids an object must carry.
    const std::set<std::uint32_t>& RequiredTypes() const { return requiredTypes; }
    // The ids of the objects that currently match.
    const ObjectIdSet& ObjectIds() const { return objectIds; }
    // True when every required type is in the set (one mask test).
    bool Matches(const TypeIdSet& componentTypes) const { return componentTypes.ContainsAll(requiredMask); }
    // The member ids in ascending order as they stood when called. The list is kept and handed out again
    // until membership changes, so a walk costs no copy; objects created during the walk are not in it,
    // and the walk looks each id up again to skip objects destroyed on the way.
    std::shared_ptr<const std::vector<std::uint32_t>> MemberList() const { return memberList.Of(objectIds); }

    // Kept current by the system manager only.
    void AddObjectId(std::uint32_t id) { objectIds.insert(id); }
    void RemoveObjectId(std::uint32_t id) { objectIds.erase(id); }
    void SetObjectIds(const ObjectIdSet& ids) { objectIds = ids; }

  protected:
    std::string name;
    std::set<std::uint32_t> requiredTypes;
    TypeIdSet requiredMask;
    ObjectIdSet objectIds;
    mutable ObjectIdList memberList;
};

// Holds a system slot until the subsystem that owns it installs the real system with ReplaceSystem:
// registration works in its final shape and Update does nothing.
class PlaceholderComponentSystem : public System
{
  public:
    using System::System;
};
