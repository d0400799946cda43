#include "WindowAccess.h"

namespace
{
WindowAccess gWindowAccess;
}

WindowAccess& GetWindowAccess()
{
    return gWindowAccess;
}

void ResetWindowAccess()
{
    gWindowAccess = WindowAccess{};
}
