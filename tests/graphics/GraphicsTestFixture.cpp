#include "GraphicsTestFixture.h"

#include "BackgroundRenderer.h"
#include "Bloom.h"

#include <vector>

void GraphicsTest::KeepCoreOnly(Graphics& renderer)
{
    // These scenes look at the renderer alone: a black background and Bloom as the only effect.
    renderer.GetBackground()->GetMaterial().data.SetVector4("tint", Vector4(0.0f, 0.0f, 0.0f, 1.0f));
    std::erase_if(renderer.GetEffects(),
                  [](const auto& effect) { return dynamic_cast<Bloom*>(effect.get()) == nullptr; });
}

void GraphicsTest::SetUp()
{
    REQUIRE_GL_OR_SKIP();
    GlTestSupport::OverrideSize(-1, -1);
    GlTestSupport::SetVisible(true);
    GlTestSupport::ResetErrorCount();
    graphics = std::make_unique<Graphics>();
    graphics->Init();
    KeepCoreOnly(*graphics);
    ready = true;
}

void GraphicsTest::TearDown()
{
    if (!ready)
        return;
    graphics->Exit();
    graphics.reset();
    GlTestSupport::SetVisible(false);
    EXPECT_EQ(GlTestSupport::ErrorCount(), 0) << "GL errors were raised";
}

std::vector<std::uint8_t> GraphicsTest::Screenshot(const std::string& name)
{
    auto pixels = GlTestSupport::ReadBackBuffer(kWidth, kHeight);
    GlTestSupport::SaveScreenshot(name, pixels, kWidth, kHeight);
    return pixels;
}

const std::uint8_t* GraphicsTest::PixelAt(const std::vector<std::uint8_t>& pixels, int x, int yFromTop)
{
    const int row = kHeight - 1 - yFromTop;
    return pixels.data() + (static_cast<std::size_t>(row) * kWidth + x) * 4;
}
