#pragma once
#include "ArchiveFwd.h"
#include "Material.h"
#include "Metadata.h"
#include "VersionedClass.h"

#include <functional>

class Shader;
struct Texture;

// The full-screen picture behind everything, owned by the graphics system. A slow day cycle can warm and
// darken it; level files carry its settings.
class BackgroundRenderer : public VersionedClass
{
  public:
    static constexpr const char* kMaterialName = "Background";
    static constexpr std::int32_t kOrder = -1; // drawn before every other layer
    static constexpr const char* kTimeOfDayInput = "timeOfDay";

    explicit BackgroundRenderer(Shader* shader);

    // Binds the picture.
    void SetTexture(Texture* texture);
    // Whether the day cycle drives the picture; switching it either way starts the picture at day.
    void SetUseTime(bool use);
    bool GetUseTime() const { return useTime; }
    // Replaces the whole material (shader, order, inputs, render state).
    void SetMaterial(const Material& newMaterial);
    const Material& GetMaterial() const { return material; }
    Material& GetMaterial() { return material; }

    // One frame: writes the day cycle's time of day when the level asks for it, and submits the picture.
    void Submit(float timeOfDay);

    // "Use_Time" and "Material".
    static const DescriptorList<BackgroundRenderer>& Descriptors();

  private:
    bool useTime = false;
    Material material;
};

// Element names of the background's block at the end of a level file.
inline constexpr const char* kBackgroundVersionElement = "Version_Number";
inline constexpr const char* kOldBackgroundElement = "BackGround";

// Writes "Version_Number" and the background's fields.
void SaveBackgroundBlock(LevelOArchive& archive, const BackgroundRenderer& background);
// Reads the block (versioned) or the old "BackGround" texture name without changing the background, and
// returns the call that installs what was read into the running graphics system's background.
std::function<void()> StageBackgroundBlock(LevelIArchive& archive, bool versioned);
// Lets level files save and load the running background (installed while the graphics system has one).
void InstallBackgroundLevelHooks();
void RemoveBackgroundLevelHooks();
