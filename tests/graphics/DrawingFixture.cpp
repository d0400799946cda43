#include "DrawingFixture.h"

#include "BackgroundRenderer.h"
#include "Camera.h"
#include "ColorEffects.h"
#include "DayCycle.h"
#include "DrawingSystems.h"
#include "EnginePrototypes.h"
#include "GraphicsPrototypes.h"
#include "Prototypes.h"
#include "Random.h"
#include "RenderStats.h"
#include "Renderer.h"
#include "SystemManager.h"
#include "TextureManager.h"
#include "Transform.h"
#include "WindowAccess.h"
#include "WindowProvider.h"

#include <SDL.h>
#include <SDL_image.h>
#include <glad/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <fstream>

namespace
{
int glErrors = 0;

void GLAPIENTRY CountErrors(GLenum, GLenum type, GLuint, GLenum, GLsizei, const GLchar* message, const void*)
{
    if (type == GL_DEBUG_TYPE_ERROR)
    {
        ++glErrors;
        std::fprintf(stderr, "GL error: %s\n", message);
    }
}

// The renderer reaches the shared window through its window access.
void WireWindowAccess()
{
    WindowAccess& access = GetWindowAccess();
    access.count = [] { return std::size_t{1}; };
    access.context = [](std::size_t) { return WindowProvider::GetGLContext(0); };
    access.makeCurrent = [](std::size_t) { WindowProvider::MakeCurrent(0); };
    access.size = [](std::size_t, int& w, int& h) {
        w = WindowProvider::GetWindowWidth(0);
        h = WindowProvider::GetWindowHeight(0);
    };
    access.visible = [](std::size_t) { return WindowProvider::IsWindowVisible(0); };
    access.swap = [](std::size_t) { SDL_GL_SwapWindow(WindowProvider::GetMainWindow()->window); };
}

} // namespace

int DrawingGlErrors()
{
    return glErrors;
}

void ResetDrawingGlErrors()
{
    glErrors = 0;
}

void DrawingTest::SetUp()
{
    OffscreenGLTest::SetUp();
    if (IsSkipped() || HasFatalFailure())
    {
        return;
    }
    WireWindowAccess();
    WindowProvider::SetWindowVisible(0, true);
    SeedRandom(1);
    ResetDayCycle();
    ResetObjectModel();

    graphics = std::make_unique<Graphics>();
    graphics->Init();
    glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
    glDebugMessageCallback(CountErrors, nullptr);
    glErrors = 0;

    factory = std::make_unique<GameObjectFactory>();
    factory->Init();
    RegisterEnginePrototypes();
    RegisterGraphicsPrototypes();
    ready = true;
}

void DrawingTest::TearDown()
{
    if (!ready)
    {
        return;
    }
    factory->Exit();
    factory.reset();
    graphics->Exit();
    graphics.reset();
    ResetObjectModel();
    ResetWindowAccess();
    WindowProvider::SetWindowVisible(0, false);
    EXPECT_EQ(glErrors, 0) << "GL errors were raised";
}

void DrawingTest::Frame(float dt)
{
    factory->Update(dt);
    graphics->Update(dt);
}

void DrawingTest::RunDrawingSystems(float dt)
{
    for (std::size_t slot :
         {kBasicRendererSlot, kParticleSystemSlot, kLightRendererSlot, kTextRendererSystemSlot})
    {
        SystemManager::GetSystem(slot)->Update(dt);
    }
}

void DrawingTest::Settle(int frames)
{
    for (int i = 0; i < frames; ++i)
    {
        Frame();
    }
}

GameObject& DrawingTest::MakeObject(float x, float y, float scaleX, float scaleY, float rotation)
{
    GameObject* object = factory->CreateObject();
    auto* transform = object->GetComponentAs<Transform>(Transform::kTypeId);
    transform->SetTranslation(Vector3(x, y, 1.0f));
    transform->SetScale(Vector3(scaleX, scaleY, 0.0f));
    transform->SetRotation(rotation);
    return *object;
}

GameObject& DrawingTest::MakeSprite(float x, float y, float w, float h, const Vector4& tint,
                                    const std::string& texture, float depth)
{
    GameObject& object = MakeObject(x, y, w, h);
    Renderer renderer;
    renderer.tint = tint;
    renderer.depth = depth;
    renderer.SetUInt("texture", &TextureManager::GetTexture(texture));
    object.AddComponent(renderer);
    return object;
}

void DrawingTest::UseNeutralGrade()
{
    for (auto& effect : graphics->GetEffects())
    {
        if (auto* tonemap = dynamic_cast<Tonemap*>(effect.get()))
        {
            tonemap->exposure = 1e-4f;
            tonemap->gamma = 1.0f;
        }
        if (auto* saturation = dynamic_cast<Saturation*>(effect.get()))
        {
            saturation->saturation = 1.0f;
            saturation->whitening = 0.0f;
            saturation->multiplier1 = 1.0f;
            saturation->multiplier2 = 1.0f;
        }
    }
}

void DrawingTest::BlackBackground()
{
    graphics->GetBackground()->GetMaterial().data.SetVector4("tint", Vector4(0.0f, 0.0f, 0.0f, 1.0f));
}

namespace
{
std::string ReadText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}
} // namespace

