#include "LevelHooks.h"

LevelHooks& GetLevelHooks()
{
    static LevelHooks hooks;
    return hooks;
}

void ResetLevelHooks()
{
    GetLevelHooks() = LevelHooks();
}
