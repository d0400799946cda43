#include "ScoringScript.h"

#include "Event.h"
#include "QuietPrototype.h"
#include "TypeIds.h"

ScoringScript::ScoringScript(std::uint32_t ownerId)
    : Script(kScriptName, ScriptTypeId::kScoringScript, ownerId)
{
    RegisterQuietPrototype(*this);
}

ScoringScript::~ScoringScript()
{
    Unsubscribe(evRoundFinished);
    Unsubscribe(evGoalScore);
}

std::unique_ptr<Script> ScoringScript::Clone() const
{
    std::unique_ptr<ScoringScript> copy(new ScoringScript(*this));
    copy->Init();
    return copy;
}

void ScoringScript::Init()
{
    Subscribe(evRoundFinished);
    Subscribe(evGoalScore);
    lastScoreOne = 0;
    lastScoreTwo = 0;
}

void ScoringScript::Exit()
{
    Unsubscribe(evRoundFinished);
    Unsubscribe(evGoalScore);
}

void ScoringScript::OnNotify(Event* event)
{
    if (event == nullptr || event->EventType != evRoundFinished)
        return;
    const auto* finished = static_cast<RoundFinishedEvent*>(event);
    lastScoreOne = finished->scoreOne;
    lastScoreTwo = finished->scoreTwo;
}
