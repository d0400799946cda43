#include "MaterialXml.h"

#include "Graphics.h"
#include "Shader.h"
#include "Texture.h"
#include "TextureManager.h"

#include <boost/archive/xml_iarchive.hpp>
#include <boost/archive/xml_oarchive.hpp>
#include <boost/serialization/nvp.hpp>
#include <boost/serialization/string.hpp>

#include <cstring>
#include <iostream>
#include <vector>

namespace
{
// A block larger than this cannot come from any shader of the game.
constexpr std::uint32_t kMaxDataSize = 4096;

using boost::serialization::make_nvp;

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

void SaveMaterialBlock(boost::archive::xml_oarchive& archive, const Material& material)
{
    std::string name = material.name;
    std::int32_t order = material.order;
    std::string shaderName = material.shader != nullptr ? material.shader->GetName() : std::string();
    std::uint32_t blendMode = material.renderState.blendMode;
    bool sortDepth = material.renderState.sortByDepth;
    bool writeDepth = material.renderState.writeDepth;
    std::uint32_t depthTest = material.renderState.depthTest;
    archive << make_nvp("Name", name) << make_nvp("Order", order) << make_nvp("Shader_Name", shaderName)
            << make_nvp("Blend_Mode", blendMode) << make_nvp("Sort_Depth", sortDepth)
            << make_nvp("Write_Depth", writeDepth) << make_nvp("Depth_Test", depthTest);

    const ShaderData& data = material.data;
    std::uint64_t attributeCount = data.attributes.size();
    archive << make_nvp("ShaderData_Attribute_Count", attributeCount);
    for (const ShaderAttribute& attribute : data.attributes)
    {
        std::string attributeName = attribute.name;
        std::int32_t location = static_cast<std::int32_t>(attribute.location);
        std::uint64_t offset = attribute.dataOffset;
        std::int32_t type = static_cast<std::int32_t>(attribute.type);
        archive << make_nvp("Attribute_Name", attributeName) << make_nvp("Attribute_Location", location)
                << make_nvp("Attribute_Data_Offset", offset) << make_nvp("Attribute_Type", type);
    }
    std::uint64_t textureCount = data.textureBindings.size();
    archive << make_nvp("ShaderData_Texture_Count", textureCount);
    for (const TextureBinding& binding : data.textureBindings)
    {
        std::int32_t location = static_cast<std::int32_t>(binding.location);
        std::string textureName = binding.texture != nullptr ? binding.texture->name : std::string();
        archive << make_nvp("Texture_Location", location) << make_nvp("Texture_Name", textureName);
    }
    std::uint32_t dataSize = data.stride;
    archive << make_nvp("ShaderData_Data_Size", dataSize);
    for (const ShaderAttribute& attribute : data.attributes)
    {
        const int components = FloatComponents(attribute.type);
        if (attribute.type == satInt)
        {
            std::int32_t value = data.GetInt(attribute.name);
            archive << make_nvp(attribute.name.c_str(), value);
        }
        else if (components > 0)
        {
            float values[4] = {};
            std::memcpy(values, data.data.data() + attribute.dataOffset, components * sizeof(float));
            for (int component = 0; component < components; ++component)
                archive << make_nvp(attribute.name.c_str(), values[component]);
        }
        else if (!IsKnownType(attribute.type))
            ReportUnknownType(attribute.type);
    }
}

Material LoadMaterialBlock(boost::archive::xml_iarchive& archive)
{
    std::string name;
    std::int32_t order = 0;
    std::string shaderName;
    MaterialRenderState state;
    archive >> make_nvp("Name", name) >> make_nvp("Order", order) >> make_nvp("Shader_Name", shaderName) >>
        make_nvp("Blend_Mode", state.blendMode) >> make_nvp("Sort_Depth", state.sortByDepth) >>
        make_nvp("Write_Depth", state.writeDepth) >> make_nvp("Depth_Test", state.depthTest);
    // The blend mode indexes the blend table; the depth test becomes a GL call.
    if (state.blendMode >= kBlendModes.size())
        throw MaterialFormatError("material blend mode out of range");
    if (!IsDepthFunction(state.depthTest))
        throw MaterialFormatError("material depth test is not a depth function");
    if (gGraphics == nullptr)
        throw MaterialFormatError("no renderer to resolve the material's shader");
    Shader* shader = gGraphics->GetShader(shaderName);

    // The file's layout only describes the file: the counts are never trusted for memory.
    ShaderData scratch;
    std::uint64_t attributeCount = 0;
    archive >> make_nvp("ShaderData_Attribute_Count", attributeCount);
    for (std::uint64_t index = 0; index < attributeCount; ++index)
    {
        ShaderAttribute attribute;
        std::int32_t location = 0;
        std::int32_t type = 0;
        archive >> make_nvp("Attribute_Name", attribute.name) >> make_nvp("Attribute_Location", location) >>
            make_nvp("Attribute_Data_Offset", attribute.dataOffset) >> make_nvp("Attribute_Type", type);
        attribute.location = static_cast<std::uint32_t>(location);
        attribute.type = static_cast<std::uint32_t>(type);
        scratch.attributes.push_back(attribute);
    }
    std::vector<FileBinding> bindings;
    std::uint64_t textureCount = 0;
    archive >> make_nvp("ShaderData_Texture_Count", textureCount);
    for (std::uint64_t index = 0; index < textureCount; ++index)
    {
        FileBinding binding;
        archive >> make_nvp("Texture_Location", binding.location) >>
            make_nvp("Texture_Name", binding.textureName);
        bindings.push_back(binding);
    }
    std::uint32_t dataSize = 0;
    archive >> make_nvp("ShaderData_Data_Size", dataSize);
    if (dataSize > kMaxDataSize)
        throw MaterialFormatError("material data size too large");
    for (const ShaderAttribute& attribute : scratch.attributes)
        if (IsKnownType(attribute.type) && attribute.dataOffset + AttributeSize(attribute.type) > dataSize)
            throw MaterialFormatError("material attribute lies outside its data");
    scratch.stride = dataSize;
    scratch.data.assign(dataSize, 0);

    for (const ShaderAttribute& attribute : scratch.attributes)
    {
        const int components = FloatComponents(attribute.type);
        std::uint8_t* at = scratch.data.data() + attribute.dataOffset;
        if (attribute.type == satInt)
        {
            std::int32_t value = 0;
            archive >> make_nvp(attribute.name.c_str(), value);
            std::memcpy(at, &value, sizeof(value));
        }
        else
            for (int component = 0; component < components; ++component)
            {
                float value = 0.0f;
                archive >> make_nvp(attribute.name.c_str(), value);
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
