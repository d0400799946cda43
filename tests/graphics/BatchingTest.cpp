#include "DebugDraw.h"
#include "DebugRenderer.h"
#include "GraphicsTestFixture.h"
#include "MetaHooks.h"
#include "PlatformHooks.h"
#include "RenderLine.h"
#include "RenderStats.h"
#include "SceneHelpers.h"
#include "Shader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <numeric>
#include <random>
#include <vector>

TEST_F(GraphicsTest, MaterialsShareABatchOnlyWithTheSameState)
{
    Material first = graphics->GetMaterial(Graphics::dmBasic);
    Material second = graphics->GetMaterial(Graphics::dmBasic);
    Material additive = graphics->GetMaterial(Graphics::dmBasic);
    additive.SetBlendMode(bmAdditive);
    first.Submit();
    second.Submit();
    additive.Submit();

    ASSERT_NE(first.batch, nullptr);
    EXPECT_EQ(first.batch, second.batch);
    EXPECT_NE(first.batch, additive.batch);
    auto& layer = graphics->GetLayers().at(1000);
    EXPECT_EQ(layer.size(), 2u);
    EXPECT_EQ(first.batch->GetInstanceCount(), 2u);
    Frame();
}

TEST_F(GraphicsTest, ItemsDrawLargerDepthFirstAndTiesInSubmissionOrder)
{
    std::vector<Material> materials(5, graphics->GetMaterial(Graphics::dmBasic));
    const float depths[5] = {0.2f, 0.9f, 0.5f, 0.5f, 0.5f};
    for (std::size_t index = 0; index < materials.size(); ++index)
    {
        materials[index].data.SetFloat("depth", depths[index]);
        materials[index].Submit();
    }
    graphics->UpkeepBatches();
    const auto& items = materials[0].batch->GetItems();
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items[0], &materials[1].data);
    EXPECT_EQ(items[1], &materials[2].data);
    EXPECT_EQ(items[2], &materials[3].data);
    EXPECT_EQ(items[3], &materials[4].data);
    EXPECT_EQ(items[4], &materials[0].data);
    graphics->ResetFrame();
}

// A batch keeps the order it found for a run of depths and takes it again while the depths repeat, for
// whichever materials submit them; any changed depth sorts afresh.
TEST_F(GraphicsTest, TheDepthOrderFollowsEveryFrameWhetherDepthsRepeatOrChange)
{
    std::vector<Material> materials(6, graphics->GetMaterial(Graphics::dmBasic));
    struct Submission
    {
        std::size_t material;
        float depth;
    };
    struct FrameCase
    {
        std::vector<Submission> submitted;
        std::vector<std::size_t> drawn;
    };
    const FrameCase frames[] = {
        {{{0, 0.2f}, {1, 0.9f}, {2, 0.5f}}, {1, 2, 0}},
        {{{0, 0.2f}, {1, 0.9f}, {2, 0.5f}}, {1, 2, 0}}, // repeated
        {{{3, 0.2f}, {4, 0.9f}, {5, 0.5f}}, {4, 5, 3}}, // the same depths from other materials
        {{{0, 0.2f}, {1, 0.9f}, {2, 0.95f}}, {2, 1, 0}}, // one depth changed
        {{{0, 0.9f}, {1, 0.5f}, {2, 0.2f}}, {0, 1, 2}}, // already deepest first
        {{{0, 0.9f}, {1, 0.5f}, {2, 0.2f}, {3, 0.7f}}, {0, 3, 1, 2}}, // one more item
    };
    for (std::size_t frame = 0; frame < std::size(frames); ++frame)
    {
        SCOPED_TRACE(frame);
        for (const Submission& submission : frames[frame].submitted)
        {
            materials[submission.material].data.SetFloat("depth", submission.depth);
            materials[submission.material].Submit();
        }
        graphics->UpkeepBatches();
        const auto& items = materials[frames[frame].submitted[0].material].batch->GetItems();
        ASSERT_EQ(items.size(), frames[frame].drawn.size());
        for (std::size_t slot = 0; slot < items.size(); ++slot)
            EXPECT_EQ(items[slot], &materials[frames[frame].drawn[slot]].data) << "slot " << slot;
        graphics->ResetFrame();
    }
}

