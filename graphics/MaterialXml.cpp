#include "MaterialXml.h"

#include "Graphics.h"
#include "Shader.h"
#include "Texture.h"
#include "TextureManager.h"

#include "LevelArchive.h"
#include "LevelIArchive.h"

#include <cstring>
#include <iostream>
#include <vector>

namespace
{
// A block larger than this cannot come from any shader of the game.
constexpr std::uint32_t kMaxDataSize = 4096;

void ReportUnknownType(std::uint32_t type)
{
    std::cout << "ERROR: Unknown type: " << type << std::endl;
}

// The number of float elements that carry a value of the type; 0 for inputs saved without a value.
int FloatComponents(std::uint32_t type)
{
    switch (type)
    {
    case satFloat:
        return 1;
    case satVector2:
        return 2;
    case satVector3:
        return 3;
    case satVector4:
        return 4;
    default:
        return 0;
    }
}

bool IsKnownType(std::uint32_t type)
{
    return AttributeSize(type) != 0;
}

// Whether the attribute's value lies wholly inside dataSize bytes. The offset comes from the file, so the
// sum offset + size could wrap: the offset is compared first and the size against what is left after it.
bool FitsInData(const ShaderAttribute& attribute, std::uint32_t dataSize)
{
    return attribute.dataOffset <= dataSize &&
           AttributeSize(attribute.type) <= dataSize - attribute.dataOffset;
}

struct FileBinding
{
    std::int32_t location;
    std::string textureName;
};

void CopyValue(const ShaderAttribute& attribute, const ShaderData& scratch,
               const std::vector<FileBinding>& bindings, ShaderData& target)
{
    const std::string& name = attribute.name;
    switch (attribute.type)
    {
    case satFloat:
        target.SetFloat(name, scratch.GetFloat(name));
        break;
    case satInt:
        target.SetInt(name, scratch.GetInt(name));
        break;
    case satVector2:
        target.SetVector2(name, scratch.GetVector2(name).value_or(Vector2()));
        break;
    case satVector3:
        target.SetVector3(name, scratch.GetVector3(name).value_or(Vector3()));
        break;
    case satVector4:
        target.SetVector4(name, scratch.GetVector4(name).value_or(Vector4()));
        break;
    case satMatrix3:
        target.SetMatrix3(name, scratch.GetMatrix3(name).value_or(Matrix3()));
        break;
    case satUInt:
        for (const FileBinding& binding : bindings)
            if (binding.location == static_cast<std::int32_t>(attribute.location))
            {
                target.SetUInt(name, &TextureManager::GetTexture(binding.textureName));
                break;
            }
        break;
    default:
        ReportUnknownType(attribute.type);
    }
}
} // namespace

void SaveMaterialBlock(LevelOArchive& archive, const Material& material)
{
    const MaterialRenderState& state = material.GetRenderState();
    WriteField(archive, "Name", material.name);
    WriteField(archive, "Order", material.GetOrder());
    WriteField(archive, "Shader_Name",
               material.shader != nullptr ? material.shader->GetName() : std::string());
    WriteField(archive, "Blend_Mode", state.blendMode);
    WriteField(archive, "Sort_Depth", state.sortByDepth);
    WriteField(archive, "Write_Depth", state.writeDepth);
    WriteField(archive, "Depth_Test", state.depthTest);

    const ShaderData& data = material.data;
    WriteField(archive, "ShaderData_Attribute_Count", static_cast<std::uint64_t>(data.attributes.size()));
    for (const ShaderAttribute& attribute : data.attributes)
    {
        WriteField(archive, "Attribute_Name", attribute.name);
        WriteField(archive, "Attribute_Location", static_cast<std::int32_t>(attribute.location));
        WriteField(archive, "Attribute_Data_Offset", attribute.dataOffset);
        WriteField(archive, "Attribute_Type", static_cast<std::int32_t>(attribute.type));
    }
    WriteField(archive, "ShaderData_Texture_Count", static_cast<std::uint64_t>(data.textureBindings.size()));
    for (const TextureBinding& binding : data.textureBindings)
    {
        WriteField(archive, "Texture_Location", static_cast<std::int32_t>(binding.location));
        WriteField(archive, "Texture_Name",
                   binding.texture != nullptr ? binding.texture->name : std::string());
    }
    WriteField(archive, "ShaderData_Data_Size", data.stride);
    for (const ShaderAttribute& attribute : data.attributes)
    {
        const int components = FloatComponents(attribute.type);
        if (attribute.type == satInt)
            WriteField(archive, attribute.name.c_str(), data.GetInt(attribute.name));
        else if (components > 0)
        {
            float values[4] = {};
            std::memcpy(values, data.data.data() + attribute.dataOffset, components * sizeof(float));
            for (int component = 0; component < components; ++component)
                WriteField(archive, attribute.name.c_str(), values[component]);
        }
        else if (!IsKnownType(attribute.type))
            ReportUnknownType(attribute.type);
    }
}

