#pragma once
#include <array>
#include <cstdint>
#include <string_view>

// Engine-system type numbers; the engine's error line names a failing system by them.
enum SystemType : std::int32_t
{
    estGameStateManager = 0,
    estGameObjectFactory = 1,
    estGraphics = 2,
    estTextureManager = 3,
    estPhysics = 4,
    estAI = 5,
    estWindowProvider = 6,
    estSoundSystem = 7,
    estInputSystem = 8,
    estEditor = 9,
    estLogger = 10,
    estCCSMFactory = 11,
    estSystemBase = 12,
    estMenuSystem = 13,
};

inline constexpr std::array<std::string_view, 14> SystemTypeNames = {
    "estGameStateManager", "estGameObjectFactory", "estGraphics",     "estTextureManager", "estPhysics",
    "estAI",               "estWindowProvider",    "estSoundSystem",  "estInputSystem",    "estEditor",
    "estLogger",           "estCCSMFactory",       "estSystemBase",   "estMenuSystem",
};

// Behaviour state names, indexed by state id.
inline constexpr std::array<std::string_view, 8> StateNames = {
    "Null", "OnGround", "InAir", "Grabbed", "UnGrabbed", "EditorMode", "PlayMode", "MenuButtonMode",
};

// Behaviour command names, indexed by command id.
inline constexpr std::array<std::string_view, 21> CommandNames = {
    "Null",      "MoveLeft",  "MoveRight", "MoveUp",           "MoveDown",           "StopMoving",
    "Grab",      "Jump",      "Throw",     "MakeHeavy",        "MakeLight",          "Score",
    "RoundEnd",  "SelectMenuButton",       "DeSelectMenuButton", "PressMenuButton", "SlowTime",
    "Respawn",   "Unspawn",   "ResetPlayers", "LevelStart",
};

// The name of a system type, or "estUnknown" outside the table.
inline std::string_view SystemTypeName(std::int32_t type)
{
    if (type < 0 || type >= static_cast<std::int32_t>(SystemTypeNames.size()))
        return "estUnknown";
    return SystemTypeNames[static_cast<std::size_t>(type)];
}
