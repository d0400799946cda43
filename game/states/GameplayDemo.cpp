#include "GameplayDemo.h"

#include "Camera.h"
#include "Event.h"
#include "EventManager.h"
#include "InputRecording.h"
#include "MatchWorld.h"
#include "ScreenLevels.h"
#include "SoundSystem.h"

void GameplayDemo::Load()
{
    BuildMatchWorld();
}

void GameplayDemo::Init()
{
    const auto& cameras = CameraManager::GetCameras();
    if (!cameras.empty())
        cameras.front()->SetPosition(0.0f, 0.0f);

    // A missing level is skipped quietly; a broken one leaves the world as it stood, so the built arena
    // plays and the rest of the start still runs.
    LoadScreenLevel(*this, kLevelName);

    LevelStartEvent levelStart;
    EventManager::Dispatch(&levelStart);
    RoundStartEvent roundStart;
    EventManager::Dispatch(&roundStart);

    AddPreferencesFile(kReplayFileStem, GetReplayLogPath());
    SetRecordingPath(GetReplayLogPath());
    SetRecording(true);
}

void GameplayDemo::Exit()
{
    SetRecording(false);
    SoundSystem::StopSound(CurrentMusicName);
}

void GameplayDemo::Unload()
{
    LevelEndEvent levelEnd;
    EventManager::Dispatch(&levelEnd);
}