TEST_F(GraphicsTest, AMaterialThatSkipsAFrameLosesItsBatchAndRegistersAgain)
{
    Material material = graphics->GetMaterial(Graphics::dmBasic);
    material.Submit();
    Frame();
    std::shared_ptr<RenderLine> old = material.batch;
    EXPECT_FALSE(old->IsDropped());

    Frame();
    EXPECT_TRUE(old->IsDropped());
    EXPECT_EQ(graphics->GetLayers().count(1000), 0u) << "the empty layer is erased";

    // Registering against a dropped batch must not keep it, or the item would never be drawn.
    material.Register();
    EXPECT_NE(material.batch, old);
    material.Submit();
    EXPECT_EQ(graphics->GetLayers().at(1000).size(), 1u);
    EXPECT_EQ(graphics->GetLayers().at(1000).front(), material.batch);
    EXPECT_EQ(material.batch->GetInstanceCount(), 1u);
    Frame();
}

TEST_F(GraphicsTest, CopiesShareTheBatchAndCopiesWithoutOneRegister)
{
    Material original = graphics->GetMaterial(Graphics::dmText);
    EXPECT_TRUE(original.needsRegistration);
    original.Submit();
    EXPECT_FALSE(original.needsRegistration);
    Material copy(original);
    EXPECT_EQ(copy.batch, original.batch);
    EXPECT_FALSE(copy.needsRegistration);
    copy.Submit();
    EXPECT_EQ(original.batch->GetInstanceCount(), 2u);
    Frame();
}

// One item cannot carry more textures than units (its texture inputs are vertex attributes, and 16 is all
// GL promises), but a batch can: its items are then drawn in ranges whose textures fit the units.
TEST_F(GraphicsTest, ABatchWhoseTexturesOutnumberTheUnitsDrawsInRangesThatFit)
{
    GlTestSupport::WriteFile("Shaders/manyTextures.vs", R"(#version 430 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 uv;
layout(location = 2) in uint t0; layout(location = 3) in uint t1; layout(location = 4) in uint t2;
layout(location = 5) in uint t3; layout(location = 6) in uint t4; layout(location = 7) in uint t5;
layout(location = 8) in uint t6; layout(location = 9) in uint t7; layout(location = 10) in uint t8;
layout(location = 11) in uint t9; layout(location = 12) in uint t10; layout(location = 13) in uint t11;
layout(location = 14) in uint t12; layout(location = 15) in uint t13;
uniform mat3 worldScreen;
uniform int drawOrdinal;
uniform float ordinalStep;
flat out uint sum;
void main()
{
    gl_Position = vec4((worldScreen * position).xy, 1.0 - 2.0 * float(drawOrdinal + gl_InstanceID + 1) * ordinalStep, 1.0);
    sum = t0 + t1 + t2 + t3 + t4 + t5 + t6 + t7 + t8 + t9 + t10 + t11 + t12 + t13;
}
)");
    GlTestSupport::WriteFile("Shaders/manyTextures.fs", R"(#version 430 core
flat in uint sum;
out vec4 colour;
void main() { colour = vec4(float(sum) / 255.0); }
)");
    Shader* shader = graphics->GetShader("manyTextures");
    ASSERT_TRUE(shader->IsUsable());
    std::vector<Material> materials;
    materials.reserve(2);
    for (int item = 0; item < 2; ++item)
    {
        materials.emplace_back("many", shader, 10, MaterialRenderState());
        for (int slot = 0; slot < 14; ++slot)
        {
            const std::string name = "t" + std::to_string(slot);
            ColourTexture("many" + std::to_string(item) + name, 1, 2, 3);
            materials.back().data.SetUInt(name,
                                          &TextureManager::GetTexture("many" + std::to_string(item) + name));
        }
        materials.back().Submit();
    }
    ASSERT_EQ(materials[0].batch, materials[1].batch);
    testing::internal::CaptureStdout();
    Frame();
    EXPECT_EQ(testing::internal::GetCapturedStdout().find("not bound"), std::string::npos);
    // 28 textures: the first item's 14 fill units 0-13; the second runs out of units, so the first is drawn
    // alone and the second's textures take units 0-13 again for its own range.
    for (const Material& material : materials)
    {
        std::vector<std::uint32_t> units;
        for (const TextureBinding& binding : material.data.textureBindings)
        {
            std::uint32_t unit = 0;
            std::memcpy(&unit, material.data.data.data() + binding.dataOffset, sizeof(unit));
            units.push_back(unit);
        }
        std::sort(units.begin(), units.end());
        std::vector<std::uint32_t> expected(14);
        std::iota(expected.begin(), expected.end(), 0u);
        EXPECT_EQ(units, expected);
    }
}

