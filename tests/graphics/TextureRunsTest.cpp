#include "DrawingFixture.h"
#include "PostProcessingEffect.h"
#include "RenderStats.h"
#include "Renderer.h"
#include "Shader.h"
#include "TextureManager.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace
{
// A w x w texture of four quadrants in the given colours (RGBA, alpha in the lowest byte), so that the
// sampling position and the mipmaps show.
std::vector<std::uint32_t> Quadrants(int w, std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d)
{
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < w; ++y)
        for (int x = 0; x < w; ++x)
            pixels.push_back(y < w / 2 ? (x < w / 2 ? a : b) : (x < w / 2 ? c : d));
    return pixels;
}
} // namespace

class TextureRuns : public DrawingTest
{
  protected:
    // Draws three frames (the first binds this frame's textures afresh, the later ones reuse them) and
    // returns the camera's image with the window's bytes.
    FrameResult DrawScene(std::vector<std::uint8_t>& windowBytes, std::uint64_t& runsInLastFrame)
    {
        Frame();
        Frame();
        const std::uint64_t before = GetRenderStats().unitRuns;
        FrameResult result = DrawFrames(1);
        runsInLastFrame = GetRenderStats().unitRuns - before;
        windowBytes = ReadWindow();
        return result;
    }
};

// Sprites whose textures alternate instance by instance, runs of one texture, emissive textures that
// change under one base texture, more textures than units (two ranges), half-transparent overlaps and
// equal depths: the batch drawn in runs of shared units shows exactly what one draw choosing per instance
// showed.
TEST_F(TextureRuns, DrawingInRunsOfSharedTexturesShowsWhatChoosingPerInstanceShowed)
{
    if (!ready)
        return;
    graphics->GetEffects().clear();
    Settle();
    // Eighteen textures, two more than the units.
    std::vector<std::string> names;
    for (int index = 0; index < 18; ++index)
    {
        const auto shade = static_cast<std::uint32_t>(20 + 13 * index);
        names.push_back("runs" + std::to_string(index));
        MakeTexture(names.back(), 8,
                    8, Quadrants(8, (shade << 24) | 0x2040FFu, (0x30u << 24) | (shade << 16) | 0xC0u,
                                 (0x90u << 24) | (shade << 8) | 0x80u, 0xFFFFFF40u | (shade << 8)));
    }
    std::vector<GameObject*> sprites;
    // Alternating instance by instance, half transparent and overlapping, all at one depth: the
    // submission order decides.
    for (int index = 0; index < 12; ++index)
        sprites.push_back(&MakeSprite(-300.0f + 22.0f * index, 150.0f, 60.0f, 50.0f,
                                      Vector4(1.0f, 0.9f, 0.8f, 0.6f), names[index % 2], 0.5f));
    // A run of one texture, at scattered depths so that sorting interleaves it with nothing but itself.
    for (int index = 0; index < 6; ++index)
        sprites.push_back(&MakeSprite(-250.0f + 30.0f * index, 20.0f + 7.0f * index, 90.0f, 70.0f,
                                      Vector4(0.7f, 1.0f, 0.9f, 0.8f), names[2], 0.3f - 0.01f * index));
    // One base texture with emissive textures that change every second sprite; one glows with the base
    // texture as its emissive.
    for (int index = 0; index < 8; ++index)
    {
        GameObject& sprite = MakeSprite(60.0f + 35.0f * index, 40.0f, 70.0f, 90.0f,
                                        Vector4(0.5f, 0.6f, 0.7f, 0.7f), names[3], 0.2f);
        Renderer& renderer = *GetRenderer(sprite);
        renderer.SetUInt("emissiveTexture",
                         &TextureManager::GetTexture(index == 7 ? names[3] : names[4 + (index / 2) % 2]));
        renderer.material.data.SetVector4("emissiveTint", Vector4(1.0f, 0.5f, 0.25f, 1.0f));
        renderer.material.data.SetFloat("emissiveMultiplier", 0.5f + 0.25f * index);
        sprites.push_back(&sprite);
    }
    // Every other texture once, over everything (depth ties with the first group): the units run out, so
    // the batch is drawn in two ranges.
    for (int index = 6; index < 18; ++index)
        sprites.push_back(&MakeSprite(-380.0f + 55.0f * (index - 6), -120.0f, 50.0f, 120.0f,
                                      Vector4(1.0f, 1.0f, 1.0f, 0.75f), names[index], 0.5f));
    // The first two again in a layer of their own: a batch whose textures fit the units, drawn with
    // last frame's textures.
    for (int index = 0; index < 2; ++index)
    {
        GameObject& sprite = MakeSprite(-100.0f + 200.0f * index, -150.0f, 300.0f, 60.0f,
                                        Vector4(0.9f, 0.9f, 1.0f, 0.5f), names[index], 0.1f);
        GetRenderer(sprite)->material.SetOrder(2000);
        sprites.push_back(&sprite);
    }
    // A layer of small tiles whose textures change tile by tile, more than the runs drawn one by one: one
    // draw with every instance choosing its own.
    for (int index = 0; index < 70; ++index)
    {
        GameObject& sprite = MakeSprite(-300.0f + 24.0f * (index % 10), -40.0f - 20.0f * (index / 10), 26.0f,
                                        22.0f, Vector4(1.0f, 1.0f, 1.0f, 0.8f), names[(index * 7) % 3 + 6]);
        GetRenderer(sprite)->material.SetOrder(3000);
        sprites.push_back(&sprite);
    }

    std::vector<std::uint8_t> runsBytes;
    std::uint64_t runs = 0;
    const FrameResult inRuns = DrawScene(runsBytes, runs);

    // The reference: the sprite shader with which every instance chooses its own textures. It declares no
    // per-draw units, so its batches are drawn one draw per range.
    WriteShader("basicSwitched", "basicPerInstance");
    Shader* switched = graphics->GetShader("basicSwitched");
    ASSERT_TRUE(switched->IsUsable());
    for (GameObject* sprite : sprites)
    {
        Renderer& renderer = *GetRenderer(*sprite);
        Material material(renderer.material.name, switched, renderer.material.GetOrder(),
                          renderer.material.GetRenderState());
        material.data = renderer.material.data;
        renderer.material = material;
    }
    std::vector<std::uint8_t> switchedBytes;
    std::uint64_t switchedRuns = 0;
    const FrameResult chosen = DrawScene(switchedBytes, switchedRuns);

    EXPECT_EQ(LargestDifference(inRuns.image, chosen.image), 0.0f);
    EXPECT_TRUE(runsBytes == switchedBytes);
    // The scene was drawn, and in runs only by the sprite shader. In depth order: twelve alternating,
    // twelve single textures, one run of six; then, in the second range, the emissive changes (two, two,
    // two, one, one); then the other layer's two.
    EXPECT_GT(*std::max_element(inRuns.image.begin(), inRuns.image.end()), 0.5f);
    EXPECT_EQ(runs, 12u + 12u + 1u + 5u + 2u);
    EXPECT_EQ(switchedRuns, 0u);
    // The reference drew the big batch's two ranges and the small batch in three draws; the tiles took
    // one draw either way.
    EXPECT_EQ(inRuns.drawCalls, chosen.drawCalls + runs - 3u);
}
