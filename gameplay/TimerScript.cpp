#include "TimerScript.h"

#include "Event.h"
#include "FrameRateManager.h"
#include "GameObject.h"
#include "GameStats.h"
#include "LevelArchive.h"
#include "ObjectAccess.h"
#include "QuietPrototype.h"
#include "SoundSystem.h"
#include "StatNames.h"
#include "StatUtilities.h"
#include "Transform.h"
#include "TypeIds.h"

#include <array>
#include <cmath>
#include <iostream>

namespace
{
constexpr const char* kLevelTimerName = "LevelTimer";
constexpr const char* kResetStat = "reset";

enum CueLatch
{
    kCue30,
    kCue10,
    kCue5,
    kCue4,
    kCue3,
    kCue2,
    kCue1,
    kCueCount
};

// Shared by every timer, so a cue plays once per pass through its band whichever timer sees it.
std::array<bool, kCueCount> cuePlayed{};

struct CueRow
{
    float low;
    float high;
    const char* sound;
    CueLatch sets;
    std::initializer_list<CueLatch> clears;
};

// The 1 s cue clears every other latch, so the next round can play them all again.
const std::array<CueRow, kCueCount> kCueRows = {{
    {29.9f, 30.1f, "ThirtySec", kCue30, {kCue10}},
    {9.9f, 10.1f, "TenSec", kCue10, {kCue30}},
    {4.9f, 5.1f, "CountdownFive", kCue5, {kCue1, kCue2, kCue3, kCue4}},
    {3.9f, 4.1f, "CountdownFour", kCue4, {kCue3}},
    {2.9f, 3.1f, "CountdownThree", kCue3, {kCue2}},
    {1.9f, 2.1f, "CountdownTwo", kCue2, {kCue1}},
    {0.9f, 1.1f, "CountdownOne", kCue1, {kCue5, kCue4, kCue3, kCue2, kCue30, kCue10}},
}};

void SendTimeUp()
{
    GoalScoreEvent timeUp(0.0f);
    Send(timeUp);
}
} // namespace

void ResetCountdownCues()
{
    cuePlayed.fill(false);
}

TimerScript::TimerScript(std::uint32_t ownerId, float startSeconds)
    : Script(kScriptName, ScriptTypeId::kTimerScript, ownerId), startTime(startSeconds)
{
    RegisterQuietPrototype(*this);
}

TimerScript::TimerScript(const TimerScript& source) : Script(source), startTime(source.startTime) {}

std::unique_ptr<Script> TimerScript::Clone() const
{
    std::unique_ptr<TimerScript> copy(new TimerScript(*this));
    copy->Init();
    return copy;
}

void TimerScript::Init()
{
    countdownIndex = FrameRateManager::AddTimer(kLevelTimerName, startTime);
}

void TimerScript::RestartClock()
{
    timeLeft = startTime;
    FrameRateManager::SetTimerValue(countdownIndex, startTime);
}

void TimerScript::ReadRoundLength(GameStats& stats)
{
    if (!stats.HasStat(kStatTimer))
    {
        stats.SetStat(kStatTimer, startTime);
        return;
    }
    const float seconds = stats.GetStat(kStatTimer);
    // Zero would end a round every frame; a bad value keeps the last good length.
    if (std::isfinite(seconds) && seconds > 0.0f)
        startTime = seconds;
    else if (!warnedBadLength)
    {
        warnedBadLength = true;
        std::cout << "WARNING: the round length \"" << kStatTimer
                  << "\" must be a positive number of seconds; "
                  << "keeping " << startTime << "." << std::endl;
    }
}

void TimerScript::Update(float)
{
    GameObject* object = Live(owner);
    GameStats* stats = StatsOf(object);
    Transform* transform = TransformOf(object);
    if (stats == nullptr || transform == nullptr)
        return;
    ReadRoundLength(*stats);
    if (stats->HasStat(kResetStat))
        resetValue = stats->GetStat(kResetStat);
    else
        stats->SetStat(kResetStat, 0.0f);

    const float clock = FrameRateManager::GetTimerValue(countdownIndex);
    if (clock == 0.0f)
    {
        RestartClock();
        SendTimeUp();
    }
    else
    {
        timeLeft = clock;
        transform->MarkDirty();
        if (timeLeft <= 0.0f)
        {
            timeLeft = startTime;
            SendTimeUp();
        }
        PlayCountdownCue();
    }

    if (resetValue > 0.0f)
    {
        if (GameStats* still = StatsOf(Live(owner)))
            still->SetStat(kResetStat, 0.0f);
        FrameRateManager::SetTimerValue(countdownIndex, startTime);
    }
    else if (resetValue < 0.0f)
    {
        FrameRateManager::SetTimerValue(countdownIndex, startTime);
    }
}

void TimerScript::PlayCountdownCue() const
{
    for (const CueRow& row : kCueRows)
    {
        if (timeLeft > row.low && timeLeft < row.high && !cuePlayed[row.sets])
        {
            SoundSystem::PlaySound(row.sound);
            cuePlayed[row.sets] = true;
            for (const CueLatch cleared : row.clears)
                cuePlayed[cleared] = false;
            return;
        }
    }
}

std::unique_ptr<Script> TimerScript::Load(LevelIArchive& archive)
{
    ReadField(archive, "time", startTime);
    float ignoredScale = 0.0f;
    ReadField(archive, "Scale_X", ignoredScale);
    return Clone();
}

void TimerScript::Save(LevelOArchive& archive) const
{
    WriteField(archive, "time", startTime);
    WriteField(archive, "Scale_X", startTime);
}