TEST_F(GraphicsTest, ANanDepthSortsWithoutHarm)
{
    std::vector<Material> materials(3, graphics->GetMaterial(Graphics::dmBasic));
    materials[0].data.SetFloat("depth", 0.3f);
    materials[1].data.SetFloat("depth", std::nanf(""));
    materials[2].data.SetFloat("depth", 0.6f);
    for (Material& material : materials)
        material.Submit();
    graphics->UpkeepBatches();
    const auto& items = materials[0].batch->GetItems();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0], &materials[2].data);
    EXPECT_EQ(items[1], &materials[0].data);
    EXPECT_EQ(items[2], &materials[1].data);
    Frame();
}

TEST_F(GraphicsTest, InitConnectsTheDropMaterialAndDebugDrawHooks)
{
    EXPECT_TRUE(static_cast<bool>(PlatformHooks::importTexture));
    EXPECT_TRUE(static_cast<bool>(MetaHooks::saveMaterial));
    EXPECT_TRUE(static_cast<bool>(MetaHooks::loadMaterial));
    EXPECT_TRUE(static_cast<bool>(MetaHooks::editMaterial));
    EXPECT_TRUE(static_cast<bool>(MetaHooks::editTexture));

    // Physics' debug shapes reach the renderer's queues.
    GetDebugDraw().Line(Vector3(0.0f, 0.0f, 0.0f), Vector3(1.0f, 1.0f, 0.0f),
                        Vector4(1.0f, 0.0f, 0.0f, 1.0f));
    GetDebugDraw().Point(Vector3(2.0f, 2.0f, 0.0f), 5.0f, Vector4(1.0f, 0.0f, 0.0f, 1.0f));
    EXPECT_EQ(graphics->GetDebugRenderer()->GetLineCount(), 1u);
    EXPECT_EQ(graphics->GetDebugRenderer()->GetPointCount(), 1u);
    Frame();

    graphics->Exit();
    EXPECT_FALSE(static_cast<bool>(MetaHooks::loadMaterial));
    GetDebugDraw().Line(Vector3(0.0f, 0.0f, 0.0f), Vector3(1.0f, 1.0f, 0.0f),
                        Vector4(1.0f, 0.0f, 0.0f, 1.0f));
    graphics->Init();
}

