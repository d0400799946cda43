#include "StatUtilities.h"

#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStats.h"
#include "TypeIds.h"

#include <cmath>

std::uint32_t IdFromStat(float value)
{
    // Converting NaN or an out-of-range float to an integer is undefined, so only safe values convert.
    constexpr float kFirstOutOfRange = 4294967296.0f;
    if (!std::isfinite(value) || value < 1.0f || value >= kFirstOutOfRange)
        return 0;
    return static_cast<std::uint32_t>(value);
}

std::optional<float> TryGetStat(const GameStats* stats, const std::string& name)
{
    if (stats == nullptr)
        return std::nullopt;
    auto found = stats->GetStats().find(name);
    if (found == stats->GetStats().end())
        return std::nullopt;
    return found->second;
}

bool SetStatIfPresent(GameStats* stats, const std::string& name, float value)
{
    if (stats == nullptr || !stats->HasStat(name))
        return false;
    stats->SetStat(name, value);
    return true;
}

GameObject* Live(std::uint32_t id)
{
    if (gGameObjectFactory == nullptr)
        return nullptr;
    GameObject* object = gGameObjectFactory->GetObject(id);
    return object != nullptr && !object->IsQueuedForDestruction() ? object : nullptr;
}

GameStats* StatsOf(const GameObject* object)
{
    return object != nullptr ? object->GetComponentAs<GameStats>(ComponentTypeId::kGameStats) : nullptr;
}
