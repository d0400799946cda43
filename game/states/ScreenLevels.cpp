#include "ScreenLevels.h"

#include "GameState.h"

#include <cstdio>
#include <exception>

void LoadScreenLevel(GameState& state, const std::string& name)
{
    try
    {
        state.LoadLevel(name);
    }
    catch (const std::exception& error)
    {
        std::printf("ERROR: level %s failed to load: %s\n", name.c_str(), error.what());
    }
}
