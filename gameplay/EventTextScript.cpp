#include "EventTextScript.h"

#include "Event.h"
#include "FrameRateManager.h"
#include "GameObject.h"
#include "HUDScript.h"
#include "ObjectAccess.h"
#include "QuietPrototype.h"
#include "RigidBody.h"
#include "SoundInstance.h"
#include "SoundSystem.h"
#include "StatUtilities.h"
#include "TextRenderer.h"
#include "Transform.h"
#include "TypeIds.h"

#include <string>

namespace
{
constexpr const char* kTextTimerName = "Text";
constexpr float kTextDepth = 0.1f;

bool IsPlaying(const char* sound)
{
    const SoundInstance* instance = SoundSystem::GetSoundInstance(sound);
    return instance != nullptr && instance->FindPlayingChannel() != nullptr;
}

// The first "Text" countdown; a missing one counts as run out.
float TextTimeLeft()
{
    for (const CountdownTimer& timer : FrameRateManager::Timers())
        if (timer.name == kTextTimerName)
            return timer.value;
    return 0.0f;
}

void SetVelocity(GameObject* object, const Vector3& velocity)
{
    if (RigidBody* body = GetRigidBody(object))
        body->SetVelocity(velocity);
}

void SetText(GameObject* object, const std::string& text)
{
    auto* renderer =
        object != nullptr ? object->GetComponentAs<TextRenderer>(ComponentTypeId::kTextRenderer) : nullptr;
    if (renderer == nullptr)
        return;
    renderer->SetText(text);
    renderer->SetDepth(kTextDepth);
    renderer->SetOrder(HUDScript::kTextOrder);
}
} // namespace

EventTextScript::EventTextScript(std::uint32_t ownerId)
    : Script(kScriptName, ScriptTypeId::kEventTextScript, ownerId)
{
    RegisterQuietPrototype(*this);
}

EventTextScript::~EventTextScript()
{
    Unsubscribe(evRoundStart);
}

std::unique_ptr<Script> EventTextScript::Clone() const
{
    std::unique_ptr<EventTextScript> copy(new EventTextScript(*this));
    copy->roundNumber = 1;
    copy->Init();
    return copy;
}

void EventTextScript::Init()
{
    FrameRateManager::AddTimer(kTextTimerName, 3.0f);
    roundTextShown = false;
    Subscribe(evRoundStart);
}

void EventTextScript::Exit()
{
    Unsubscribe(evRoundStart);
}

void EventTextScript::OnNotify(Event* event)
{
    if (event == nullptr || event->EventType != evRoundStart)
        return;
    GameObject* object = Live(owner);
    if (object == nullptr)
        return;
    SetText(object, "Round " + std::to_string(roundNumber));
    ++roundNumber;
    if (Transform* transform = TransformOf(object))
        transform->SetTranslation({0.0f, 0.0f, 0.0f});
    SetVelocity(object, {0.0f, 0.0f, 0.0f});
    FrameRateManager::SetTimer(kTextTimerName, 1.0f);
    roundTextShown = true;
}

void EventTextScript::ShowText(const char* text, float x)
{
    GameObject* object = Live(owner);
    if (object == nullptr)
        return;
    SetText(object, text);
    if (Transform* transform = TransformOf(object))
        transform->SetTranslation({x, 0.0f, 0.0f});
    SetVelocity(object, {0.0f, 0.0f, 0.0f});
}

void EventTextScript::Update(float)
{
    if (IsPlaying("ReadyVO"))
        ShowText("Ready?", 22.0f);
    const bool goPlaying = IsPlaying("GoVO");
    if (goPlaying && Live(owner) != nullptr)
    {
        ShowText("Go!", 70.0f);
        goShown = true;
    }
    if (goShown && !goPlaying)
    {
        SetVelocity(Live(owner), {0.0f, 800.0f, 0.0f});
        goShown = false;
    }
    if (roundTextShown && TextTimeLeft() <= 0.0f)
    {
        SetVelocity(Live(owner), {0.0f, 400.0f, 0.0f});
        roundTextShown = false;
    }
}
