#include "HudLink.h"

#include "GameObject.h"
#include "GameObjectFactory.h"
#include "HUDScript.h"
#include "StatUtilities.h"
#include "TypeIds.h"

namespace
{
HUDScript* HudOf(const GameObject* object)
{
    return object != nullptr ? object->GetScriptAs<HUDScript>(ScriptTypeId::kHUDScript) : nullptr;
}
} // namespace

HUDScript* HudLink::Resolve()
{
    if (HUDScript* hud = HudOf(Live(hudOwner)))
        return hud;
    hudOwner = 0;
    if (gGameObjectFactory == nullptr)
        return nullptr;
    const std::vector<GameObject*> managers = gGameObjectFactory->GetObjectsWithTag(kTagMatchManager);
    if (managers.empty())
        return nullptr;
    // Only the first manager counts: one without a HUD means there is none.
    HUDScript* hud = HudOf(managers.front());
    if (hud != nullptr)
        hudOwner = managers.front()->id;
    return hud;
}
