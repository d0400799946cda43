#include "TransitionScript.h"

#include "CCSM.h"
#include "Event.h"
#include "ObjectAccess.h"
#include "QuietPrototype.h"
#include "StatUtilities.h"
#include "TypeIds.h"

#include <array>

namespace
{
// Listened to in this order; only 9, 10 and 13 hand in commands.
constexpr std::array<std::uint32_t, 9> kHeardEvents = {evRoundFinished, evGoalScore,  evBallGrab,
                                                       evBallDrop,      evBallStolen, evUnused8,
                                                       evLevelStart,    evLevelEnd,   evGameFinished};
} // namespace

TransitionScript::TransitionScript(std::uint32_t ownerId)
    : Script(kScriptName, ScriptTypeId::kTransitionScript, ownerId)
{
    RegisterQuietPrototype(*this);
}

TransitionScript::TransitionScript(const TransitionScript& source) : Script(source), lastRoundWinner(0) {}

TransitionScript::~TransitionScript()
{
    UnsubscribeAll();
}

std::unique_ptr<Script> TransitionScript::Clone() const
{
    std::unique_ptr<TransitionScript> copy(new TransitionScript(*this));
    copy->SubscribeAll();
    return copy;
}

void TransitionScript::Init()
{
    SubscribeAll();
}

void TransitionScript::Exit()
{
    UnsubscribeAll();
}

void TransitionScript::SubscribeAll()
{
    for (const std::uint32_t type : kHeardEvents)
        Subscribe(type);
}

void TransitionScript::UnsubscribeAll()
{
    for (const std::uint32_t type : kHeardEvents)
        Unsubscribe(type);
}

void TransitionScript::OnNotify(Event* event)
{
    if (event == nullptr)
        return;
    CommandId command = kCommandNull;
    switch (event->EventType)
    {
    case evGoalScore:
    {
        const float side = static_cast<GoalScoreEvent*>(event)->side;
        // Time up (0) hands in nothing: the round end follows from the finished round.
        if (side == 1.0f || side == 2.0f)
            command = kCommandResetPlayers;
        break;
    }
    case evLevelStart:
        command = kCommandRespawn;
        break;
    case evRoundFinished:
        lastRoundWinner = static_cast<RoundFinishedEvent*>(event)->winner;
        command = kCommandRoundEnd;
        break;
    default:
        return;
    }
    if (command == kCommandNull)
        return;
    if (CCSM* machine = MachineOf(Live(owner)))
        machine->HandleCommand(command);
}
