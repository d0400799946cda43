#pragma once
#include "Component.h"
#include "Metadata.h"

#include <cstdint>
#include <map>
#include <string>

// The named numbers of one object: tuning values the levels set and small pieces of live state that
// commands and scripts share. Every value is a float found by its name; there is no schema.
class GameStats : public Component
{
  public:
    static constexpr const char* kClassName = "GameStats";
    static constexpr std::uint32_t kVersion = 1;
    // std::string compares bytes as unsigned, so the map (and the saved order) is byte-wise.
    using StatMap = std::map<std::string, float>;

    // An empty map; the first one stores the class prototype.
    GameStats();

    // The value of the name, inserting 0 first when it is missing. Never keep the reference across
    // frames: any insertion may come before it is used again, and the component may be destroyed.
    float& GetStat(const std::string& name);
    // Stores the value, inserting the name when it is missing.
    void SetStat(const std::string& name, const float& value);
    // Whether the name is present; inserts nothing.
    bool HasStat(const std::string& name) const;
    // Every name and value in byte-wise name order.
    const StatMap& GetStats() const { return stats; }

    std::unique_ptr<Component> Clone() const override;
    // Reads the "GameStats" element; on any fault throws LevelFormatError and keeps the map unchanged.
    std::unique_ptr<Component> Load(LevelIArchive& archive) override;
    // Writes the map as one "GameStats" element in the archive's own map form.
    void Save(LevelOArchive& archive) const override;
    // Draws the descriptor list, whose one field draws nothing.
    void DrawEditor() override;
    std::uint32_t GetVersion() const override { return kVersion; }

    // "UNUSED": a float with neither save nor edit flag and no accessors, so nothing ever touches it.
    static const DescriptorList<GameStats>& Descriptors();

  private:
    GameStats(const GameStats&) = default;

    StatMap stats;
};
