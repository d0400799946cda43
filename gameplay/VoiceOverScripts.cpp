#include "VoiceOverScripts.h"

#include "Event.h"
#include "HUDScript.h"
#include "QuietPrototype.h"
#include "SoundInstance.h"
#include "SoundSystem.h"
#include "TypeIds.h"

#include <array>

namespace
{
constexpr std::size_t kRoundsPlayed = 0;
constexpr std::size_t kOrangePoints = 1;
constexpr std::size_t kBluePoints = 3;
// The lead is called after the first three rounds only; the fourth ends the game.
constexpr std::uint32_t kLeadCallRounds = 3;

constexpr std::array<EventTypeId, 4> kListened = {evGoalScore, evRoundFinished, evRoundStart, evGameFinished};
constexpr std::array<const char*, 5> kRoundCalls = {"RoundOne", "RoundTwo", "RoundThree", "RoundFour",
                                                    "RoundFive"};
} // namespace

VoiceOverScripts::VoiceOverScripts(std::uint32_t ownerId)
    : Script(kScriptName, ScriptTypeId::kVoiceOverScripts, ownerId)
{
    RegisterQuietPrototype(*this);
}

VoiceOverScripts::VoiceOverScripts(const VoiceOverScripts& source) : Script(source)
{
    // Flag, counters, lead, HUD and pending line start afresh in every copy.
    firstGoal = false;
    counters = {};
    lead = kNobodyLeads;
    hud = HudLink();
    pendingLine = nullptr;
    lineDelay = -1.0f;
}

VoiceOverScripts::~VoiceOverScripts()
{
    Unsubscribe();
}

std::unique_ptr<Script> VoiceOverScripts::Clone() const
{
    std::unique_ptr<VoiceOverScripts> copy(new VoiceOverScripts(*this));
    copy->Subscribe();
    return copy;
}

void VoiceOverScripts::Init()
{
    Subscribe();
}

void VoiceOverScripts::Exit()
{
    Unsubscribe();
}

void VoiceOverScripts::Subscribe()
{
    for (EventTypeId type : kListened)
        Observer::Subscribe(type);
}

void VoiceOverScripts::Unsubscribe()
{
    for (EventTypeId type : kListened)
        Observer::Unsubscribe(type);
}

void VoiceOverScripts::CopyCounters(const HUDScript& source)
{
    counters = {source.GetRoundsPlayed(), source.GetP1PointScore(), source.GetP1RoundScore(),
                source.GetP2PointScore(), source.GetP2RoundScore()};
}

void VoiceOverScripts::OnNotify(Event* event)
{
    if (event == nullptr)
        return;
    HUDScript* match = hud.Resolve();
    if (match == nullptr)
        return;
    switch (event->EventType)
    {
    case evGoalScore:
        OnGoal(static_cast<GoalScoreEvent*>(event)->side);
        break;
    case evRoundFinished:
        CopyCounters(*match);
        CallLead();
        break;
    case evGameFinished:
        CopyCounters(*match);
        CallVerdict();
        break;
    case evRoundStart:
        CopyCounters(*match);
        CallRound();
        break;
    default:
        return;
    }
    // A line played above may have run code that replaced the HUD.
    if (HUDScript* after = hud.Resolve())
        CopyCounters(*after);
}

void VoiceOverScripts::OnGoal(float side)
{
    const char* line = nullptr;
    if (firstGoal)
    {
        // Time up (side 0) is no goal.
        if (side != 0.0f)
            line = "GoalQuotes";
    }
    else if (side == 1.0f)
        line = "FirstGoalOrange";
    else if (side == 2.0f)
        line = "FirstGoalBlue";
    if (line == nullptr)
        return;
    firstGoal = true;
    // A newer goal replaces the waiting line but keeps its running delay.
    pendingLine = SoundSystem::GetSoundInstance(line);
}

void VoiceOverScripts::CallLead()
{
    if (counters[kRoundsPlayed] >= kLeadCallRounds)
        return;
    const std::uint32_t orange = counters[kOrangePoints];
    const std::uint32_t blue = counters[kBluePoints];
    const char* line = "TiedPoints";
    if ((lead == kNobodyLeads || lead == kOrangeLeads) && blue > orange)
    {
        line = "BlueGainLead";
        lead = kBlueLeads;
    }
    else if ((lead == kNobodyLeads || lead == kBlueLeads) && orange > blue)
    {
        line = "OrangeGainLead";
        lead = kOrangeLeads;
    }
    else if (lead == kBlueLeads && blue > orange)
        line = "BlueHoldLead";
    else if (lead == kOrangeLeads && orange > blue)
        line = "OrangeHoldLead";
    else
        lead = kNobodyLeads;
    SoundSystem::PlaySound(line);
}

void VoiceOverScripts::CallVerdict()
{
    const std::uint32_t orange = counters[kOrangePoints];
    const std::uint32_t blue = counters[kBluePoints];
    const char* line = nullptr;
    if ((orange == 0) != (blue == 0))
        line = "Blowout";
    else if (blue < orange)
        line = "OrangeWin";
    else if (blue == orange)
        line = "Tiebreaker";
    else
        line = "BlueWin";
    SoundSystem::PlaySound(line);
}

void VoiceOverScripts::CallRound()
{
    const std::uint32_t round = counters[kRoundsPlayed];
    if (round < kRoundCalls.size())
        SoundSystem::PlaySound(kRoundCalls[round]);
}

void VoiceOverScripts::Update(float dt)
{
    if (pendingLine == nullptr)
        return;
    // One pass of the three steps, each on what the previous left, so the line plays in the update the
    // delay first passes one second.
    if (lineDelay < 0.0f)
        lineDelay = 0.0f;
    if (lineDelay >= 0.0f && lineDelay <= kLineDelay)
        lineDelay += dt;
    if (lineDelay > kLineDelay)
    {
        SoundInstance* line = pendingLine;
        pendingLine = nullptr;
        lineDelay = -1.0f;
        line->Play();
    }
}
