#include "UpdateCounter.h"

namespace
{
std::uint64_t engineUpdateCount = 0;
}

void AdvanceEngineUpdateCount()
{
    ++engineUpdateCount;
}

std::uint64_t GetEngineUpdateCount()
{
    return engineUpdateCount;
}

void ResetEngineUpdateCount()
{
    engineUpdateCount = 0;
}