void DrawingTest::WriteShader(const std::string& name, const std::string& vertexOf, const std::string& fragment)
{
    const std::string vertex = ReadText("Shaders/" + vertexOf + ".vs");
    const std::string fragmentText = fragment.empty() ? ReadText("Shaders/" + vertexOf + ".fs") : fragment;
    std::ofstream("Shaders/" + name + ".vs", std::ios::binary) << vertex;
    std::ofstream("Shaders/" + name + ".fs", std::ios::binary) << fragmentText;
}

Camera& DrawingTest::MainCamera() const
{
    return *CameraManager::GetCameras().front();
}

std::vector<std::uint8_t> DrawingTest::ReadWindow(const std::string& screenshotName)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kWidth) * kHeight * 4);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    if (!screenshotName.empty())
    {
        const std::filesystem::path folder = GLIMMOCK_SCREENSHOT_DIR;
        std::filesystem::create_directories(folder);
        std::vector<std::uint8_t> topDown(pixels.size());
        const std::size_t row = static_cast<std::size_t>(kWidth) * 4;
        for (int y = 0; y < kHeight; ++y)
        {
            std::copy_n(pixels.data() + static_cast<std::size_t>(kHeight - 1 - y) * row, row,
                        topDown.data() + static_cast<std::size_t>(y) * row);
        }
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
            topDown.data(), kWidth, kHeight, 32, static_cast<int>(row), SDL_PIXELFORMAT_RGBA32);
        IMG_SavePNG(surface, (folder / (screenshotName + ".png")).string().c_str());
        SDL_FreeSurface(surface);
    }
    return pixels;
}

namespace
{
// Window pixel of a world point for the settled 640 x 480 camera at the origin (900 x 675 units).
std::pair<int, int> PixelOf(const Camera& camera, float worldX, float worldY, int width, int height)
{
    const float viewHeight = camera.viewHeight;
    const float viewWidth = viewHeight * camera.aspect;
    const int px =
        static_cast<int>(std::floor((worldX - camera.position.x) / viewWidth * width + width / 2.0f));
    const int py =
        static_cast<int>(std::floor((worldY - camera.position.y) / viewHeight * height + height / 2.0f));
    return {std::clamp(px, 0, width - 1), std::clamp(py, 0, height - 1)};
}
} // namespace

std::array<int, 4> DrawingTest::WindowPixel(const std::vector<std::uint8_t>& pixels, float worldX,
                                            float worldY) const
{
    const auto [px, py] = PixelOf(MainCamera(), worldX, worldY, kWidth, kHeight);
    const std::uint8_t* p = &pixels[(static_cast<std::size_t>(py) * kWidth + px) * 4];
    return {p[0], p[1], p[2], p[3]};
}

std::vector<float> DrawingTest::ReadTexture(std::uint32_t glTexture, int width, int height)
{
    std::vector<float> texels(static_cast<std::size_t>(width) * height * 4);
    glBindTexture(GL_TEXTURE_2D, glTexture);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return texels;
}

std::vector<float> DrawingTest::ReadCameraImage()
{
    // After presenting, the image last written is the camera's previous target.
    const Framebuffer& image = MainCamera().GetPreviousTarget();
    return ReadTexture(image.GetColourTexture(), static_cast<int>(image.GetWidth()),
                       static_cast<int>(image.GetHeight()));
}

DrawingTest::FrameResult DrawingTest::DrawFrames(int frames)
{
    FrameResult result;
    for (int frame = 0; frame < frames; ++frame)
    {
        const std::uint64_t before = GetRenderStats().drawCalls;
        Frame();
        result.drawCalls = GetRenderStats().drawCalls - before;
    }
    result.image = ReadCameraImage();
    return result;
}

float DrawingTest::LargestDifference(const std::vector<float>& a, const std::vector<float>& b)
{
    float largest = a.size() == b.size() ? 0.0f : INFINITY;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        largest = std::max(largest, std::fabs(a[i] - b[i]));
    return largest;
}

std::array<float, 4> DrawingTest::ImageTexel(const std::vector<float>& texels, float worldX,
                                             float worldY) const
{
    const Framebuffer& image = MainCamera().GetPreviousTarget();
    const int w = static_cast<int>(image.GetWidth());
    const int h = static_cast<int>(image.GetHeight());
    const auto [px, py] = PixelOf(MainCamera(), worldX, worldY, w, h);
    const float* t = &texels[(static_cast<std::size_t>(py) * w + px) * 4];
    return {t[0], t[1], t[2], t[3]};
}

void DrawingTest::MakeTexture(const std::string& name, int w, int h,
                              const std::vector<std::uint32_t>& rgbaTopDown)
{
    // GL's first row is the texture's v = 0, which the quad shows at its top.
    std::vector<std::uint8_t> bytes;
    for (std::uint32_t pixel : rgbaTopDown)
    {
        bytes.push_back(static_cast<std::uint8_t>(pixel >> 24));
        bytes.push_back(static_cast<std::uint8_t>(pixel >> 16));
        bytes.push_back(static_cast<std::uint8_t>(pixel >> 8));
        bytes.push_back(static_cast<std::uint8_t>(pixel));
    }
    TextureManager::CreateTexture(name, static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h),
                                  bytes.data(), GL_RGBA);
}
