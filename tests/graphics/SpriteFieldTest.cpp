#include "SpriteField.h"
#include "Camera.h"
#include "GraphicsTestFixture.h"
#include "RenderLine.h"
#include "RenderStats.h"
#include "TextureManager.h"

#include <glad/gl.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace
{
// Equal within a relative tolerance (the translations reach 3,300, past float's 1e-4 absolute steps).
::testing::AssertionResult SameMatrix(const Matrix3& actual, const Matrix3& expected, float tolerance)
{
    for (int k = 0; k < 9; ++k)
        if (std::abs(actual.m[k] - expected.m[k]) > tolerance * std::max(1.0f, std::abs(expected.m[k])))
            return ::testing::AssertionFailure()
                   << "element " << k << " is " << actual.m[k] << ", expected " << expected.m[k];
    return ::testing::AssertionSuccess();
}

std::uint32_t InstancesOfOrder(Graphics& graphics, std::int32_t order)
{
    std::uint32_t count = 0;
    auto layer = graphics.GetLayers().find(order);
    if (layer != graphics.GetLayers().end())
        for (const auto& batch : layer->second)
            count += batch->GetInstanceCount();
    return count;
}

// The window pixel of a world point seen by a camera at (3000, 0) with a 900-unit-wide view.
const std::uint8_t* FieldPixel(const std::vector<std::uint8_t>& pixels, float x, float y)
{
    const float scale = 640.0f / 900.0f;
    const int px = static_cast<int>(320.0f + (x - SpriteField::kCentreX) * scale);
    const int py = static_cast<int>(240.0f - y * scale);
    return GraphicsTest::PixelAt(pixels, px, py);
}
} // namespace

// Fifty thousand sprites are one instanced draw; their matrices follow the closed form after a thousand
// turns without drift, their materials never move (the batch points into them), the first is red and the
// last blue, and on screen the centre is red and the rim blue.
TEST_F(GraphicsTest, SpriteFieldTurnsWithoutDriftInOneInstancedDraw)
{
    const std::uint8_t white[4] = {255, 255, 255, 255};
    TextureManager::CreateTexture("White", 1, 1, white, GL_RGBA);
    SpriteField field(graphics->GetShader("basic"), &TextureManager::GetTexture("White"));
    ASSERT_EQ(field.Count(), 50000u);

    const Vector4 first = field.Tints().front();
    const Vector4 last = field.Tints().back();
    EXPECT_FLOAT_EQ(first.x, 1.0f);
    EXPECT_FLOAT_EQ(first.z, 0.0f);
    EXPECT_NEAR(last.x, 1.0f / 50000.0f, 1e-7f);
    EXPECT_NEAR(last.z, 49999.0f / 50000.0f, 1e-7f);
    EXPECT_EQ(first.y, 0.0f);
    EXPECT_EQ(last.w, 1.0f);

    const Material* materials = field.Materials().data();
    for (int update = 0; update < 999; ++update)
    {
        field.Update();
        graphics->ResetFrame();
    }
    field.Update();
    EXPECT_EQ(field.Frame(), 1000u);
    EXPECT_EQ(field.Materials().data(), materials);
    EXPECT_EQ(InstancesOfOrder(*graphics, SpriteField::kOrder), 50000u);
    for (std::size_t i : {std::size_t{0}, std::size_t{359}, std::size_t{360}, std::size_t{49999}})
    {
        const auto written = field.Materials()[i].data.GetMatrix3("modelWorld");
        ASSERT_TRUE(written.has_value());
        EXPECT_TRUE(SameMatrix(*written, SpriteField::TurnedMatrix(i, 1000), 1e-4f)) << "entry " << i;
    }
    // The closed form itself: entry 49,999 rests on ring 138 at 319 degrees and has turned by
    // 0.01 * 1000 * 49999 / 360 degrees about the centre.
    const double pi = 3.14159265358979323846;
    const double radius = 10.0 + 2.3 * 138.0;
    const double rest = 319.0 * pi / 180.0;
    const double turn = 0.01 * 1000.0 * 49999.0 / 360.0 * pi / 180.0;
    Matrix3 expected;
    expected(0, 0) = static_cast<float>(10.0 * std::cos(turn));
    expected(1, 0) = static_cast<float>(10.0 * std::sin(turn));
    expected(0, 1) = -expected(1, 0);
    expected(1, 1) = expected(0, 0);
    expected(0, 2) = static_cast<float>(3000.0 + radius * std::cos(rest + turn));
    expected(1, 2) = static_cast<float>(radius * std::sin(rest + turn));
    EXPECT_TRUE(SameMatrix(SpriteField::TurnedMatrix(49999, 1000), expected, 1e-4f));
    graphics->ResetFrame();

    // Drawn: one instanced draw more than an empty frame, red in the middle, blue on the rim.
    SetMainCamera(SpriteField::kCentreX, 0.0f, 1.0f, 0.0f);
    Frame();
    const RenderStats before = GetRenderStats();
    Frame();
    const std::uint64_t emptyDraws = GetRenderStats().instancedDraws - before.instancedDraws;
    const std::uint64_t emptyInstances = GetRenderStats().instances - before.instances;
    field.Update();
    const RenderStats withField = GetRenderStats();
    Frame();
    EXPECT_EQ(GetRenderStats().instancedDraws - withField.instancedDraws, emptyDraws + 1);
    EXPECT_EQ(GetRenderStats().instances - withField.instances, emptyInstances + 50000u);
    const auto pixels = Screenshot("sprite_field");
    const std::uint8_t* centre = FieldPixel(pixels, SpriteField::kCentreX + 10.0f, 0.0f);
    EXPECT_GT(centre[0], 200);
    EXPECT_LT(centre[2], 40);
    const std::uint8_t* rim = FieldPixel(pixels, SpriteField::kCentreX + 326.0f, 0.0f);
    EXPECT_LT(rim[0], 40);
    EXPECT_GT(rim[2], 200);
}

