#include "GameplayPrototypes.h"

#include "BallBounceScript.h"
#include "BallCollisionScript.h"
#include "BallSpeedScript.h"
#include "BehaviorEditor.h"
#include "BehaviorLevelHooks.h"
#include "CCSM.h"
#include "CCSMSystem.h"
#include "DeformationScript.h"
#include "DestructableScript.h"
#include "DraggingCollisionScript.h"
#include "EventTextScript.h"
#include "GameFinishedScript.h"
#include "GameStats.h"
#include "GoalCollisionScript.h"
#include "HUDScript.h"
#include "HazardCollisionScript.h"
#include "LandingScript.h"
#include "LevelBoundsScript.h"
#include "LevelMusicScript.h"
#include "MoveScript.h"
#include "PlayerScript.h"
#include "ScoringScript.h"
#include "TimerScript.h"
#include "TransitionScript.h"
#include "VoiceOverScripts.h"

void RegisterGameplayPrototypes()
{
    InstallCCSMSystem();
    InstallBehaviorEditorHook();
    InstallBehaviorLevelHooks();
    // Each first construction stores its class prototype.
    CCSM machine;
    GameStats stats;
    PlayerScript player;
    LandingScript landing;
    LevelBoundsScript bounds;
    BallCollisionScript ballCollision;
    BallBounceScript ballBounce;
    BallSpeedScript ballSpeed;
    TransitionScript transition;
    TimerScript timer;
    GameFinishedScript gameFinished;
    GoalCollisionScript goalCollision;
    ScoringScript scoring;
    HUDScript hud;
    EventTextScript eventText;
    DeformationScript deformation;
    DestructableScript destructable;
    DraggingCollisionScript dragging;
    HazardCollisionScript hazard;
    MoveScript move;
    VoiceOverScripts voiceOver;
    LevelMusicScript levelMusic;
}
