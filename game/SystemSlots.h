#pragma once
#include "Engine.h"

// The factory of every engine-system slot: the real system where it exists, else a placeholder.
SystemFactories MakeGameSystemFactories();