Material LoadMaterialBlock(LevelIArchive& archive)
{
    std::string name;
    std::int32_t order = 0;
    std::string shaderName;
    MaterialRenderState state;
    ReadField(archive, "Name", name);
    ReadField(archive, "Order", order);
    ReadField(archive, "Shader_Name", shaderName);
    ReadField(archive, "Blend_Mode", state.blendMode);
    ReadField(archive, "Sort_Depth", state.sortByDepth);
    ReadField(archive, "Write_Depth", state.writeDepth);
    ReadField(archive, "Depth_Test", state.depthTest);
    // The blend mode indexes the blend table; the depth test becomes a GL call.
    if (state.blendMode >= kBlendModes.size())
        archive.Fail("Blend_Mode", "not one of the five blend modes");
    if (!IsDepthFunction(state.depthTest))
        archive.Fail("Depth_Test", "not a GL depth function");
    if (gGraphics == nullptr)
        archive.Fail("Shader_Name", "no renderer to build the shader");
    Shader* shader = gGraphics->GetShader(shaderName);

    // The file's layout only describes the file; its counts never size memory.
    ShaderData scratch;
    const std::uint64_t attributeCount = ReadCount(archive, "ShaderData_Attribute_Count");
    for (std::uint64_t index = 0; index < attributeCount; ++index)
    {
        ShaderAttribute attribute;
        std::int32_t location = 0;
        std::int32_t type = 0;
        ReadField(archive, "Attribute_Name", attribute.name);
        ReadField(archive, "Attribute_Location", location);
        ReadField(archive, "Attribute_Data_Offset", attribute.dataOffset);
        ReadField(archive, "Attribute_Type", type);
        attribute.location = static_cast<std::uint32_t>(location);
        attribute.type = static_cast<std::uint32_t>(type);
        scratch.attributes.push_back(attribute);
    }
    std::vector<FileBinding> bindings;
    const std::uint64_t textureCount = ReadCount(archive, "ShaderData_Texture_Count");
    for (std::uint64_t index = 0; index < textureCount; ++index)
    {
        FileBinding binding;
        ReadField(archive, "Texture_Location", binding.location);
        ReadField(archive, "Texture_Name", binding.textureName);
        bindings.push_back(binding);
    }
    std::uint32_t dataSize = 0;
    ReadField(archive, "ShaderData_Data_Size", dataSize);
    if (dataSize > kMaxDataSize)
        archive.Fail("ShaderData_Data_Size", "larger than any shader's instance");
    for (const ShaderAttribute& attribute : scratch.attributes)
        if (IsKnownType(attribute.type) && !FitsInData(attribute, dataSize))
            archive.Fail("Attribute_Data_Offset", "attribute " + attribute.name + " lies outside the data");
    scratch.stride = dataSize;
    scratch.data.assign(dataSize, 0);

    for (const ShaderAttribute& attribute : scratch.attributes)
    {
        // Inputs of other types carry no value, and their offsets were never checked.
        if (!IsKnownType(attribute.type))
            continue;
        const int components = FloatComponents(attribute.type);
        std::uint8_t* at = scratch.data.data() + attribute.dataOffset;
        if (attribute.type == satInt)
        {
            std::int32_t value = 0;
            ReadField(archive, attribute.name.c_str(), value);
            std::memcpy(at, &value, sizeof(value));
        }
        else
            for (int component = 0; component < components; ++component)
            {
                float value = 0.0f;
                ReadField(archive, attribute.name.c_str(), value);
                std::memcpy(at + component * sizeof(float), &value, sizeof(value));
            }
    }

    Material material(name, shader, order, state);
    for (const ShaderAttribute& attribute : scratch.attributes)
    {
        if (!IsKnownType(attribute.type))
        {
            ReportUnknownType(attribute.type);
            continue;
        }
        const ShaderAttribute* match = material.data.FindAttribute(attribute.name);
        if (match != nullptr && match->type == attribute.type)
            CopyValue(attribute, scratch, bindings, material.data);
    }
    material.needsRegistration = true;
    return material;
}
