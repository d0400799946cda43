#include "GameStateRequest.h"

namespace
{
std::int32_t requestedGameState = kFirstGameState;
std::int32_t currentGameState = -1;
} // namespace

void RequestGameState(std::int32_t index)
{
    requestedGameState = index;
}

std::int32_t GetRequestedGameState()
{
    return requestedGameState;
}

void SetCurrentGameState(std::int32_t index)
{
    currentGameState = index;
}

std::int32_t GetCurrentGameState()
{
    return currentGameState;
}

void ResetGameStateRequest()
{
    requestedGameState = kFirstGameState;
    currentGameState = -1;
}
