#pragma once
// The field kinds whose values belong to subsystems above the engine call into them through these hooks.
// Each hook does nothing until the subsystem that provides it (graphics, input, behaviour) fills it at
// start-up. Editor hooks return true when the user changed the value.
#include "ArchiveFwd.h"

#include <cstdint>
#include <functional>
#include <string>

class BehaviorInput;
class Material;

struct MetaHooks
{
    // MetaMaterial: writes and reads the material block, and draws the material editor (graphics).
    static std::function<void(LevelOArchive&, const Material&)> saveMaterial;
    static std::function<void(LevelIArchive&, Material&)> loadMaterial;
    static std::function<bool(Material&)> editMaterial;

    // MetaTexture: the combo "Change Texture" over the registered textures; sets the chosen name (graphics).
    static std::function<bool(const std::string& label, std::string& textureName)> editTexture;

    // MetaInput: the editor of one action binding (input); fieldId keeps each editor's own state apart.
    static std::function<void(BehaviorInput&, std::uint32_t bindingIndex, const std::string& label,
                              std::uint32_t fieldId)>
        editInput;

    // MetaCCSM: the combo "Change Behavior" over the behaviour-set names; sets the chosen name (behaviour).
    static std::function<bool(const std::string& label, std::string& behaviorName)> editBehavior;

    // Detaches every hook.
    static void Reset();
};
