#pragma once
#include "MaterialRenderState.h"
#include "Math.h"

#include <array>
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
    // A texture input "x" whose shader also has the uniform "xUnit" is drawn in runs of consecutive
    // instances that name the same units, one draw each with the run's units in those uniforms, so the
    // shader can index its samplers with a value the whole draw shares.
    static constexpr const char* kRunUnitSuffix = "Unit";
    static constexpr std::size_t kMaxRunInputs = 4;
    // A range of more runs than this, most of them shorter than kShortRun, is drawn in one draw by the
    // shader's companion "<name>PerInstance" (the same inputs, every instance choosing its own units),
    // so that textures changing instance by instance do not cost a draw per instance.
    static constexpr std::size_t kMostRuns = 64;
    static constexpr std::size_t kShortRun = 4;
    static constexpr const char* kPerInstanceSuffix = "PerInstance";

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
    // Draws the staged range [first, last) run by run, in order.
    void DrawRuns(std::size_t first, std::size_t last, DepthSlice& slice);
    // Draws the items [partFirst, partLast) of the range staged from first.
    void DrawPart(std::size_t first, std::size_t partFirst, std::size_t partLast, DepthSlice& slice);
    // Draws the staged range in one draw with the per-instance companion; false when there is none.
    bool DrawEachInstanceChoosing(std::size_t first, std::size_t last, DepthSlice& slice);

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
    // The texture inputs the shader can take per draw: where the unit lies in the instance bytes and the
    // uniform that takes it.
    struct RunInput
    {
        std::uint32_t dataOffset;
        std::int32_t uniform;
    };
    std::vector<RunInput> runInputs;
    // The runs of the range last staged: the first item of each and the units its instances name.
    struct UnitRun
    {
        std::size_t first;
        std::array<std::uint32_t, kMaxRunInputs> units;
    };
    std::vector<UnitRun> runs;
    std::int32_t drawOrdinalUniform = -1;
    // The companion shader, looked up the first time a range needs it (null when it has none), and the
    // matrix of the draw under way, which it needs too.
    Shader* perInstanceShader = nullptr;
    bool perInstanceLookedUp = false;
    Matrix3 drawWorldScreen;
    std::uint32_t stride = 0;
    std::uint32_t instanceCount = 0;
    // Slots emptied since the last DropForgotten.
    std::uint32_t forgotten = 0;
    std::uint32_t instanceBuffer = 0;
    std::uint32_t bufferCapacity = 0;
};
