#pragma once
#include "GlTestSupport.h"
#include "Graphics.h"
#include "OffscreenGL.h"

#include <gtest/gtest.h>

#include <memory>

// A fresh, initialised Graphics on the shared offscreen window for every test; the window is shown
// (a hidden window is never drawn), and a test fails on any GL error.
class GraphicsTest : public OffscreenGLTest
{
  public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 480;

    // The RGBA8 pixel at window coordinates counted from the top left.
    static const std::uint8_t* PixelAt(const std::vector<std::uint8_t>& pixels, int x, int yFromTop);

  protected:
    void SetUp() override;
    void TearDown() override;

    // Leaves the renderer's own parts: a black background and Bloom as the only effect.
    static void KeepCoreOnly(Graphics& renderer);
    // Runs one engine update of the renderer.
    void Frame(float dt = 1.0f / 60.0f) { graphics->Update(dt); }
    // Reads the window's finished frame and saves it under build/screenshots/.
    std::vector<std::uint8_t> Screenshot(const std::string& name);

    std::unique_ptr<Graphics> graphics;
    bool ready = false;
};
