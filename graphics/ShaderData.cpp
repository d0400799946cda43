#include "ShaderData.h"

#include "RenderLine.h"

#include <algorithm>
#include <cstring>
#include <iostream>
#include <utility>

std::uint32_t AttributeSize(std::uint32_t type)
{
    switch (type)
    {
    case satVector2:
        return 8;
    case satInt:
    case satUInt:
    case satFloat:
        return 4;
    case satVector3:
        return 12;
    case satVector4:
        return 16;
    case satMatrix3:
        return 36;
    default:
        return 0;
    }
}

ShaderData::ShaderData(const ShaderData& other)
    : attributes(other.attributes), textureBindings(other.textureBindings), stride(other.stride),
      data(other.data), depth(other.depth), layoutStamp(other.layoutStamp)
{
}

ShaderData& ShaderData::operator=(const ShaderData& other)
{
    attributes = other.attributes;
    textureBindings = other.textureBindings;
    stride = other.stride;
    data = other.data;
    depth = other.depth;
    layoutStamp = other.layoutStamp;
    return *this;
}

ShaderData::ShaderData(ShaderData&& other) noexcept
    : attributes(std::move(other.attributes)), textureBindings(std::move(other.textureBindings)),
      stride(other.stride), data(std::move(other.data)), depth(other.depth), layoutStamp(other.layoutStamp)
{
    other.layoutStamp = 0;
    TakeSlots(other);
}

ShaderData& ShaderData::operator=(ShaderData&& other) noexcept
{
    if (this == &other)
        return *this;
    LeaveAllLines();
    attributes = std::move(other.attributes);
    textureBindings = std::move(other.textureBindings);
    stride = other.stride;
    data = std::move(other.data);
    depth = other.depth;
    layoutStamp = std::exchange(other.layoutStamp, 0);
    TakeSlots(other);
    return *this;
}

ShaderData::~ShaderData()
{
    LeaveAllLines();
}

void ShaderData::EnterSlot(RenderLine* line, std::uint32_t submission)
{
    if (firstSlot.line == nullptr)
    {
        firstSlot = {line, submission};
        return;
    }
    moreSlots.push_back({line, submission});
}

void ShaderData::LeaveLine(const RenderLine* line)
{
    if (firstSlot.line == line)
        firstSlot.line = nullptr;
    if (!moreSlots.empty())
        std::erase_if(moreSlots, [line](const BatchSlot& slot) { return slot.line == line; });
}

void ShaderData::LeaveAllLines()
{
    if (firstSlot.line != nullptr)
        firstSlot.line->Forget(firstSlot.submission, this);
    for (const BatchSlot& slot : moreSlots)
        slot.line->Forget(slot.submission, this);
    firstSlot = {};
    moreSlots.clear();
}

void ShaderData::TakeSlots(ShaderData& other)
{
    firstSlot = other.firstSlot;
    moreSlots = std::move(other.moreSlots);
    other.firstSlot = {};
    other.moreSlots.clear();
    if (firstSlot.line != nullptr)
        firstSlot.line->Repoint(firstSlot.submission, &other, this);
    for (const BatchSlot& slot : moreSlots)
        slot.line->Repoint(slot.submission, &other, this);
}

bool ShaderData::AppendAttribute(std::string_view name, std::uint32_t location, std::uint32_t type,
                                 Texture* defaultTexture)
{
    const std::uint32_t size = AttributeSize(type);
    if (size == 0)
    {
        std::cout << "ERROR: Unknown Shader Attribute: " << type << std::endl;
        return false;
    }
    attributes.push_back({std::string(name), location, stride, type});
    static std::uint64_t layoutsMade = 0;
    layoutStamp = ++layoutsMade;
    if (type == satUInt)
        textureBindings.push_back({location, stride, defaultTexture});
    stride += size;
    data.resize(stride, 0);
    return true;
}

const ShaderAttribute* ShaderData::FindAttribute(std::string_view name) const
{
    for (const ShaderAttribute& attribute : attributes)
        if (attribute.name == name)
            return &attribute;
    return nullptr;
}

