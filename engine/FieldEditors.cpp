#include "FieldEditors.h"

#include <imgui.h>

#include <array>
#include <cstring>

void PushFieldId(std::uint32_t fieldId)
{
    ImGui::PushID(static_cast<int>(fieldId));
}

void PopFieldId()
{
    ImGui::PopID();
}

bool EditBool(const char* label, bool& value)
{
    return ImGui::Checkbox(label, &value);
}

bool EditWholeNumber(const char* label, float& value, float step, float minimum, float maximum)
{
    return ImGui::DragFloat(label, &value, step, minimum, maximum, "%.0f");
}

bool EditFloat(const char* label, float& value, float step, float minimum, float maximum)
{
    return ImGui::DragFloat(label, &value, step, minimum, maximum, "%.3f");
}

bool EditVector2(const char* label, Vector2& value, float step, float minimum, float maximum)
{
    float components[2] = {value.x, value.y};
    if (!ImGui::DragFloat2(label, components, step, minimum, maximum))
        return false;
    value = {components[0], components[1]};
    return true;
}

bool EditVector3(const char* label, Vector3& value, float step, float minimum, float maximum)
{
    float components[3] = {value.x, value.y, value.z};
    if (!ImGui::DragFloat3(label, components, step, minimum, maximum))
        return false;
    value = {components[0], components[1], components[2]};
    return true;
}

bool EditColor(const char* label, Vector4& value)
{
    float components[4] = {value.x, value.y, value.z, value.w};
    if (!ImGui::ColorEdit4(label, components))
        return false;
    value = {components[0], components[1], components[2], components[3]};
    return true;
}

std::string TextEditStart(const std::string& value)
{
    // Only a string shorter than the buffer fits with its terminator.
    return value.size() < kTextEditBufferSize ? value : std::string();
}

bool EditText(const char* label, std::string& value)
{
    std::array<char, kTextEditBufferSize> buffer{};
    const std::string start = TextEditStart(value);
    std::memcpy(buffer.data(), start.data(), start.size());
    if (!ImGui::InputText(label, buffer.data(), buffer.size()))
        return false;
    value = buffer.data();
    return true;
}
