#pragma once
#include <cstdint>

class HUDScript;

// The match HUD as the announcer and the music find it: the HUDScript of the first live manager object
// (tag 6) in id order. Held by the owner's id and resolved at each use, because a module load may replace
// the manager's HUD or the whole object while a script still looks for it.
class HudLink
{
  public:
    // The HUD, looked up again when the remembered owner no longer has one; null when there is none.
    HUDScript* Resolve();
    // Forgets the remembered owner.
    void Reset() { hudOwner = 0; }

  private:
    std::uint32_t hudOwner = 0;
};
