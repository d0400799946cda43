#pragma once
#include "Component.h"
#include "Metadata.h"
#include "TypeIds.h"

#include <memory>

// A component kept for level files that name it; it has no behaviour. Its one field is stored so that
// saving and editing it work like any other field.
class SoundCue : public Component
{
  public:
    static constexpr const char* kClassName = "SoundCue";
    static constexpr std::uint32_t kTypeId = ComponentTypeId::kSoundCue;
    static constexpr std::uint32_t kClassVersion = 1;

    // Registers the prototype.
    SoundCue();
    SoundCue(const SoundCue&) = default;

    std::unique_ptr<Component> Clone() const override;
    std::unique_ptr<Component> Load(LevelIArchive& archive) override;
    void Save(LevelOArchive& archive) const override;
    void DrawEditor() override;
    std::uint32_t GetVersion() const override { return kClassVersion; }

    float GetUnused() const { return unused; }
    void SetUnused(float value) { unused = value; }

    // The reflected fields: "UNUSED".
    static const DescriptorList<SoundCue>& Descriptors();

  private:
    float unused = 0.0f;
};
