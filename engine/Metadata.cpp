#include "Metadata.h"

namespace
{
std::uint32_t fieldIdCounter = 0;
}

std::uint32_t NextFieldId()
{
    return fieldIdCounter++;
}

bool IsVersionInRange(std::uint32_t version, std::uint32_t firstVersion, std::uint32_t lastVersion)
{
    if (version < firstVersion)
        return false;
    return lastVersion < firstVersion || version <= lastVersion;
}
