#pragma once
#include "EngineSystem.h"

// Holds a creation slot whose real system is not part of the build yet: it only carries its type.
class PlaceholderSystem : public EngineSystem
{
public:
    explicit PlaceholderSystem(SystemType type) : EngineSystem(type) {}
};
