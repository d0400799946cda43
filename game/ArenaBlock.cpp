#include "ArenaBlock.h"

#include "BoxCollider.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "Renderer.h"
#include "RigidBody.h"
#include "Substance.h"
#include "TextureManager.h"
#include "Transform.h"
#include "TypeIds.h"

GameObject* CreateBlock(const Vector3& position, const Vector3& scale, const std::string& color)
{
    GameObject* block = gGameObjectFactory->CreateObject();
    block->tag = kTagPlatform;
    auto* transform = block->GetComponentAs<Transform>(ComponentTypeId::kTransform);
    transform->SetTranslation(position);
    transform->SetScale(scale);
    transform->MarkDirty();
    block->SetDirty(true);

    // Made for the block, so mass and inertia follow its scale (0 for a Static substance).
    RigidBody body(block->id, kStaticSubstance);
    body.SetStaticFriction(0.0f);
    body.SetDynamicFriction(0.0f);
    body.SetStatic(true);
    block->AddComponent(body);

    BoxCollider box(block->id);
    block->AddComponent(box);

    Renderer sprite;
    sprite.SetUInt("texture", &TextureManager::GetTexture(color));
    block->AddComponent(sprite);
    return block;
}
