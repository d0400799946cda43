#include "LevelMusicScript.h"

#include "Event.h"
#include "HUDScript.h"
#include "LevelArchive.h"
#include "QuietPrototype.h"
#include "Random.h"
#include "SoundInstance.h"
#include "SoundSystem.h"
#include "TypeIds.h"

#include <algorithm>
#include <string>

namespace
{
constexpr const char* kNextIncField = "NextInc";
constexpr const char* kTrackPrefix = "LevelMusic";
// The track whose intensity eases before any level start has chosen one.
constexpr const char* kDefaultTrack = "LevelMusic2";
constexpr std::uint32_t kTrackCount = 3;

constexpr std::array<EventTypeId, 3> kListened = {evRoundFinished, evLevelStart, evLevelEnd};
} // namespace

LevelMusicScript::LevelMusicScript(std::uint32_t ownerId)
    : Script(kScriptName, ScriptTypeId::kLevelMusicScript, ownerId)
{
    RegisterQuietPrototype(*this);
}

LevelMusicScript::LevelMusicScript(const LevelMusicScript& source)
    : Script(source), targetIndex(source.targetIndex)
{
}

LevelMusicScript::~LevelMusicScript()
{
    Unsubscribe();
}

std::unique_ptr<Script> LevelMusicScript::Clone() const
{
    std::unique_ptr<LevelMusicScript> copy(new LevelMusicScript(*this));
    copy->Subscribe();
    return copy;
}

void LevelMusicScript::Init()
{
    Subscribe();
}

void LevelMusicScript::Exit()
{
    Unsubscribe();
}

void LevelMusicScript::Subscribe()
{
    for (EventTypeId type : kListened)
        Observer::Subscribe(type);
}

void LevelMusicScript::Unsubscribe()
{
    for (EventTypeId type : kListened)
        Observer::Unsubscribe(type);
}

void LevelMusicScript::SetTargetIndex(std::uint32_t index)
{
    targetIndex = std::min(index, kLastTarget);
}

void LevelMusicScript::OnNotify(Event* event)
{
    if (event == nullptr)
        return;
    HUDScript* match = hud.Resolve();
    switch (event->EventType)
    {
    case evLevelStart:
        StartTrack();
        break;
    case evLevelEnd:
        SoundSystem::StopSound(CurrentMusicName);
        break;
    case evRoundFinished:
        // The HUD counts the round after this event, so this is the number of rounds finished.
        if (match != nullptr)
            SetTargetIndex(match->GetRoundsPlayed() + 1);
        break;
    default:
        break;
    }
}

void LevelMusicScript::StartTrack()
{
    // A second start without an end in between would leave the first track playing with nothing to stop it.
    if (!CurrentMusicName.empty())
        SoundSystem::StopSound(CurrentMusicName);
    CurrentMusicName = kTrackPrefix + std::to_string(RandomInt(1, kTrackCount));
    music = SoundSystem::GetSoundInstance(CurrentMusicName);
    SoundSystem::PlaySound(CurrentMusicName);
}

void LevelMusicScript::Update(float)
{
    const float rate = targetIndex != 0 ? kEaseRate : kEaseRateAtFirstTarget;
    if (music == nullptr)
        music = SoundSystem::GetSoundInstance(kDefaultTrack);
    if (music == nullptr)
        return;
    // The instance keeps the value as set, unclamped, and outlives this script: the next match eases on
    // from where this one left it.
    music->SetParameter((1.0f - rate) * music->parameterValue + rate * kTargets[targetIndex]);
}

std::unique_ptr<Script> LevelMusicScript::Load(LevelIArchive& archive)
{
    std::uint32_t index = 0;
    ReadField(archive, kNextIncField, index);
    SetTargetIndex(index);
    return Clone();
}

void LevelMusicScript::Save(LevelOArchive& archive) const
{
    WriteField(archive, kNextIncField, targetIndex);
}