// A material destroyed between its submission and the draw leaves its batch: it is not drawn, and the
// batch never reads it again.
TEST_F(GraphicsTest, AMaterialDestroyedBeforeTheDrawIsSkippedAndTheRestDraws)
{
    Scene scene(*graphics);
    scene.Add(Graphics::dmBasic, {-200, 0}, {200, 200}, {1, 0, 0, 1});
    scene.Add(Graphics::dmBasic, {200, 0}, {200, 200}, {0, 1, 0, 1});
    scene.Run();
    scene.Submit();
    std::shared_ptr<RenderLine> batch = scene.sprites.front().material.batch;
    ASSERT_EQ(batch->GetInstanceCount(), 2u);
    scene.sprites.pop_front();
    EXPECT_EQ(batch->GetInstanceCount(), 1u);

    Frame();
    const auto pixels = Screenshot("batching_destroyed_material");
    int x = 0;
    int y = 0;
    WorldToPixel(-200, 0, x, y);
    EXPECT_EQ(PixelAt(pixels, x, y)[0], 0) << "the destroyed sprite";
    WorldToPixel(200, 0, x, y);
    EXPECT_GT(PixelAt(pixels, x, y)[1], 200) << "the kept sprite";
}

TEST_F(GraphicsTest, EverySlotOfADestroyedMaterialLeavesEvenAcrossBatchesAndSorting)
{
    auto twice = std::make_unique<Material>(graphics->GetMaterial(Graphics::dmBasic));
    std::vector<Material> others(2, graphics->GetMaterial(Graphics::dmBasic));
    others[0].data.SetFloat("depth", 0.2f);
    twice->data.SetFloat("depth", 0.5f);
    others[1].data.SetFloat("depth", 0.9f);
    // Submitted twice into the sprites' batch (around the others, so sorting moves it) and once more
    // into another layer.
    twice->Submit();
    others[0].Submit();
    others[1].Submit();
    twice->Submit();
    std::shared_ptr<RenderLine> sprites = twice->batch;
    twice->SetOrder(1500);
    twice->Register();
    twice->Submit();
    std::shared_ptr<RenderLine> other = twice->batch;
    ASSERT_NE(sprites, other);
    graphics->UpkeepBatches();
    EXPECT_EQ(sprites->GetItems()[0], &others[1].data);

    twice.reset();
    EXPECT_EQ(sprites->GetInstanceCount(), 2u);
    EXPECT_EQ(other->GetInstanceCount(), 0u);
    sprites->DropForgotten();
    EXPECT_EQ(sprites->GetItems(), (std::vector<ShaderData*>{&others[1].data, &others[0].data}));

    // The emptied batch is dropped; the sprites' batch still draws its two.
    Frame();
    EXPECT_TRUE(other->IsDropped());
    EXPECT_EQ(sprites->GetInstanceCount(), 0u);
}

TEST_F(GraphicsTest, MovesCarryAPendingSubmissionAndCopiesDoNot)
{
    std::vector<Material> materials(3, graphics->GetMaterial(Graphics::dmBasic));
    for (Material& material : materials)
        material.Submit();
    std::shared_ptr<RenderLine> batch = materials[0].batch;
    // Growing the vector moves every material; their slots follow.
    materials.reserve(64);
    ASSERT_EQ(batch->GetItems().size(), 3u);
    for (std::size_t index = 0; index < 3; ++index)
        EXPECT_EQ(batch->GetItems()[index], &materials[index].data);

    // A copy waits in no batch: destroying it takes nothing out.
    {
        Material copy(materials[0]);
        Material assigned = graphics->GetMaterial(Graphics::dmBasic);
        assigned = materials[1];
    }
    EXPECT_EQ(batch->GetInstanceCount(), 3u);

    // Erasing shifts the later materials down by move assignment: the erased one's submission goes,
    // every other stays, once.
    materials.erase(materials.begin());
    EXPECT_EQ(batch->GetInstanceCount(), 2u);
    batch->DropForgotten();
    EXPECT_EQ(batch->GetItems(), (std::vector<ShaderData*>{&materials[0].data, &materials[1].data}));

    // A moved-from material leaves nothing behind.
    Material moved(std::move(materials[1]));
    materials.pop_back();
    EXPECT_EQ(batch->GetInstanceCount(), 2u);
    EXPECT_EQ(batch->GetItems()[1], &moved.data);
    Frame();
    EXPECT_EQ(batch->GetInstanceCount(), 0u);
}

