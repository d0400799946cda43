#include "MaterialEditor.h"

#include "Material.h"
#include "TextureManager.h"

#include <imgui.h>

namespace
{
constexpr const char* kChangeTexture = "Change Texture";

// Lets the user pick a texture id from the combo list of every registered name.
bool PickTexture(const char* label, int& id)
{
    const std::string names = TextureManager::GetTextureNameList();
    return ImGui::Combo(label, &id, names.c_str());
}
} // namespace

bool EditMaterial(Material& material)
{
    bool changed = false;
    // Each change goes through the material's setters, which mark it to move to its new batch.
    float order = static_cast<float>(material.GetOrder());
    if (ImGui::DragFloat("Order", &order, 0.1f, 0.0f, 5000.0f, "%.0f"))
    {
        material.SetOrder(static_cast<std::int32_t>(order));
        changed = true;
    }
    const char* labels[kBlendModes.size()];
    for (std::size_t index = 0; index < kBlendModes.size(); ++index)
        labels[index] = kBlendModes[index].label;
    int blend = static_cast<int>(material.GetRenderState().blendMode);
    if (ImGui::Combo("Blend Modes", &blend, labels, static_cast<int>(kBlendModes.size())))
    {
        material.SetBlendMode(static_cast<std::uint32_t>(blend));
        changed = true;
    }
    bool sortByDepth = material.GetRenderState().sortByDepth;
    if (ImGui::Checkbox("Sort by depth", &sortByDepth))
    {
        material.SetSortByDepth(sortByDepth);
        changed = true;
    }
    bool writeDepth = material.GetRenderState().writeDepth;
    if (ImGui::Checkbox("Write to depth buffer", &writeDepth))
    {
        material.SetWriteDepth(writeDepth);
        changed = true;
    }
    Texture* current = material.data.GetUInt("texture");
    int id = current != nullptr ? static_cast<int>(current->id) : 0;
    if (PickTexture(kChangeTexture, id))
    {
        material.data.SetUInt("texture", &TextureManager::GetTextureById(static_cast<std::uint32_t>(id)));
        changed = true;
    }
    return changed;
}

bool EditTextureChoice(const std::string& label, std::string& textureName)
{
    (void)label;
    int id = static_cast<int>(TextureManager::GetTexture(textureName).id);
    if (!PickTexture(kChangeTexture, id))
        return false;
    textureName = TextureManager::GetTextureById(static_cast<std::uint32_t>(id)).name;
    return true;
}
