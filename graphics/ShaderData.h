#pragma once
#include "Math.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class RenderLine;
struct Texture;

// The GL type numbers of the accepted per-instance inputs.
enum ShaderAttributeType : std::uint32_t
{
    satVector2 = 35664, // GL_FLOAT_VEC2
    satInt = 5124,      // GL_INT
    satUInt = 5125,     // GL_UNSIGNED_INT: a texture slot
    satFloat = 5126,    // GL_FLOAT
    satVector3 = 35665, // GL_FLOAT_VEC3
    satVector4 = 35666, // GL_FLOAT_VEC4
    satMatrix3 = 35675, // GL_FLOAT_MAT3
};

// Bytes of one value of an accepted type; 0 for any other type.
std::uint32_t AttributeSize(std::uint32_t type);

// One reflected per-instance input.
struct ShaderAttribute
{
    std::string name;
    std::uint32_t location = 0;
    std::uint64_t dataOffset = 0;
    std::uint32_t type = 0;
};

// The texture an unsigned-int input samples; its unit number is written into the bytes at draw time.
struct TextureBinding
{
    std::uint32_t location = 0;
    std::uint32_t dataOffset = 0;
    Texture* texture = nullptr;
};

// An input of a known type found once by name, so that per-frame writes skip the search. It stays good for
// every data of the same shader: they share one layout.
struct ShaderInput
{
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

    std::uint32_t index = kNone;   // in the attribute list
    std::uint32_t offset = 0;      // of the value in the bytes
    std::uint32_t type = 0;
    std::uint32_t binding = kNone; // a texture slot's binding, in the binding list
    std::uint64_t layout = 0;      // the layout it was found in (0: none)

    bool IsFound() const { return index != kNone; }
};

// One instance's named, typed inputs laid out as the bytes a batch uploads. Between a submission and the
// draw that follows, the batch points at the data; the data remembers those slots, so that destroying it
// first takes it out of the batch rather than leaving the draw a freed pointer.
class ShaderData
{
  public:
    static constexpr const char* kDepthName = "depth";
    static constexpr float kDefaultDepth = 0.5f;

    ShaderData() = default;
    // A copy is a new, unsubmitted instance: it waits in no batch.
    ShaderData(const ShaderData& other);
    // The target keeps its own pending draws, which draw whatever it holds by then.
    ShaderData& operator=(const ShaderData& other);
    // Pending draws follow the inputs to their new place; the source waits in no batch afterwards.
    ShaderData(ShaderData&& other) noexcept;
    // The target's own pending draws are dropped (their inputs are gone) and the source's become its own.
    ShaderData& operator=(ShaderData&& other) noexcept;
    // Leaves every batch still waiting to draw it.
    ~ShaderData();

    std::vector<ShaderAttribute> attributes;
    std::vector<TextureBinding> textureBindings;
    std::uint32_t stride = 0;
    std::vector<std::uint8_t> data;
    // Sort key of the instance within its batch, not an input.
    float depth = kDefaultDepth;

    // Appends an input of an accepted type at the end of the layout (a texture slot binds "Default"
    // when a texture is given). Returns false, with the message, for any other type.
    bool AppendAttribute(std::string_view name, std::uint32_t location, std::uint32_t type,
                         Texture* defaultTexture);
    // The first input of that name, or null.
    const ShaderAttribute* FindAttribute(std::string_view name) const;
    // The first input of that name when it has that type; not found otherwise (the name setters then
    // report the mismatch).
    ShaderInput FindInput(std::string_view name, std::uint32_t type) const;

    // Setters through a resolved input, for per-frame writes. False, changing nothing, for an input not
    // found or one of another layout than this data's.
    bool SetMatrix3(const ShaderInput& input, const Matrix3& value);
    bool SetVector4(const ShaderInput& input, const Vector4& value);
    bool SetFloat(const ShaderInput& input, float value);
    bool SetInt(const ShaderInput& input, std::int32_t value);
    bool SetUInt(const ShaderInput& input, Texture* texture);
    // The texture bound to a resolved texture slot, or null.
    Texture* GetUInt(const ShaderInput& input) const;

    // Setters by input name; an unknown name changes nothing.
    void SetMatrix3(std::string_view name, const Matrix3& value);
    void SetVector4(std::string_view name, const Vector4& value);
    void SetVector3(std::string_view name, const Vector3& value);
    void SetVector2(std::string_view name, const Vector2& value);
    // "depth" sets the sort key.
    void SetFloat(std::string_view name, float value);
    void SetInt(std::string_view name, std::int32_t value);
    // Stores the texture in the binding of the input's location; null changes nothing.
    void SetUInt(std::string_view name, Texture* texture);

    // Getters by input name; absent for an unknown name or a slot too small for the type.
    std::optional<Matrix3> GetMatrix3(std::string_view name) const;
    std::optional<Vector4> GetVector4(std::string_view name) const;
    std::optional<Vector3> GetVector3(std::string_view name) const;
    std::optional<Vector2> GetVector2(std::string_view name) const;
    // 0 for an unknown name; "depth" reads the sort key.
    float GetFloat(std::string_view name) const;
    std::int32_t GetInt(std::string_view name) const;
    // The texture bound to the input, or null.
    Texture* GetUInt(std::string_view name) const;

  private:
    // Batches fill and empty these through the calls below.
    friend class RenderLine;
    // One slot of a batch that points at this data.
    struct BatchSlot
    {
        RenderLine* line = nullptr;
        std::uint32_t submission = 0;
    };

    // Remembers a new slot; the first submission of a frame allocates nothing.
    void EnterSlot(RenderLine* line, std::uint32_t submission);
    // Forgets every slot of that batch (emptied or destroyed).
    void LeaveLine(const RenderLine* line);
    // Takes this data out of every batch waiting to draw it.
    void LeaveAllLines();
    // Points the other's slots at this data instead and takes them over.
    void TakeSlots(ShaderData& other);

    // Whether the input describes this data's own slot of that type and size.
    bool Holds(const ShaderInput& input, std::uint32_t type, std::uint32_t size) const;
    void Write(std::string_view name, std::uint32_t type, const char* typeWord, const void* value,
               std::uint32_t size);
    bool Read(std::string_view name, std::uint32_t type, const char* typeWord, void* value,
              std::uint32_t size) const;

    // Names this data's layout: made anew by each appended input and copied with the inputs, so an input
    // found in a data of the same stamp fits without reading the attribute list.
    std::uint64_t layoutStamp = 0;
    // The slot of the first submission since the last draw, and those of any further ones (rare).
    BatchSlot firstSlot;
    std::vector<BatchSlot> moreSlots;
};
