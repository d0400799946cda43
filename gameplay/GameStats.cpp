#include "GameStats.h"

#include "LevelIArchive.h"
#include "Prototypes.h"
#include "TypeIds.h"

#include <boost/archive/xml_oarchive.hpp>
#include <boost/serialization/map.hpp>
#include <boost/serialization/string.hpp>
#include <boost/serialization/utility.hpp>

#include <cmath>
#include <iostream>

namespace
{
const char* const kStatsElement = "GameStats";
} // namespace

GameStats::GameStats() : Component(kClassName, ComponentTypeId::kGameStats)
{
    RegisterComponentPrototype(*this);
}

float& GameStats::GetStat(const std::string& name)
{
    return stats[name];
}

void GameStats::SetStat(const std::string& name, const float& value)
{
    stats[name] = value;
}

bool GameStats::HasStat(const std::string& name) const
{
    return stats.find(name) != stats.end();
}

std::unique_ptr<Component> GameStats::Clone() const
{
    return std::unique_ptr<Component>(new GameStats(*this));
}

std::unique_ptr<Component> GameStats::Load(LevelIArchive& archive)
{
    StatMap read;
    ReadBoundedCollection(archive, kStatsElement, read);
    stats.swap(read);
    return Clone();
}

void GameStats::Save(LevelOArchive& archive) const
{
    // The archive writes "nan" and "inf" but cannot read them back, so one such stat would make the
    // whole level unreadable.
    StatMap written = stats;
    for (auto& [name, value] : written)
    {
        if (std::isfinite(value))
            continue;
        std::cout << "WARNING: the non-finite stat \"" << name << "\" is saved as 0\n";
        value = 0.0f;
    }
    archive << boost::serialization::make_nvp(kStatsElement, written);
}

void GameStats::DrawEditor()
{
    DrawFieldEditors(Descriptors(), *this);
}

const DescriptorList<GameStats>& GameStats::Descriptors()
{
    static const DescriptorList<GameStats> descriptors = []
    {
        DescriptorList<GameStats> list;
        FieldOptions options;
        options.firstVersion = 1;
        options.save = false;
        options.edit = false;
        options.step = 1.0f;
        list.push_back(std::make_unique<Metafloat<GameStats>>("UNUSED", options, nullptr, nullptr));
        return list;
    }();
    return descriptors;
}
