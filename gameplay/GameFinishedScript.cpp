#include "GameFinishedScript.h"

#include "Event.h"
#include "FrameRateManager.h"
#include "GameStateRequest.h"
#include "InputRecording.h"
#include "MenuHooks.h"
#include "QuietPrototype.h"
#include "TypeIds.h"

namespace
{
constexpr std::int32_t kFirstPlayerVictory = 6;
constexpr std::int32_t kSecondPlayerVictory = 7;
} // namespace

GameFinishedScript::GameFinishedScript(std::uint32_t ownerId)
    : Script(kScriptName, ScriptTypeId::kGameFinishedScript, ownerId)
{
    RegisterQuietPrototype(*this);
}

GameFinishedScript::~GameFinishedScript()
{
    Unsubscribe(evGameFinished);
}

std::unique_ptr<Script> GameFinishedScript::Clone() const
{
    std::unique_ptr<GameFinishedScript> copy(new GameFinishedScript(*this));
    copy->Subscribe(evGameFinished);
    return copy;
}

void GameFinishedScript::Init()
{
    Subscribe(evGameFinished);
}

void GameFinishedScript::Exit()
{
    Unsubscribe(evGameFinished);
}

void GameFinishedScript::OnNotify(Event* event)
{
    if (event == nullptr || event->EventType != evGameFinished)
        return;
    const std::uint32_t winner = static_cast<GameFinishedEvent*>(event)->winner;
    if (winner != 1 && winner != 2)
        return;
    // A replay never owned the recording; switching off closes the file so it holds every line.
    if (!IsReplaying())
        SetRecording(false);
    RequestGameState(winner == 1 ? kFirstPlayerVictory : kSecondPlayerVictory);
    if (FrameRateManager::IsPaused())
        FrameRateManager::TogglePause();
    MenuHooks::CloseAllMenus();
}
