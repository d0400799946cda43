#pragma once
#include "WinScreen.h"

// The first (orange) player's victory screen.
class WinScreenLevel1 : public WinScreen
{
  public:
    WinScreenLevel1() : WinScreen(GameStateIndex::WinScreenLevel1, "Victory_Orange") {}
};
