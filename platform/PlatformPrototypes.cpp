#include "PlatformPrototypes.h"

#include "BehaviorInput.h"
#include "InputBindingEditor.h"
#include "MetaHooks.h"

void RegisterPlatformPrototypes()
{
    BehaviorInput behaviorInput;
    MetaHooks::editInput = DrawInputBindingEditor;
}