TEST_F(GraphicsTest, ABatchDestroyedBeforeItsDataLeavesNoSlotBehind)
{
    Material material = graphics->GetMaterial(Graphics::dmBasic);
    auto line = std::make_unique<RenderLine>(7, material.shader, material.GetRenderState());
    line->Add(&material.data);
    line.reset();
    // Nothing points back at the freed batch: moving and destroying the data touch no batch.
    Material moved(std::move(material));
}

// A batch binds the textures it drew last frame and keeps them only while its items use exactly those;
// whatever the items change to (another texture, fewer textures, a missing one), the frame draws and
// numbers the units as if the textures had been collected afresh: the distinct ids in ascending order.
TEST_F(GraphicsTest, ABatchKeepsLastFramesTexturesOnlyWhileItsItemsUseExactlyThose)
{
    Texture& red = ColourTexture("guessRed", 255, 0, 0);
    Texture& blue = ColourTexture("guessBlue", 0, 0, 255);
    Scene scene(*graphics);
    scene.Add(Graphics::dmBasic, {-200, 0}, {200, 200}, {1, 1, 1, 1}, "guessRed");
    scene.Add(Graphics::dmBasic, {200, 0}, {200, 200}, {1, 1, 1, 1}, "guessBlue");
    Material& left = scene.sprites[0].material;
    Material& right = scene.sprites[1].material;

    const auto unitsAsCollected = [&](const char* step) {
        SCOPED_TRACE(step);
        std::vector<std::uint32_t> ids;
        for (const Material* material : {&left, &right})
            for (const TextureBinding& binding : material->data.textureBindings)
                if (binding.texture != nullptr)
                    ids.push_back(binding.texture->id);
        std::sort(ids.begin(), ids.end());
        ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
        for (const Material* material : {&left, &right})
            for (const TextureBinding& binding : material->data.textureBindings)
            {
                if (binding.texture == nullptr)
                    continue;
                std::uint32_t unit = 0;
                std::memcpy(&unit, material->data.data.data() + binding.dataOffset, sizeof(unit));
                const auto expected = std::find(ids.begin(), ids.end(), binding.texture->id) - ids.begin();
                EXPECT_EQ(unit, static_cast<std::uint32_t>(expected)) << "texture " << binding.texture->name;
            }
    };
    // 'r' or 'b' where that channel alone is bright (the effects shift colours a little).
    const auto colourAt = [&](const std::vector<std::uint8_t>& pixels, float worldX) {
        int x = 0;
        int y = 0;
        WorldToPixel(worldX, 0, x, y);
        const std::uint8_t* pixel = PixelAt(pixels, x, y);
        if (pixel[0] > 150 && pixel[1] < 100 && pixel[2] < 100)
            return 'r';
        if (pixel[2] > 150 && pixel[0] < 100 && pixel[1] < 100)
            return 'b';
        return '?';
    };
    const auto window = [&] { return GlTestSupport::ReadBackBuffer(kWidth, kHeight); };

    scene.Run();
    unitsAsCollected("both");
    auto pixels = window();
    EXPECT_EQ(colourAt(pixels, -200), 'r');
    EXPECT_EQ(colourAt(pixels, 200), 'b');

    // Fewer textures than last frame, then the same ones again.
    right.data.SetUInt("texture", &red);
    for (const char* step : {"fewer", "repeated"})
    {
        scene.Run(1);
        unitsAsCollected(step);
        pixels = window();
        EXPECT_EQ(colourAt(pixels, -200), 'r') << step;
        EXPECT_EQ(colourAt(pixels, 200), 'r') << step;
    }

    // Another texture in place of one drawn last frame.
    left.data.SetUInt("texture", &blue);
    right.data.SetUInt("texture", &blue);
    scene.Run(1);
    unitsAsCollected("another");
    pixels = Screenshot("batching_texture_guess");
    EXPECT_EQ(colourAt(pixels, -200), 'b');
    EXPECT_EQ(colourAt(pixels, 200), 'b');

    // A binding left without a texture is reported once, as drawing has always reported it.
    left.data.textureBindings.front().texture = nullptr;
    testing::internal::CaptureStdout();
    scene.Run(1);
    const std::string output = testing::internal::GetCapturedStdout();
    std::size_t reports = 0;
    for (std::size_t at = output.find("not bound"); at != std::string::npos; at = output.find("not bound", at + 1))
        ++reports;
    EXPECT_EQ(reports, 1u);
    unitsAsCollected("missing");
    EXPECT_EQ(colourAt(window(), 200), 'b');
}

