#include "System.h"

System::System(std::string name_, std::set<std::uint32_t> requiredTypes_)
    : EngineSystem(estSystemBase), name(std::move(name_)), requiredTypes(std::move(requiredTypes_)),
      requiredMask(requiredTypes)
{
}
