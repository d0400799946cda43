#include "BehaviorEditor.h"

#include "CCSMFactory.h"
#include "MetaHooks.h"

#include <imgui.h>

#include <vector>

namespace
{
const char* const kComboLabel = "Change Behavior";
} // namespace

bool EditBehaviorCombo(const std::string& label, std::string& behaviorName)
{
    (void)label;
    const std::vector<std::string> names =
        gCCSMFactory != nullptr ? gCCSMFactory->GetBehaviorNames() : std::vector<std::string>{};
    bool changed = false;
    if (ImGui::BeginCombo(kComboLabel, behaviorName.c_str()))
    {
        for (std::size_t index = 0; index < names.size(); ++index)
        {
            // Names may repeat, so each entry gets its own widget id.
            ImGui::PushID(static_cast<int>(index));
            const bool selected = names[index] == behaviorName;
            if (ImGui::Selectable(names[index].c_str(), selected))
            {
                behaviorName = names[index];
                changed = true;
            }
            if (selected)
                ImGui::SetItemDefaultFocus();
            ImGui::PopID();
        }
        ImGui::EndCombo();
    }
    return changed;
}

void InstallBehaviorEditorHook()
{
    MetaHooks::editBehavior = EditBehaviorCombo;
}
