#pragma once
#include "NameTables.h"

#include <cstdint>

// Behaviour-machine state ids; level files store them, so the numbers never change.
using StateId = std::uint32_t;
// Behaviour-machine command ids; level files store them, so the numbers never change.
using CommandId = std::uint32_t;

inline constexpr StateId kStateNull = 0;
inline constexpr StateId kStateOnGround = 1;
inline constexpr StateId kStateInAir = 2;
inline constexpr StateId kStateGrabbed = 3;
inline constexpr StateId kStateUnGrabbed = 4;
inline constexpr StateId kStateEditorMode = 5;
inline constexpr StateId kStatePlayMode = 6;
inline constexpr StateId kStateMenuButtonMode = 7;
inline constexpr std::uint32_t kStateCount = 8;

inline constexpr CommandId kCommandNull = 0;
inline constexpr CommandId kCommandMoveLeft = 1;
inline constexpr CommandId kCommandMoveRight = 2;
inline constexpr CommandId kCommandMoveUp = 3;
inline constexpr CommandId kCommandMoveDown = 4;
inline constexpr CommandId kCommandStopMoving = 5;
inline constexpr CommandId kCommandGrab = 6;
inline constexpr CommandId kCommandJump = 7;
inline constexpr CommandId kCommandThrow = 8;
inline constexpr CommandId kCommandMakeHeavy = 9;
inline constexpr CommandId kCommandMakeLight = 10;
inline constexpr CommandId kCommandScore = 11;
inline constexpr CommandId kCommandRoundEnd = 12;
inline constexpr CommandId kCommandSelectMenuButton = 13;
inline constexpr CommandId kCommandDeSelectMenuButton = 14;
inline constexpr CommandId kCommandPressMenuButton = 15;
inline constexpr CommandId kCommandSlowTime = 16;
inline constexpr CommandId kCommandRespawn = 17;
inline constexpr CommandId kCommandUnspawn = 18;
inline constexpr CommandId kCommandResetPlayers = 19;
inline constexpr CommandId kCommandLevelStart = 20;
inline constexpr std::uint32_t kCommandCount = 21;

// What a queued command runs at the next update.
enum CommandStatus : std::uint32_t
{
    csFinished = 0,
    csExecute = 1,
    csUpdate = 2,
    csCancel = 3,
};

// The name of a state id, or "" outside the table.
constexpr std::string_view StateName(StateId id)
{
    return id < StateNames.size() ? StateNames[id] : std::string_view();
}

// The name of a command id, or "" outside the table.
constexpr std::string_view CommandName(CommandId id)
{
    return id < CommandNames.size() ? CommandNames[id] : std::string_view();
}

// The constants above and the shared name tables must never drift apart.
static_assert(StateNames.size() == kStateCount);
static_assert(StateName(kStateNull) == "Null" && StateName(kStateOnGround) == "OnGround");
static_assert(StateName(kStateInAir) == "InAir" && StateName(kStateGrabbed) == "Grabbed");
static_assert(StateName(kStateUnGrabbed) == "UnGrabbed" && StateName(kStateEditorMode) == "EditorMode");
static_assert(StateName(kStatePlayMode) == "PlayMode" && StateName(kStateMenuButtonMode) == "MenuButtonMode");
static_assert(CommandNames.size() == kCommandCount);
static_assert(CommandName(kCommandNull) == "Null" && CommandName(kCommandMoveLeft) == "MoveLeft");
static_assert(CommandName(kCommandMoveRight) == "MoveRight" && CommandName(kCommandMoveUp) == "MoveUp");
static_assert(CommandName(kCommandMoveDown) == "MoveDown" && CommandName(kCommandStopMoving) == "StopMoving");
static_assert(CommandName(kCommandGrab) == "Grab" && CommandName(kCommandJump) == "Jump");
static_assert(CommandName(kCommandThrow) == "Throw" && CommandName(kCommandMakeHeavy) == "MakeHeavy");
static_assert(CommandName(kCommandMakeLight) == "MakeLight" && CommandName(kCommandScore) == "Score");
static_assert(CommandName(kCommandRoundEnd) == "RoundEnd");
static_assert(CommandName(kCommandSelectMenuButton) == "SelectMenuButton");
static_assert(CommandName(kCommandDeSelectMenuButton) == "DeSelectMenuButton");
static_assert(CommandName(kCommandPressMenuButton) == "PressMenuButton");
static_assert(CommandName(kCommandSlowTime) == "SlowTime" && CommandName(kCommandRespawn) == "Respawn");
static_assert(CommandName(kCommandUnspawn) == "Unspawn" &&
              CommandName(kCommandResetPlayers) == "ResetPlayers");
static_assert(CommandName(kCommandLevelStart) == "LevelStart");