// Sorting and closing gaps move only the batch's own lists: over frames that sort afresh and frames that
// take the kept order again, data destroyed or moved after the sort, after closing the gaps or before the
// sort find their own slots, and nothing else leaves.
TEST_F(GraphicsTest, SlotsFollowTheirDataThroughSortsGapsAndMovesOverManyFrames)
{
    // What a frame with nothing submitted draws (the background).
    // Frames are drawn without a second sort (Frame() would sort the sorted list again, and the next
    // frame could not take the kept order).
    const auto drawFrame = [&] {
        graphics->DrawWindows();
        graphics->ResetFrame();
    };
    std::uint64_t before = GetRenderStats().instances;
    drawFrame();
    const std::uint64_t emptyFrame = GetRenderStats().instances - before;
    std::vector<std::unique_ptr<Material>> m(6);
    const float depths[6] = {0.1f, 0.6f, 0.3f, 0.9f, 0.3f, 0.5f};
    const auto submitAll = [&] {
        for (std::size_t index = 0; index < m.size(); ++index)
        {
            if (m[index] == nullptr)
                m[index] = std::make_unique<Material>(graphics->GetMaterial(Graphics::dmBasic));
            m[index]->data.SetFloat("depth", depths[index]);
            m[index]->Submit();
        }
        return m[0]->batch;
    };
    const auto expectItems = [](const RenderLine& batch, const std::vector<const Material*>& expected) {
        std::vector<const ShaderData*> items;
        for (const ShaderData* item : batch.GetItems())
            if (item != nullptr)
                items.push_back(item);
        std::vector<const ShaderData*> wanted;
        for (const Material* material : expected)
            wanted.push_back(&material->data);
        EXPECT_EQ(items, wanted);
        EXPECT_EQ(batch.GetInstanceCount(), wanted.size());
    };
    for (int frame = 0; frame < 3; ++frame)
    {
        SCOPED_TRACE(frame);
        // The later frames repeat the depths (from partly new materials): the kept order is taken again.
        std::shared_ptr<RenderLine> batch = submitAll();
        graphics->UpkeepBatches();
        expectItems(*batch, {m[3].get(), m[1].get(), m[5].get(), m[2].get(), m[4].get(), m[0].get()});
        // A copy destroyed takes nothing out; the data at the far end of the sorted list leaves alone.
        {
            Material copy(*m[3]);
        }
        m[0].reset();
        expectItems(*batch, {m[3].get(), m[1].get(), m[5].get(), m[2].get(), m[4].get()});
        // After the gap closed, a move and a destruction still find their slots.
        batch->DropForgotten();
        m[2] = std::make_unique<Material>(std::move(*m[2]));
        m[1].reset();
        expectItems(*batch, {m[3].get(), m[5].get(), m[2].get(), m[4].get()});
        before = GetRenderStats().instances;
        drawFrame();
        EXPECT_EQ(GetRenderStats().instances - before, emptyFrame + 4u);
        EXPECT_EQ(batch->GetInstanceCount(), 0u);
    }

    // Submitted twice, destroyed before the sort: both of its slots go, and the rest sort.
    std::shared_ptr<RenderLine> batch = submitAll();
    m[5]->Submit();
    m[5].reset();
    graphics->UpkeepBatches();
    expectItems(*batch, {m[3].get(), m[1].get(), m[2].get(), m[4].get(), m[0].get()});
    m.clear();
    EXPECT_EQ(batch->GetInstanceCount(), 0u);
    Frame();
}