ShaderInput ShaderData::FindInput(std::string_view name, std::uint32_t type) const
{
    ShaderInput input;
    const ShaderAttribute* attribute = FindAttribute(name);
    if (attribute == nullptr || attribute->type != type)
        return input;
    input.index = static_cast<std::uint32_t>(attribute - attributes.data());
    input.offset = static_cast<std::uint32_t>(attribute->dataOffset);
    input.type = type;
    input.layout = layoutStamp;
    for (std::size_t binding = 0; binding < textureBindings.size(); ++binding)
        if (textureBindings[binding].location == attribute->location)
        {
            input.binding = static_cast<std::uint32_t>(binding);
            break;
        }
    return input;
}

bool ShaderData::Holds(const ShaderInput& input, std::uint32_t type, std::uint32_t size) const
{
    // The same stamp means the same list of inputs, so the data's size is all left to check.
    if (input.layout != 0 && input.layout == layoutStamp)
        return input.type == type && static_cast<std::size_t>(input.offset) + size <= data.size();
    return input.type == type && input.index < attributes.size() &&
           attributes[input.index].dataOffset == input.offset &&
           static_cast<std::size_t>(input.offset) + size <= data.size();
}

bool ShaderData::SetMatrix3(const ShaderInput& input, const Matrix3& value)
{
    if (!Holds(input, satMatrix3, sizeof(value.m)))
        return false;
    std::memcpy(data.data() + input.offset, value.m, sizeof(value.m));
    return true;
}

bool ShaderData::SetVector4(const ShaderInput& input, const Vector4& value)
{
    const float bytes[4] = {value.x, value.y, value.z, value.w};
    if (!Holds(input, satVector4, sizeof(bytes)))
        return false;
    std::memcpy(data.data() + input.offset, bytes, sizeof(bytes));
    return true;
}

bool ShaderData::SetFloat(const ShaderInput& input, float value)
{
    if (!Holds(input, satFloat, sizeof(value)))
        return false;
    std::memcpy(data.data() + input.offset, &value, sizeof(value));
    return true;
}

bool ShaderData::SetInt(const ShaderInput& input, std::int32_t value)
{
    if (!Holds(input, satInt, sizeof(value)))
        return false;
    std::memcpy(data.data() + input.offset, &value, sizeof(value));
    return true;
}

bool ShaderData::SetUInt(const ShaderInput& input, Texture* texture)
{
    if (!Holds(input, satUInt, sizeof(std::uint32_t)) || input.binding >= textureBindings.size())
        return false;
    if (texture != nullptr)
        textureBindings[input.binding].texture = texture;
    return true;
}

Texture* ShaderData::GetUInt(const ShaderInput& input) const
{
    if (!Holds(input, satUInt, sizeof(std::uint32_t)) || input.binding >= textureBindings.size())
        return nullptr;
    return textureBindings[input.binding].texture;
}

namespace
{
void ReportMismatch(const char* typeWord, std::uint32_t actual)
{
    std::cout << "ERROR: Type of attribute does not match, should be " << typeWord << ", is: " << actual
              << std::endl;
}

// The bytes of the input's slot that lie inside the data: never past the slot or the end.
std::uint32_t SlotBytes(const ShaderAttribute& attribute, std::size_t dataSize)
{
    if (attribute.dataOffset >= dataSize)
        return 0;
    const std::size_t room = dataSize - static_cast<std::size_t>(attribute.dataOffset);
    return static_cast<std::uint32_t>(std::min<std::size_t>(AttributeSize(attribute.type), room));
}
} // namespace

void ShaderData::Write(std::string_view name, std::uint32_t type, const char* typeWord, const void* value,
                       std::uint32_t size)
{
    const ShaderAttribute* attribute = FindAttribute(name);
    if (attribute == nullptr)
        return;
    if (attribute->type != type)
        ReportMismatch(typeWord, attribute->type);
    // A mismatched value is still written, cut to the slot so it never spills into the next instance.
    const std::uint32_t bytes = std::min(size, SlotBytes(*attribute, data.size()));
    if (bytes > 0)
        std::memcpy(data.data() + attribute->dataOffset, value, bytes);
}

