#include "DeformationScript.h"

#include "BehaviorIds.h"
#include "CCSM.h"
#include "GameObject.h"
#include "GameStats.h"
#include "LevelArchive.h"
#include "ObjectAccess.h"
#include "QuietPrototype.h"
#include "RigidBody.h"
#include "StatNames.h"
#include "StatUtilities.h"
#include "Transform.h"
#include "TypeIds.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr const char* kRestXField = "Original_X_Scale";
constexpr const char* kRestYField = "Original_Y_Scale";

// The stat's value, or the fallback after creating the stat with it.
float ReadOrCreate(GameStats& stats, const char* name, float createWith, float fallback)
{
    if (const auto value = TryGetStat(&stats, name))
        return *value;
    stats.SetStat(name, createWith);
    return fallback;
}

// A tuning value that only makes sense as a finite, non-negative number.
float NonNegative(float value)
{
    return std::isfinite(value) && value > 0.0f ? value : 0.0f;
}

bool UsableScale(float value)
{
    return std::isfinite(value) && value > 0.0f;
}
} // namespace

DeformationScript::DeformationScript(std::uint32_t ownerId)
    : Script(kScriptName, ScriptTypeId::kDeformationScript, ownerId)
{
    RegisterQuietPrototype(*this);
}

DeformationScript::DeformationScript(const DeformationScript& source)
    : Script(source), restX(source.restX), restY(source.restY)
{
}

std::unique_ptr<Script> DeformationScript::Clone() const
{
    return std::unique_ptr<Script>(new DeformationScript(*this));
}

void DeformationScript::Update(float dt)
{
    GameObject* object = Live(owner);
    CCSM* machine = MachineOf(object);
    const State* top = machine != nullptr ? machine->GetTopState() : nullptr;
    GameStats* stats = StatsOf(object);
    Transform* transform = TransformOf(object);
    RigidBody* body = GetRigidBody(object);
    if (top == nullptr || stats == nullptr || transform == nullptr || body == nullptr)
        return;

    const float deformLimit = NonNegative(ReadOrCreate(*stats, kStatDeformScaleMaxMin, 0.0f, 0.0f));
    const float deformRate = NonNegative(ReadOrCreate(*stats, kStatDeformRate, 0.0f, 0.0f));
    // Above 1 a reform overshoots further every frame until the scale is infinite.
    const float reformRate = std::min(NonNegative(ReadOrCreate(*stats, kStatReformRate, 0.0f, 0.0f)), 1.0f);
    const float statX = ReadOrCreate(*stats, kStatScaleX, kDefaultRestX, restX);
    const float statY = ReadOrCreate(*stats, kStatScaleY, kDefaultRestY, restY);
    if (!UsableScale(statX) || !UsableScale(statY))
        return;
    restX = statX;
    restY = statY;

    const Vector3 velocity = body->GetVelocity();
    // The mean of x and y, not the length: the game was tuned with it.
    const float motion = std::fabs((velocity.x + velocity.y) / 2.0f);
    const bool onGround = top->GetId() == kStateOnGround;
    Vector3 scale = transform->GetScale();

    if (squashing)
    {
        if (scale.x - restX < deformLimit && onGround && motion > deformRate)
        {
            scale = {scale.x + deformRate * dt, scale.y - deformRate * dt, scale.z};
            transform->SetScale(scale);
        }
        else
            squashing = false;
    }
    if (stretching)
    {
        if (onGround)
            stretching = false;
        else if (restX - scale.x >= deformLimit)
        {
            // Fully stretched: hold the shape until the landing.
        }
        else if (motion > deformRate)
        {
            scale = {scale.x - deformRate * dt, scale.y + deformRate * dt, scale.z};
            transform->SetScale(scale);
        }
        else
            stretching = false;
    }
    if (squashing || stretching)
        return;

    if (scale.x != restX)
    {
        const float widthFloor = std::floor(scale.x);
        const float restCeil = std::ceil(restX);
        Vector3 reformed{restX, restY, scale.z};
        float lift = 0.0f;
        if (widthFloor > restCeil + 0.01f)
        {
            reformed = {scale.x - (scale.x - restX) * reformRate, scale.y + (restY - scale.y) * reformRate,
                        scale.z};
            lift = -(restY - reformed.y) * reformRate / 10.0f;
        }
        else if (restCeil - 0.01f > widthFloor)
        {
            reformed = {scale.x + (restX - scale.x) * reformRate, scale.y - (scale.y - restY) * reformRate,
                        scale.z};
            lift = (restY - reformed.y) * reformRate / 10.0f;
        }
        // A step too small to change the width in float would stall just short of rest forever.
        if (reformed.x == scale.x)
        {
            reformed = {restX, restY, scale.z};
            lift = 0.0f;
        }
        transform->SetScale(reformed);
        if (lift != 0.0f)
        {
            Vector3 at = transform->GetTranslation();
            at.y += lift;
            transform->SetTranslation(at);
        }
    }
    else if (velocity.x != 0.0f || velocity.y != 0.0f || velocity.z != 0.0f)
    {
        if (onGround)
            squashing = true;
        else
            stretching = true;
    }
}

std::unique_ptr<Script> DeformationScript::Load(LevelIArchive& archive)
{
    float x = 0.0f;
    float y = 0.0f;
    ReadField(archive, kRestXField, x);
    ReadField(archive, kRestYField, y);
    restX = x;
    restY = y;
    return Clone();
}

void DeformationScript::Save(LevelOArchive& archive) const
{
    WriteField(archive, kRestXField, restX);
    WriteField(archive, kRestYField, restY);
}
