#pragma once
#include <cstdint>
#include <optional>
#include <string>

class GameObject;
class GameStats;

// The object id a stat holds, or 0 (none) unless the value is finite, at least 1 and below 2^32.
// Ids are exact only up to 2^24, the largest integer a float holds exactly.
std::uint32_t IdFromStat(float value);

// The value of the name, or nothing when the stats or the name are missing; never inserts.
std::optional<float> TryGetStat(const GameStats* stats, const std::string& name);

// Stores the value only when the name is present; returns whether it did.
bool SetStatIfPresent(GameStats* stats, const std::string& name, float value);

// The object of the id when it exists and is not queued for destruction, else null.
GameObject* Live(std::uint32_t id);

// The GameStats of the object, or null.
GameStats* StatsOf(const GameObject* object);
