#pragma once

// Lets level files save and replace the behaviour factory's command contexts and behaviour sets.
void InstallBehaviorLevelHooks();
