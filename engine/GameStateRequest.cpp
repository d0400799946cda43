#include "GameStateRequest.h"

namespace
{
std::int32_t requestedGameState = kFirstGameState;
}

void RequestGameState(std::int32_t index)
{
    requestedGameState = index;
}

std::int32_t GetRequestedGameState()
{
    return requestedGameState;
}
