#include "MoveScript.h"

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

#include <cmath>

namespace
{
constexpr const char* kPoint1XField = "Position_1_X";
constexpr const char* kPoint1YField = "Position_1_Y";
constexpr const char* kPoint2XField = "Position_2_X";
constexpr const char* kPoint2YField = "Position_2_Y";

// Takes the stat into the field when present; creates a missing stat as 0 and keeps the field.
void ReadWhenPresent(GameStats& stats, const char* name, float& field)
{
    if (const auto value = TryGetStat(&stats, name))
        field = *value;
    else
        stats.SetStat(name, 0.0f);
}

// The velocity toward the target at the speed; a zero-length direction stays unnormalised (velocity 0).
Vector3 Toward(float fromX, float fromY, float toX, float toY, float speed)
{
    const float dx = toX - fromX;
    const float dy = toY - fromY;
    const float length = std::sqrt(dx * dx + dy * dy);
    if (length == 0.0f)
        return {0.0f, 0.0f, 0.0f};
    return {dx / length * speed, dy / length * speed, 0.0f};
}

float Distance(float ax, float ay, float bx, float by)
{
    return std::sqrt((ax - bx) * (ax - bx) + (ay - by) * (ay - by));
}
} // namespace

MoveScript::MoveScript(std::uint32_t ownerId) : Script(kScriptName, ScriptTypeId::kMoveScript, ownerId)
{
    RegisterQuietPrototype(*this);
}

MoveScript::MoveScript(const MoveScript& source)
    : Script(source), point1X(source.point1X), point1Y(source.point1Y), point2X(source.point2X),
      point2Y(source.point2Y), heading(kTowardFirst)
{
}

std::unique_ptr<Script> MoveScript::Clone() const
{
    return std::unique_ptr<Script>(new MoveScript(*this));
}

void MoveScript::Update(float)
{
    GameObject* object = Live(owner);
    GameStats* stats = StatsOf(object);
    Transform* transform = TransformOf(object);
    RigidBody* body = GetRigidBody(object);
    if (stats == nullptr || transform == nullptr || body == nullptr)
        return;
    ReadWhenPresent(*stats, kStatPoint1X, point1X);
    ReadWhenPresent(*stats, kStatPoint1Y, point1Y);
    ReadWhenPresent(*stats, kStatPoint2X, point2X);
    ReadWhenPresent(*stats, kStatPoint2Y, point2Y);
    ReadWhenPresent(*stats, kStatMovementSpeed, speed);

    const Vector3 at = transform->GetTranslation();
    const bool usable = std::isfinite(point1X) && std::isfinite(point1Y) && std::isfinite(point2X) &&
                        std::isfinite(point2Y) && std::isfinite(speed) && std::isfinite(at.x) &&
                        std::isfinite(at.y);
    if (!usable)
    {
        body->SetVelocity({0.0f, 0.0f, 0.0f});
        return;
    }
    if (heading == kTowardFirst && Distance(point1X, point1Y, at.x, at.y) < arrivalRadius)
        heading = kTowardSecond;
    if (heading == kTowardSecond)
    {
        if (Distance(point2X, point2Y, at.x, at.y) < arrivalRadius)
            heading = kTowardFirst;
        else
        {
            body->SetVelocity(Toward(at.x, at.y, point2X, point2Y, speed));
            return;
        }
    }
    body->SetVelocity(Toward(at.x, at.y, point1X, point1Y, speed));
}

std::unique_ptr<Script> MoveScript::Load(LevelIArchive& archive)
{
    float x1 = 0.0f;
    float y1 = 0.0f;
    float x2 = 0.0f;
    float y2 = 0.0f;
    ReadField(archive, kPoint1XField, x1);
    ReadField(archive, kPoint1YField, y1);
    ReadField(archive, kPoint2XField, x2);
    ReadField(archive, kPoint2YField, y2);
    point1X = x1;
    point1Y = y1;
    point2X = x2;
    point2Y = y2;
    return Clone();
}

void MoveScript::Save(LevelOArchive& archive) const
{
    WriteField(archive, kPoint1XField, point1X);
    WriteField(archive, kPoint1YField, point1Y);
    WriteField(archive, kPoint2XField, point2X);
    WriteField(archive, kPoint2YField, point2Y);
}
