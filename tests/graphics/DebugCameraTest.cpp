#include "DebugRenderer.h"
#include "GraphicsTestFixture.h"
#include "Mesh.h"
#include "SceneHelpers.h"

#include <cmath>

TEST_F(GraphicsTest, TheLineBufferDoublesPastItsCapacityAndIsReusedBelowIt)
{
    DebugRenderer& debug = *graphics->GetDebugRenderer();
    auto frameWithLines = [&](int count)
    {
        for (int line = 0; line < count; ++line)
            graphics->DrawDebugLine(Vector2(0.0f, static_cast<float>(line)),
                                    Vector2(10.0f, static_cast<float>(line)), Vector4(1, 1, 1, 1));
        Frame();
    };
    frameWithLines(10);
    EXPECT_EQ(debug.GetLineCapacity(), 20u);
    frameWithLines(15);
    EXPECT_EQ(debug.GetLineCapacity(), 20u);
    frameWithLines(25);
    EXPECT_EQ(debug.GetLineCapacity(), 50u);
    EXPECT_EQ(debug.GetLineCount(), 0u) << "queues are emptied after the frame";

    graphics->drawDebug = false;
    graphics->DrawDebugCircle({0, 0}, 10, {1, 0, 0, 1});
    EXPECT_EQ(debug.GetLineCount(), 66u);
    Frame();
    EXPECT_EQ(debug.GetLineCount(), 0u) << "emptied even when debug drawing is off";
}

TEST_F(GraphicsTest, DebugShapesGoToTheWindowAndNotThroughTheCamera)
{
    Scene scene(*graphics);
    scene.Add(Graphics::dmBasic, {-250, -150}, {120, 120}, {0.2f, 0.2f, 0.8f, 1});
    for (int frame = 0; frame < 3; ++frame)
    {
        graphics->DrawDebugLine({-300, 100}, {300, 100}, {0, 1, 0, 1});
        graphics->DrawDebugBox({100, -200}, {300, -50}, {1, 1, 0, 1});
        graphics->DrawDebugCircle({-250, -150}, 80, {1, 0, 0, 1});
        graphics->DrawDebugRect({200, -125}, 100, 60, 30, {0, 1, 1, 1});
        graphics->DrawDebugPoint({0, 0}, 9, {1, 0, 1, 1});
        scene.Submit();
        Frame();
    }
    const auto pixels = Screenshot("debug_shapes");
    int px = 0;
    int py = 0;
    WorldToPixel(0, 100, px, py);
    const std::uint8_t* line = PixelAt(pixels, px, py);
    bool found = false;
    for (int dy = -1; dy <= 1 && !found; ++dy)
        found = PixelAt(pixels, px, py + dy)[1] > 200 && PixelAt(pixels, px, py + dy)[0] < 50;
    EXPECT_TRUE(found) << int(line[0]) << "," << int(line[1]) << "," << int(line[2]);
    WorldToPixel(0, 0, px, py);
    EXPECT_GT(PixelAt(pixels, px, py)[0], 200) << "the point shows";

    Camera& camera = *CameraManager::GetCameras().front();
    const Framebuffer& image = camera.GetPreviousTarget();
    const auto texels = ReadTarget(image);
    WorldToPixel(0, 100, px, py);
    for (int dy = -1; dy <= 1; ++dy)
        EXPECT_LT(TexelAt(texels, image, px, 479 - (py + dy))[1], 0.01f);
}

TEST_F(GraphicsTest, TheViewKeepsAtLeast900By480WorldUnitsAndSurvivesAVanishedWindow)
{
    Camera& camera = *CameraManager::GetCameras().front();
    Frame();
    Frame();
    EXPECT_FLOAT_EQ(camera.viewHeight, 675.0f);

    GlTestSupport::OverrideSize(2560, 600);
    Frame();
    Frame();
    EXPECT_FLOAT_EQ(camera.viewHeight, 480.0f);
    EXPECT_NEAR(camera.viewHeight * camera.aspect, 2048.0f, 0.01f);

    GlTestSupport::OverrideSize(0, 0);
    testing::internal::CaptureStdout();
    Frame();
    Frame();
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_NE(output.find("WARNING: Camera window does not exist anymore! WindowIndex = 0"),
              std::string::npos);
    EXPECT_TRUE(std::isfinite(camera.aspect));
    EXPECT_EQ(camera.width, 2560);
    for (float value : camera.GetWorldScreen().m)
        EXPECT_TRUE(std::isfinite(value));
    GlTestSupport::OverrideSize(-1, -1);
}

TEST_F(GraphicsTest, WorldToScreenInvertsTheCameraAndScalesTheView)
{
    Camera& camera = *CameraManager::GetCameras().front();
    camera.viewHeight = 675.0f;
    camera.aspect = 640.0f / 480.0f;
    camera.SetPosition(100, -50);
    const Matrix3 worldScreen = camera.GetWorldScreen();
    const Vector2 centre = worldScreen.TransformPoint({100, -50});
    EXPECT_NEAR(centre.x, 0.0f, 1e-5f);
    EXPECT_NEAR(centre.y, 0.0f, 1e-5f);
    const Vector2 corner = worldScreen.TransformPoint(Vector2(550.0f, 287.5f));
    EXPECT_NEAR(corner.x, 1.0f, 1e-5f);
    EXPECT_NEAR(corner.y, 1.0f, 1e-5f);
}

TEST_F(GraphicsTest, MeshCopiesAlternateEveryFrame)
{
    MeshRecord& quad = Mesh::GetQuad();
    const std::uint32_t start = quad.current;
    Frame();
    EXPECT_NE(Mesh::GetQuad().current, start);
    Frame();
    EXPECT_EQ(Mesh::GetQuad().current, start);
    EXPECT_NE(quad.vertexArrays[0], quad.vertexArrays[1]);
}

TEST_F(GraphicsTest, PowerOfTwoResizesRoundUpAndIgnoreSizesThatRoundTheSame)
{
    Framebuffer target(300, 200, true, false);
    target.Resize(300, 200, true);
    EXPECT_EQ(target.GetWidth(), 512u);
    EXPECT_EQ(target.GetHeight(), 256u);
    target.Resize(400, 250, true);
    EXPECT_EQ(target.GetWidth(), 512u);
    EXPECT_EQ(target.GetHeight(), 256u);
    target.Resize(1, 0, true);
    EXPECT_EQ(target.GetWidth(), 1u);
    EXPECT_EQ(target.GetHeight(), 1u);
    EXPECT_EQ(NextPowerOfTwo(1025), 2048u);
}
