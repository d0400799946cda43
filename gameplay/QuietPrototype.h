#pragma once
#include "Prototypes.h"

// Stores the script's class prototype and makes it deaf: a prototype is copied from, never played, yet
// the copy that listening scripts make of themselves subscribes.
inline void RegisterQuietPrototype(const Script& instance)
{
    RegisterScriptPrototype(instance);
    if (Script* prototype = FindScriptPrototype(instance.GetName()))
        prototype->Exit();
}
