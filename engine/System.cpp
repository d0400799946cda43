#include "System.h"

#include <algorithm>

System::System(std::string name_, std::set<std::uint32_t> requiredTypes_)
    : EngineSystem(estSystemBase), name(std::move(name_)), requiredTypes(std::move(requiredTypes_))
{
}

bool System::Matches(const std::set<std::uint32_t>& componentTypes) const
{
    return std::includes(componentTypes.begin(), componentTypes.end(), requiredTypes.begin(),
                         requiredTypes.end());
}
