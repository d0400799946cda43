#pragma once
#include "MaterialRenderState.h"
#include "Math.h"

#include <cstdint>
#include <vector>

class Shader;
class ShaderData;

// The depth slice a camera hands out in a frame: each instance drawn takes the next ordinal, and a larger
// ordinal lies nearer, so every instance covers what the camera drew before it.
struct DepthSlice
{
    std::uint32_t next = 0;
    float step = 1.0f;
};

// The instanced batch shared by every material of one order, shader and render state. Materials append
// their instance data during a frame; Graphics sorts, draws and empties it. Data destroyed before the
// draw takes itself out (its slot is emptied and skipped), so the batch never reads a freed instance.
class RenderLine
{
  public:
    // Uniform names every batch shader reads.
    static constexpr const char* kWorldScreen = "worldScreen";
    static constexpr const char* kDrawOrdinal = "drawOrdinal";
    static constexpr const char* kOrdinalStep = "ordinalStep";

    RenderLine(std::int32_t order, Shader* shader, const MaterialRenderState& state);
    ~RenderLine();
    RenderLine(const RenderLine&) = delete;
    RenderLine& operator=(const RenderLine&) = delete;

    // Appends one instance. Data destroyed before Reset leaves the batch and is not drawn.
    void Add(ShaderData* data);
    // Sorts the instances by depth, larger first; equal depths keep their submission order.
    void SortByDepth();
    // Draws every instance with the camera's matrix, taking ordinals from the slice.
    void Draw(const Matrix3& worldScreen, DepthSlice& slice);
    // Empties the batch for the next frame.
    void Reset();
    // Takes the data's pending instances out of the batch (its material moved to another batch).
    void Withdraw(ShaderData* data);
    // Closes the gaps that destroyed data left, keeping the order of the rest.
    void DropForgotten();

    bool IsDropped() const { return dropped; }
    void MarkDropped() { dropped = true; }
    std::int32_t GetOrder() const { return order; }
    Shader* GetShader() const { return shader; }
    const MaterialRenderState& GetRenderState() const { return renderState; }
    // The instances still waiting to be drawn.
    std::uint32_t GetInstanceCount() const { return instanceCount; }
    // Every slot in draw order; a destroyed instance leaves a null until DropForgotten.
    const std::vector<ShaderData*>& GetItems() const { return items; }
    std::uint32_t GetBufferCapacity() const { return bufferCapacity; }

  private:
    // ShaderData keeps its slots right through its moves and destruction with the two calls below. A slot
    // is named by its submission number, which sorting and closing gaps never change, so neither has to
    // write into the (scattered) instance data.
    friend class ShaderData;
    // Empties the slot of data that is being destroyed.
    void Forget(std::uint32_t submission, const ShaderData* data);
    // The data of a slot moved to another address.
    void Repoint(std::uint32_t submission, const ShaderData* from, ShaderData* to);
    // The item at that submission number, or null when it has left.
    ShaderData** SlotOf(std::uint32_t submission);

    // Whether this frame's depths, in submission order, are those the kept order was found for.
    bool DepthsAsLastSorted() const;
    void ApplyRenderState() const;
    // Draws every item with last frame's textures bound; false, drawing nothing and leaving no unit
    // bound, unless this frame's items use exactly those.
    bool DrawWithLastTextures(DepthSlice& slice);
    // Collects this frame's textures, binds them and draws, in ranges when they outnumber the units.
    void DrawCollectingTextures(DepthSlice& slice);
    void CollectTextureIds();
    // Binds the item's unbound textures; false when the units ran out first.
    bool BindItemTextures(const ShaderData& item);
    // Stages and draws a range. Given the units bound for it, draws only when the range uses exactly
    // those (false otherwise).
    bool DrawRange(std::size_t first, std::size_t last, DepthSlice& slice,
                   const std::uint32_t* boundUnits = nullptr);
    // Writes the range's instance bytes (texture units filled in) to the target, one stride each. Given
    // the bound units, stops at a texture without a unit and tells whether exactly those were used.
    bool StageRange(std::size_t first, std::size_t last, std::uint8_t* target, const std::uint32_t* boundUnits);
    void SetVertexInputs() const;

    bool dropped = false;
    std::int32_t order = 0;
    Shader* shader = nullptr;
    MaterialRenderState renderState;
    std::vector<ShaderData*> items;
    // Beside each item its submission number, and for each submission number its item's place.
    std::vector<std::uint32_t> submissions;
    std::vector<std::uint32_t> places;
    // Kept between frames so that sorting allocates nothing once the batch has reached its size.
    struct SortKey
    {
        float depth;
        std::uint32_t index;
    };
    // The depths, in submission order, of the last frame that was sorted, and the order found for them
    // (no keys when it was already deepest first).
    std::vector<float> sortedDepths;
    std::vector<SortKey> sortKeys;
    std::vector<ShaderData*> sortedItems;
    std::vector<std::uint32_t> sortedSubmissions;
    // The distinct texture ids of the items last collected (at most one more than the units), kept
    // between frames as the guess of the next frame's.
    std::vector<std::uint32_t> textureIds;
    // Used only when the instance buffer cannot be mapped; kept at its largest size.
    std::vector<std::uint8_t> staging;
    std::uint32_t stride = 0;
    std::uint32_t instanceCount = 0;
    // Slots emptied since the last DropForgotten.
    std::uint32_t forgotten = 0;
    std::uint32_t instanceBuffer = 0;
    std::uint32_t bufferCapacity = 0;
};
