#pragma once
#include "WinScreen.h"

// The second (blue) player's victory screen.
class WinScreenLevel2 : public WinScreen
{
  public:
    WinScreenLevel2() : WinScreen(GameStateIndex::WinScreenLevel2, "Victory_Blue") {}
};