// Seeded runs of what drawing components and editors do to materials between submitting and drawing:
// submitting again (the same frame, or after moving to the other layer and back), changing depth, being
// destroyed, moved (alone or by move assignment over another), copied, having the gaps closed or the batch
// sorted mid-frame and then submitting more. After every step each batch holds exactly the live
// submissions: in submission order until it sorts, then stably by depth (larger first, NaN as 0, ties
// in the order they stood), also when a steady frame takes the last frame's order again; and every frame
// draws exactly those.
TEST_F(GraphicsTest, BatchesHoldExactlyTheLiveSubmissionsInOrderThroughAnyMixOfChanges)
{
    constexpr std::int32_t kOrders[2] = {1000, 1500};
    constexpr std::size_t kMaterials = 10;
    const float depthChoices[] = {0.1f, 0.3f, 0.5f, 0.5f, 0.9f, -2.0f, 7.0f, std::nanf("")};
    const Material basic = graphics->GetMaterial(Graphics::dmBasic);
    // A frame drawn as the renderer draws it, the sort left to the caller.
    const auto drawFrame = [&] {
        graphics->DrawWindows();
        graphics->ResetFrame();
    };
    std::uint64_t before = GetRenderStats().instances;
    drawFrame();
    const std::uint64_t emptyFrame = GetRenderStats().instances - before;

    for (std::uint32_t seed : {1u, 2u, 3u, 4u})
    {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        const auto pick = [&](std::size_t count) {
            return std::uniform_int_distribution<std::size_t>(0, count - 1)(random);
        };
        // Each order's batch in its current order (submission order until sorted), by material index; the
        // two anchors (indices kMaterials, kMaterials + 1) keep both batches alive every frame.
        std::vector<std::unique_ptr<Material>> m(kMaterials + 2);
        std::vector<std::size_t> orderOf(kMaterials + 2, 0);
        std::vector<std::size_t> model[2];
        std::vector<float> steadyDepths;
        for (std::size_t index = 0; index < kMaterials; ++index)
            steadyDepths.push_back(depthChoices[pick(std::size(depthChoices))]);
        const auto batchOf = [&](std::size_t side) -> std::shared_ptr<RenderLine> {
            auto layer = graphics->GetLayers().find(kOrders[side]);
            if (layer == graphics->GetLayers().end())
                return nullptr;
            for (const auto& batch : layer->second)
                if (batch->GetShader() == basic.shader && batch->GetRenderState() == basic.GetRenderState())
                    return batch;
            return nullptr;
        };
        const auto check = [&](const char* step) {
            SCOPED_TRACE(step);
            for (std::size_t side = 0; side < 2; ++side)
            {
                std::shared_ptr<RenderLine> batch = batchOf(side);
                std::vector<const ShaderData*> held;
                if (batch != nullptr)
                    for (const ShaderData* item : batch->GetItems())
                        if (item != nullptr)
                            held.push_back(item);
                std::vector<const ShaderData*> wanted;
                for (std::size_t index : model[side])
                    wanted.push_back(&m[index]->data);
                ASSERT_EQ(held, wanted) << "order " << kOrders[side];
                ASSERT_EQ(batch != nullptr ? batch->GetInstanceCount() : 0u, wanted.size());
            }
        };
        const auto forget = [&](std::size_t index) {
            for (auto& list : model)
                std::erase(list, index);
        };
        const auto submit = [&](std::size_t index) {
            if (m[index] == nullptr)
            {
                m[index] = std::make_unique<Material>(basic);
                m[index]->SetOrder(kOrders[orderOf[index]]);
            }
            m[index]->Submit();
            model[orderOf[index]].push_back(index);
        };
        const auto sortModel = [&] {
            for (auto& list : model)
                std::stable_sort(list.begin(), list.end(), [&](std::size_t a, std::size_t b) {
                    const auto key = [&](std::size_t index) {
                        const float depth = m[index]->data.depth;
                        return std::isnan(depth) ? 0.0f : depth;
                    };
                    return key(a) > key(b);
                });
        };
        for (std::size_t frame = 0; frame < 40; ++frame)
        {
            SCOPED_TRACE(frame);
            submit(kMaterials);
            orderOf[kMaterials + 1] = 1;
            submit(kMaterials + 1);
            // Two steady frames in every four submit every material once at its steady depth, so the
            // second mostly takes the first's order again; the changes then come after the sort.
            const bool steady = frame % 4 >= 2;
            if (steady)
            {
                for (std::size_t index = 0; index < kMaterials; ++index)
                {
                    submit(index);
                    m[index]->data.SetFloat("depth", steadyDepths[index]);
                }
                graphics->UpkeepBatches();
                sortModel();
                check("steady frame sorted");
            }
            for (int step = 0; step < 30; ++step)
            {
                const std::size_t k = pick(kMaterials);
                const std::size_t j = pick(kMaterials);
                switch (steady ? 5 + pick(5) : pick(11))
                {
                case 0:
                case 1:
                case 2:
                    submit(k);
                    check("submit");
                    break;
                case 3:
                    // To the other layer: its pending instances leave the batch it was in.
                    if (m[k] == nullptr)
                        break;
                    orderOf[k] = 1 - orderOf[k];
                    m[k]->SetOrder(kOrders[orderOf[k]]);
                    std::erase(model[1 - orderOf[k]], k);
                    submit(k);
                    check("moved to the other layer");
                    break;
                case 4:
                    if (m[k] != nullptr)
                        m[k]->data.SetFloat("depth", depthChoices[pick(std::size(depthChoices))]);
                    break;
                case 5:
                    m[k].reset();
                    forget(k);
                    check("destroyed");
                    break;
                case 6:
                    if (m[k] != nullptr)
                        m[k] = std::make_unique<Material>(std::move(*m[k]));
                    check("moved");
                    break;
                case 7:
                    // Move assignment drops the target's pending instances and takes the source's.
                    if (m[k] == nullptr || m[j] == nullptr || j == k)
                        break;
                    *m[j] = std::move(*m[k]);
                    m[k].reset();
                    forget(j);
                    for (auto& list : model)
                        std::replace(list.begin(), list.end(), k, j);
                    orderOf[j] = orderOf[k];
                    check("move-assigned");
                    break;
                case 8:
                    // Copies wait in no batch; a copy assigned within one batch keeps its own instances.
                    if (m[k] == nullptr)
                        break;
                    {
                        Material copy(*m[k]);
                        copy.data.depth = 0.7f;
                    }
                    if (m[j] != nullptr && orderOf[j] == orderOf[k] && m[j]->batch == m[k]->batch)
                        *m[j] = *m[k];
                    check("copied");
                    break;
                case 9:
                    if (std::shared_ptr<RenderLine> batch = batchOf(pick(2)))
                        batch->DropForgotten();
                    check("gaps closed");
                    break;
                default:
                    // Sorted mid-frame; later submissions append and the end of the frame sorts again.
                    graphics->UpkeepBatches();
                    sortModel();
                    check("sorted");
                    break;
                }
                if (HasFatalFailure())
                    return;
            }
            // A steady frame was sorted before its changes; sorting again would leave the kept order to
            // the already sorted list, and the next steady frame could not take it again.
            if (!steady)
            {
                graphics->UpkeepBatches();
                sortModel();
                check("frame sorted");
                if (HasFatalFailure())
                    return;
            }
            before = GetRenderStats().instances;
            drawFrame();
            EXPECT_EQ(GetRenderStats().instances - before, emptyFrame + model[0].size() + model[1].size());
            model[0].clear();
            model[1].clear();
            check("frame drawn");
        }
    }
}
