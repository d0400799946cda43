#include "Bloom.h"
#include "GraphicsTestFixture.h"
#include "RenderStats.h"
#include "SceneHelpers.h"

#include <cmath>

namespace
{
// Channel values of a window pixel, within a small tolerance.
::testing::AssertionResult PixelIs(const std::uint8_t* pixel, int r, int g, int b, int tolerance = 3)
{
    if (std::abs(pixel[0] - r) <= tolerance && std::abs(pixel[1] - g) <= tolerance &&
        std::abs(pixel[2] - b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "pixel is (" << int(pixel[0]) << ", " << int(pixel[1]) << ", " << int(pixel[2])
           << "), expected (" << r << ", " << g << ", " << b << ")";
}

const std::uint8_t* WorldPixel(const std::vector<std::uint8_t>& pixels, float x, float y)
{
    int px = 0;
    int py = 0;
    WorldToPixel(x, y, px, py);
    return GraphicsTest::PixelAt(pixels, px, py);
}

Bloom& TheBloom(Graphics& graphics)
{
    return dynamic_cast<Bloom&>(*graphics.GetEffects().at(0));
}
} // namespace

// Every case writes depth with GL_LESS, the built-in state of every default material.
TEST_F(GraphicsTest, PainterOrderHoldsAcrossLayersBatchesAndInstances)
{
    Scene scene(*graphics);
    // A text quad (order 5000) over a sprite (order 1000) in the same place.
    scene.Add(Graphics::dmText, {-300, 150}, {100, 100}, {0, 1, 0, 1});
    scene.Add(Graphics::dmBasic, {-300, 150}, {100, 100}, {1, 0, 0, 1});
    // In one batch the smaller depth covers the larger, whatever the submission order.
    scene.Add(Graphics::dmBasic, {0, 150}, {100, 100}, {1, 1, 0, 1}, "WhitePixel", 0.2f);
    scene.Add(Graphics::dmBasic, {0, 150}, {100, 100}, {0, 0, 1, 1}, "WhitePixel", 0.8f);
    // At equal depth the last submitted is on top.
    scene.Add(Graphics::dmBasic, {300, 150}, {100, 100}, {0, 0, 1, 1});
    scene.Add(Graphics::dmBasic, {300, 150}, {100, 100}, {1, 0, 1, 1});
    // An additive particle brightens the sprite under it and shows alone on black.
    scene.Add(Graphics::dmBasic, {-150, -150}, {100, 100}, {0.5f, 0, 0, 1});
    scene.Add(Graphics::dmParticle, {-150, -150}, {100, 100}, {0, 0, 0.5f, 1});
    scene.Add(Graphics::dmParticle, {150, -150}, {100, 100}, {0, 0.5f, 0, 1});
    scene.Run();
    const auto pixels = Screenshot("painter");

    EXPECT_TRUE(PixelIs(WorldPixel(pixels, -300, 150), 0, 255, 0));
    EXPECT_TRUE(PixelIs(WorldPixel(pixels, 0, 150), 255, 255, 0));
    EXPECT_TRUE(PixelIs(WorldPixel(pixels, 300, 150), 255, 0, 255));
    EXPECT_TRUE(PixelIs(WorldPixel(pixels, -150, -150), 128, 0, 128));
    EXPECT_TRUE(PixelIs(WorldPixel(pixels, 150, -150), 0, 128, 0));
    EXPECT_TRUE(PixelIs(WorldPixel(pixels, 0, 0), 0, 0, 0));
}

TEST_F(GraphicsTest, SeventeenTexturesSplitIntoTwoInstancedDrawsWithTheRightColours)
{
    Scene scene(*graphics);
    std::vector<Vector4> expected;
    for (int index = 0; index < 17; ++index)
    {
        const auto r = static_cast<std::uint8_t>(15 * index);
        const auto g = static_cast<std::uint8_t>(255 - 15 * index);
        const auto b = static_cast<std::uint8_t>((index % 2) * 200);
        ColourTexture("colour" + std::to_string(index), r, g, b);
        const float x = -400.0f + 50.0f * static_cast<float>(index);
        scene.Add(Graphics::dmBasic, {x, 0}, {40, 40}, {1, 1, 1, 1}, "colour" + std::to_string(index));
        expected.push_back(Vector4(r, g, b, 255));
    }
    scene.Run(2);
    const std::uint64_t before = GetRenderStats().instancedDraws;
    scene.Run(1);
    // Two for the sprites, one for the background.
    EXPECT_EQ(GetRenderStats().instancedDraws - before, 3u);
    const auto pixels = Screenshot("seventeen");
    for (int index = 0; index < 17; ++index)
    {
        SCOPED_TRACE(index);
        EXPECT_TRUE(PixelIs(WorldPixel(pixels, -400.0f + 50.0f * static_cast<float>(index), 0),
                            static_cast<int>(expected[index].x), static_cast<int>(expected[index].y),
                            static_cast<int>(expected[index].z)));
    }
}

TEST_F(GraphicsTest, ATextureChangedAfterSubmittingIsTheOneDrawn)
{
    ColourTexture("red", 255, 0, 0);
    Texture& blue = ColourTexture("blue", 0, 0, 255);
    Scene scene(*graphics);
    Material& sprite = scene.Add(Graphics::dmBasic, {0, 0}, {200, 200}, {1, 1, 1, 1}, "red");
    scene.Run(2);
    scene.Submit();
    // Scripts run after the renderers and may change the texture of what was already submitted.
    sprite.data.SetUInt("texture", &blue);
    graphics->Update(1.0f / 60.0f);
    const auto pixels = Screenshot("rebound");
    EXPECT_TRUE(PixelIs(WorldPixel(pixels, 0, 0), 0, 0, 255));
}

TEST_F(GraphicsTest, ImagesLandUprightWhereTheCameraPutsThem)
{
    // Rows top-down: red, green over blue, white.
    const std::uint8_t quadrants[16] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
    TextureManager::CreateTexture("quadrants", 2, 2, quadrants, GL_RGBA);
    Scene scene(*graphics);
    Material& sprite = scene.Add(Graphics::dmBasic, {100, 50}, {200, 200}, {1, 1, 1, 1}, "quadrants");

    auto check = [&](const char* name, float centreX, bool flipped)
    {
        SCOPED_TRACE(name);
        scene.Run();
        const auto pixels = Screenshot(name);
        const float left = centreX - 80.0f;
        const float right = centreX + 80.0f;
        EXPECT_TRUE(PixelIs(WorldPixel(pixels, flipped ? right : left, 130), 255, 0, 0));
        EXPECT_TRUE(PixelIs(WorldPixel(pixels, flipped ? left : right, 130), 0, 255, 0));
        EXPECT_TRUE(PixelIs(WorldPixel(pixels, flipped ? right : left, -30), 0, 0, 255));
        EXPECT_TRUE(PixelIs(WorldPixel(pixels, flipped ? left : right, -30), 255, 255, 255));
        EXPECT_TRUE(PixelIs(WorldPixel(pixels, centreX - 110.0f, 50), 0, 0, 0));
        EXPECT_TRUE(PixelIs(WorldPixel(pixels, centreX + 110.0f, 50), 0, 0, 0));
    };
    check("orientation_bloom", 100, false);
    sprite.data.SetInt("flipTexture", 1);
    check("orientation_flipped", 100, true);
    sprite.data.SetInt("flipTexture", 0);
    CameraManager::GetCameras().front()->SetPosition(100, 0);
    check("orientation_camera_moved", 0, false);
    CameraManager::GetCameras().front()->SetPosition(0, 0);
    graphics->GetEffects().clear();
    check("orientation_no_effects", 100, false);
}

TEST_F(GraphicsTest, BloomHaloesEmissiveLightAndFollowsTheCameraSize)
{
    Scene scene(*graphics);
    Material& square = scene.Add(Graphics::dmBasic, {0, 0}, {60, 60}, {0, 0, 0, 1});
    square.data.SetUInt("emissiveTexture", &TextureManager::GetTexture("WhitePixel"));
    square.data.SetVector4("emissiveTint", {1, 1, 1, 1});
    square.data.SetFloat("emissiveMultiplier", 4.0f);
    Camera& camera = *CameraManager::GetCameras().front();
    Bloom& bloom = TheBloom(*graphics);

    scene.Run(1);
    const Framebuffer* threshold = bloom.GetThresholdTarget(camera.windowContext);
    ASSERT_NE(threshold, nullptr);
    EXPECT_EQ(threshold->GetWidth(), 160u);
    EXPECT_EQ(threshold->GetHeight(), 120u);
    scene.Run(2);
    EXPECT_EQ(threshold->GetWidth(), 256u);
    EXPECT_EQ(threshold->GetHeight(), 128u);
    EXPECT_EQ(bloom.GetVerticalTarget(camera.windowContext)->GetWidth(), 256u);
    Screenshot("bloom");

    const Framebuffer& result = camera.GetPreviousTarget();
    auto image = ReadTarget(result);
    const float centre = TexelAt(image, result, 320, 240)[0];
    const float halo = TexelAt(image, result, 320 + 40, 240)[0];
    const float far = TexelAt(image, result, 20, 20)[0];
    EXPECT_GT(centre, 4.0f);
    EXPECT_GT(halo, 0.05f) << "a halo surrounds the square";
    EXPECT_LT(far, halo / 2.0f) << "the halo fades with distance";

    bloom.onlyBloom = true;
    scene.Run(1);
    image = ReadTarget(camera.GetPreviousTarget());
    const float bloomOnly = TexelAt(image, result, 320, 240)[0];
    EXPECT_GT(bloomOnly, 0.05f);
    EXPECT_NEAR(bloomOnly, centre - 4.0f, 0.5f) << "the scene is dropped";
    Screenshot("bloom_only");
}

TEST_F(GraphicsTest, BloomTargetsOfALargeCameraStartAtAQuarterThenRoundUp)
{
    GlTestSupport::OverrideSize(1600, 900);
    Camera& camera = *CameraManager::GetCameras().front();
    camera.width = 1600;
    camera.height = 900;
    Bloom& bloom = TheBloom(*graphics);
    Frame();
    const Framebuffer* threshold = bloom.GetThresholdTarget(camera.windowContext);
    ASSERT_NE(threshold, nullptr);
    EXPECT_EQ(threshold->GetWidth(), 400u);
    EXPECT_EQ(threshold->GetHeight(), 225u);
    Frame();
    EXPECT_EQ(threshold->GetWidth(), 512u);
    EXPECT_EQ(threshold->GetHeight(), 256u);
    EXPECT_FLOAT_EQ(camera.viewHeight, 506.25f);
    GlTestSupport::OverrideSize(-1, -1);
}

TEST_F(GraphicsTest, AFullFrameDrawsEveryBlendModeDebugShapesAndBloom)
{
    Scene scene(*graphics);
    // A grey floor under five squares, one per blend mode, each half covering it.
    scene.Add(Graphics::dmBasic, {0, 100}, {800, 120}, {0.5f, 0.5f, 0.5f, 1}, "WhitePixel", 0.9f);
    const float tints[5][4] = {
        {1, 0, 0, 0.5f}, {1, 0, 0, 0.5f}, {0.5f, 0, 0, 1}, {1, 0.2f, 0.2f, 1}, {0.3f, 0, 0, 1}};
    for (std::uint32_t mode = 0; mode < 5; ++mode)
    {
        const float x = -320.0f + 160.0f * static_cast<float>(mode);
        Material& square =
            scene.Add(Graphics::dmBasic, {x, 130}, {100, 140},
                      {tints[mode][0], tints[mode][1], tints[mode][2], tints[mode][3]}, "WhitePixel", 0.1f);
        square.SetBlendMode(mode);
    }
    Material& glow = scene.Add(Graphics::dmBasic, {0, -150}, {50, 50}, {0, 0, 0, 1});
    glow.data.SetUInt("emissiveTexture", &TextureManager::GetTexture("WhitePixel"));
    glow.data.SetVector4("emissiveTint", Vector4(0.3f, 0.6f, 1.0f, 1.0f));
    glow.data.SetFloat("emissiveMultiplier", 5.0f);
    scene.Add(Graphics::dmText, {-300, -150}, {120, 40}, {1, 1, 1, 1});
    scene.Add(Graphics::dmParticle, {300, -150}, {80, 80}, {0.2f, 0.8f, 0.2f, 1});
    for (int frame = 0; frame < 3; ++frame)
    {
        graphics->DrawDebugCircle({0, -150}, 90, {1, 1, 0, 1});
        graphics->DrawDebugBox({-380, 20}, {380, 220}, {0, 1, 1, 1});
        graphics->DrawDebugPoint({300, -150}, 7, {1, 0, 1, 1});
        scene.Submit();
        Frame();
    }
    const auto pixels = Screenshot("full_frame");
    // Opaque writes the tint's colour and ignores its alpha; alpha blending mixes half with the floor;
    // additive adds; multiplicative multiplies; one-one adds without alpha. The glow's wide bloom lifts
    // everything a little, mostly in blue.
    const int haze = 24;
    EXPECT_TRUE(PixelIs(WorldPixel(pixels, -320, 130), 255, 0, 0, haze));
    EXPECT_TRUE(PixelIs(WorldPixel(pixels, -160, 130), 191, 64, 64, haze));
    EXPECT_TRUE(PixelIs(WorldPixel(pixels, 0, 130), 255, 128, 128, haze));
    EXPECT_TRUE(PixelIs(WorldPixel(pixels, 160, 130), 128, 26, 26, haze));
    EXPECT_TRUE(PixelIs(WorldPixel(pixels, 320, 130), 204, 128, 128, haze));
    EXPECT_TRUE(PixelIs(WorldPixel(pixels, 320, 180), 77, 0, 0, haze))
        << "above the floor, one-one adds to black";
}
