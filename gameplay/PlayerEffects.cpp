#include "PlayerEffects.h"

#include "DestructableScript.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "TypeIds.h"

void TogglePlayerEffects()
{
    if (gGameObjectFactory == nullptr)
        return;
    for (GameObject* player : gGameObjectFactory->GetObjectsWithTag(kTagPlayer))
        if (auto* effect = player->GetScriptAs<DestructableScript>(ScriptTypeId::kDestructableScript))
            effect->Toggle();
}