bool ShaderData::Read(std::string_view name, std::uint32_t type, const char* typeWord, void* value,
                      std::uint32_t size) const
{
    const ShaderAttribute* attribute = FindAttribute(name);
    if (attribute == nullptr)
        return false;
    if (attribute->type != type)
        ReportMismatch(typeWord, attribute->type);
    if (SlotBytes(*attribute, data.size()) < size)
        return false;
    std::memcpy(value, data.data() + attribute->dataOffset, size);
    return true;
}

void ShaderData::SetMatrix3(std::string_view name, const Matrix3& value)
{
    Write(name, satMatrix3, "Matrix3", value.m, sizeof(value.m));
}

void ShaderData::SetVector4(std::string_view name, const Vector4& value)
{
    const float bytes[4] = {value.x, value.y, value.z, value.w};
    Write(name, satVector4, "Vector4", bytes, sizeof(bytes));
}

void ShaderData::SetVector3(std::string_view name, const Vector3& value)
{
    const float bytes[3] = {value.x, value.y, value.z};
    Write(name, satVector3, "Vector3", bytes, sizeof(bytes));
}

void ShaderData::SetVector2(std::string_view name, const Vector2& value)
{
    const float bytes[2] = {value.x, value.y};
    Write(name, satVector2, "Vector2", bytes, sizeof(bytes));
}

void ShaderData::SetFloat(std::string_view name, float value)
{
    if (name == kDepthName)
    {
        depth = value;
        return;
    }
    Write(name, satFloat, "float", &value, sizeof(value));
}

void ShaderData::SetInt(std::string_view name, std::int32_t value)
{
    Write(name, satInt, "int", &value, sizeof(value));
}

void ShaderData::SetUInt(std::string_view name, Texture* texture)
{
    const ShaderAttribute* attribute = FindAttribute(name);
    if (attribute == nullptr || texture == nullptr)
        return;
    if (attribute->type != satUInt)
        ReportMismatch("unsigned int", attribute->type);
    for (TextureBinding& binding : textureBindings)
        if (binding.location == attribute->location)
        {
            binding.texture = texture;
            return;
        }
}

std::optional<Matrix3> ShaderData::GetMatrix3(std::string_view name) const
{
    Matrix3 value;
    if (!Read(name, satMatrix3, "matrix3", value.m, sizeof(value.m)))
        return std::nullopt;
    return value;
}

std::optional<Vector4> ShaderData::GetVector4(std::string_view name) const
{
    float bytes[4];
    if (!Read(name, satVector4, "vector4", bytes, sizeof(bytes)))
        return std::nullopt;
    return Vector4(bytes[0], bytes[1], bytes[2], bytes[3]);
}

std::optional<Vector3> ShaderData::GetVector3(std::string_view name) const
{
    float bytes[3];
    if (!Read(name, satVector3, "vector3", bytes, sizeof(bytes)))
        return std::nullopt;
    return Vector3(bytes[0], bytes[1], bytes[2]);
}

std::optional<Vector2> ShaderData::GetVector2(std::string_view name) const
{
    float bytes[2];
    if (!Read(name, satVector2, "vector2", bytes, sizeof(bytes)))
        return std::nullopt;
    return Vector2(bytes[0], bytes[1]);
}

float ShaderData::GetFloat(std::string_view name) const
{
    if (name == kDepthName)
        return depth;
    float value = 0.0f;
    if (!Read(name, satFloat, "float", &value, sizeof(value)))
        return 0.0f;
    return value;
}

std::int32_t ShaderData::GetInt(std::string_view name) const
{
    std::int32_t value = 0;
    if (!Read(name, satInt, "int", &value, sizeof(value)))
        return 0;
    return value;
}

Texture* ShaderData::GetUInt(std::string_view name) const
{
    const ShaderAttribute* attribute = FindAttribute(name);
    if (attribute == nullptr)
        return nullptr;
    if (attribute->type != satUInt)
        ReportMismatch("unsigned int", attribute->type);
    for (const TextureBinding& binding : textureBindings)
        if (binding.location == attribute->location)
            return binding.texture;
    return nullptr;
}
