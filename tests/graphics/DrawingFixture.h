#pragma once
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "Graphics.h"
#include "Math.h"
#include "OffscreenGL.h"

#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class Camera;
class Lighting;

// The whole drawing stack on the shared offscreen window: an object factory with the drawing systems
// and an initialised Graphics with the full effect chain. Every GL error fails the test.
class DrawingTest : public OffscreenGLTest
{
  protected:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 480;

    void SetUp() override;
    void TearDown() override;

    // One engine update: the objects submit, then the renderer draws what they submitted.
    void Frame(float dt = 1.0f / 60.0f);
    // Only the drawing systems' update (what the object update submits), without drawing.
    void RunDrawingSystems(float dt = 1.0f / 60.0f);
    // Frames until the camera has followed the window's size.
    void Settle(int frames = 3);

    // A new object at (x, y) with the given scale and rotation.
    GameObject& MakeObject(float x, float y, float scaleX = 1.0f, float scaleY = 1.0f, float rotation = 0.0f);
    // A sprite object: scale (w, h), a texture and a tint.
    GameObject& MakeSprite(float x, float y, float w, float h, const Vector4& tint,
                           const std::string& texture = "WhitePixel", float depth = 0.0f);

    // Colour balance 1, tone mapping and saturation as near the identity as they go.
    void UseNeutralGrade();
    // Keeps only the effects whose class the predicate accepts.
    template <typename Keep> void KeepEffects(Keep keep);
    // The first effect of class T in the chain; throws when there is none.
    template <typename T> T& Effect();
    // The background shows flat black.
    void BlackBackground();

    // The window's finished frame (RGBA8, bottom-up rows) and one pixel of it at world (x, y).
    std::vector<std::uint8_t> ReadWindow(const std::string& screenshotName = "");
    std::array<int, 4> WindowPixel(const std::vector<std::uint8_t>& pixels, float worldX, float worldY) const;
    // The camera's last image as floats (RGBA, bottom-up rows) and one texel of it at world (x, y).
    std::vector<float> ReadCameraImage();
    std::array<float, 4> ImageTexel(const std::vector<float>& texels, float worldX, float worldY) const;
    // A render target's colour texture as floats (RGBA, bottom-up rows).
    static std::vector<float> ReadTexture(std::uint32_t glTexture, int width, int height);

    struct FrameResult
    {
        std::vector<float> image;
        std::uint64_t drawCalls = 0;
    };
    // Draws a few frames and reads the finished image as floats, with the draw calls of the last frame.
    FrameResult DrawFrames(int frames = 3);
    // The largest difference between two images' floats; images of different sizes differ infinitely.
    static float LargestDifference(const std::vector<float>& a, const std::vector<float>& b);

    // Writes a shader pair into the working copy of the data: the given fragment stage and a copy of a game
    // shader's vertex stage. An empty fragment copies that shader's fragment stage too.
    static void WriteShader(const std::string& name, const std::string& vertexOf, const std::string& fragment = "");

    Camera& MainCamera() const;
    // Registers a w x h RGBA texture from top-down rows of pixels.
    static void MakeTexture(const std::string& name, int w, int h,
                            const std::vector<std::uint32_t>& rgbaTopDown);

    std::unique_ptr<GameObjectFactory> factory;
    std::unique_ptr<Graphics> graphics;
    bool ready = false;
};

template <typename Keep> void DrawingTest::KeepEffects(Keep keep)
{
    auto& effects = graphics->GetEffects();
    std::erase_if(effects, [&](const auto& effect) { return !keep(effect.get()); });
}

template <typename T> T& DrawingTest::Effect()
{
    for (auto& effect : graphics->GetEffects())
        if (auto* found = dynamic_cast<T*>(effect.get()))
            return *found;
    throw std::runtime_error("no such effect");
}

// Counts GL errors reported through the debug output; a test that provokes some on purpose resets it.
int DrawingGlErrors();
void ResetDrawingGlErrors();
