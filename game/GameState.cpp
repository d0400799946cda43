#include "GameState.h"

#include "LevelFile.h"

void GameState::LoadLevel(std::string name)
{
    LoadLevelWithFallback(name);
}

void GameState::SaveLevel(std::string name)
{
    ::SaveLevel(name);
}
