#include "GraphicsTestFixture.h"

#include "BackgroundRenderer.h"
#include "Bloom.h"
#include "WindowAccess.h"
#include "WindowProvider.h"

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
    OffscreenGLTest::SetUp();
    if (IsSkipped() || HasFatalFailure())
        return;
    WindowProvider::SetWindowVisible(0, true);
    GlTestSupport::CountGlErrors();
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
    GlTestSupport::OverrideSize(-1, -1);
    graphics->Exit();
    graphics.reset();
    ResetWindowAccess();
    WindowProvider::SetWindowVisible(0, false);
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