// Every entry, not only those whose turn an update takes afresh, follows the closed form frame after
// frame, keeps its own tint and texture, and the field is drawn as before: one instanced draw.
TEST_F(GraphicsTest, EveryEntryOfTheFieldFollowsTheClosedFormEveryFrame)
{
    const std::uint8_t white[4] = {255, 255, 255, 255};
    Texture& texture = TextureManager::CreateTexture("White", 1, 1, white, GL_RGBA);
    const std::size_t count = 3000;
    SpriteField field(graphics->GetShader("basic"), &texture, count);
    for (std::uint64_t frame = 1; frame <= 40; ++frame)
    {
        field.Update();
        if (frame % 13 != 1)
        {
            graphics->ResetFrame();
            continue;
        }
        SCOPED_TRACE(frame);
        EXPECT_EQ(InstancesOfOrder(*graphics, SpriteField::kOrder), count);
        for (std::size_t i = 0; i < count; ++i)
        {
            const ShaderData& data = field.Materials()[i].data;
            const auto written = data.GetMatrix3("modelWorld");
            ASSERT_TRUE(written.has_value());
            ASSERT_TRUE(SameMatrix(*written, SpriteField::TurnedMatrix(i, frame), 1e-6f)) << "entry " << i;
            const auto tint = data.GetVector4("tint");
            ASSERT_TRUE(tint.has_value());
            ASSERT_EQ(tint->x, SpriteField::TintOf(i, count).x) << "entry " << i;
            ASSERT_EQ(tint->z, SpriteField::TintOf(i, count).z) << "entry " << i;
            ASSERT_EQ(data.GetUInt("texture"), &texture) << "entry " << i;
        }
        graphics->ResetFrame();
    }
    SetMainCamera(SpriteField::kCentreX, 0.0f, 1.0f, 0.0f);
    Frame();
    const RenderStats before = GetRenderStats();
    Frame();
    const std::uint64_t emptyInstances = GetRenderStats().instances - before.instances;
    field.Update();
    const RenderStats withField = GetRenderStats();
    Frame();
    EXPECT_EQ(GetRenderStats().instances - withField.instances, emptyInstances + count);
}

// The first camera takes the position and the turn: a point on the camera's right shows right of centre.
TEST_F(GraphicsTest, SetMainCameraPlacesAndTurnsTheFirstCamera)
{
    SetMainCamera(100.0f, 50.0f, 1.0f, 90.0f);
    Camera& camera = *CameraManager::GetCameras().front();
    EXPECT_TRUE(camera.dirty);
    EXPECT_NEAR(camera.right.x, 0.0f, 1e-6f);
    EXPECT_NEAR(camera.right.y, 1.0f, 1e-6f);
    EXPECT_NEAR(camera.up.x, -1.0f, 1e-6f);
    EXPECT_NEAR(camera.up.y, 0.0f, 1e-6f);
    // Turned a quarter left, the world point above the camera lies on its right.
    const Vector3 screen = camera.GetWorldScreen() * Vector3(100.0f, 150.0f, 1.0f);
    EXPECT_GT(screen.x, 0.1f);
    EXPECT_NEAR(screen.y, 0.0f, 1e-5f);
    SetMainCamera(0.0f, 0.0f, 1.0f, 0.0f);
    EXPECT_EQ(camera.position.x, 0.0f);
    EXPECT_EQ(camera.right.x, 1.0f);
    EXPECT_EQ(camera.up.y, 1.0f);
}
