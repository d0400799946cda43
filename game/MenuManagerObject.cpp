#include "MenuManagerObject.h"

#include "BehaviorSet.h"
#include "CCSM.h"
#include "CCSMFactory.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "TypeIds.h"

namespace
{
constexpr const char* kMenuManagerContext = "MenuManager";
constexpr const char* kMenuBehavior = "MenuBehavior";
} // namespace

GameObject* CreateMenuManagerObject()
{
    GameObject* object = gGameObjectFactory->CreateObject();
    CCSM machine;

    const CommandContext context{kMenuManagerContext, {}};
    const BehaviorSet behavior{
        kMenuBehavior,
        kStatePlayMode,
        {Behavior{kStatePlayMode, kMenuManagerContext}, Behavior{kStateEditorMode, kMenuManagerContext}}};
    if (gCCSMFactory != nullptr)
    {
        gCCSMFactory->AddBehaviorSet(behavior);
        gCCSMFactory->AddContext(context);
    }

    object->AddComponent(machine);
    if (CCSM* attached = object->GetComponentAs<CCSM>(ComponentTypeId::kCCSM))
        attached->SetBehavior(kMenuBehavior);
    return object;
}
