#include "BallSpeedScript.h"

#include "Event.h"
#include "GameObject.h"
#include "QuietPrototype.h"
#include "StatUtilities.h"
#include "TimeManipulator.h"
#include "TypeIds.h"

#include <algorithm>

BallSpeedScript::BallSpeedScript(std::uint32_t ownerId)
    : Script(kScriptName, ScriptTypeId::kBallSpeedScript, ownerId)
{
    RegisterQuietPrototype(*this);
}

BallSpeedScript::BallSpeedScript(const BallSpeedScript& source) : Script(source) {}

BallSpeedScript::~BallSpeedScript()
{
    Unsubscribe(evBallBounce);
}

std::unique_ptr<Script> BallSpeedScript::Clone() const
{
    std::unique_ptr<BallSpeedScript> copy(new BallSpeedScript(*this));
    copy->Subscribe(evBallBounce);
    return copy;
}

void BallSpeedScript::Init()
{
    Subscribe(evBallBounce);
}

void BallSpeedScript::Exit()
{
    Unsubscribe(evBallBounce);
}

void BallSpeedScript::OnNotify(Event* event)
{
    // Any ball's bounce speeds this ball up: every ball script hears every bounce.
    if (event == nullptr || event->EventType != evBallBounce)
        return;
    GameObject* object = Live(owner);
    if (object == nullptr)
        return;
    auto* timeScale = object->GetComponentAs<TimeManipulator>(ComponentTypeId::kTimeManipulator);
    if (timeScale == nullptr)
    {
        TimeManipulator fresh;
        object->AddComponent(fresh);
        timeScale = object->GetComponentAs<TimeManipulator>(ComponentTypeId::kTimeManipulator);
        if (timeScale == nullptr)
            return;
    }
    speed = std::min(speed + kStep, kMaxSpeed);
    timeScale->SetSpeed(speed);
    timeScale->SetPersistent(true);
}
