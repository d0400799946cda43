#pragma once
#include "System.h"

class CCSM;
class GameObject;

// Runs every behaviour machine once per update, in ascending object id order: the queued commands by
// status, then the top state. Objects queued for destruction or hidden from behaviours (flag bits 0
// and 2) are skipped.
class CCSMSystem : public System
{
  public:
    static constexpr const char* kClassName = "CCSMSystem";

    CCSMSystem();

    // Runs each machine with dt, scaled by its object's active TimeManipulator.
    void Update(float dt) override;
};

// Puts CCSMSystem in its slot when the slot still holds the placeholder; later calls change nothing.
void InstallCCSMSystem();

// Rebuilds every live machine from its own behaviour name without clearing it, after a level file
// replaced the behaviour tables; the same objects are skipped as in the update.
void RebuildAll();
