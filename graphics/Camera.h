#pragma once
#include "Framebuffer.h"
#include "Math.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class Shader;

// The 2-D camera of one window: it renders into two float targets that alternate (ping-pong) through
// the effect chain, and presents the last one written into its window. The visible world is at least
// 900 units wide and 480 high.
class Camera
{
  public:
    static constexpr float kMinViewWidth = 900.0f;
    static constexpr float kMinViewHeight = 480.0f;

    explicit Camera(std::size_t windowIndex, void* windowContext);

    // The world-to-screen matrix, rebuilt when the camera moved or the view changed.
    const Matrix3& GetWorldScreen();
    // The target being written now, and the one written before it.
    Framebuffer& GetCurrentTarget() { return *targets[pingPong]; }
    Framebuffer& GetPreviousTarget() { return *targets[pingPong ^ 1u]; }
    void FlipPingPong() { pingPong ^= 1u; }
    // Draws the last-written target into the window, after following the window's size.
    void Present(const Shader& presentingShader);

    // Moves the camera; the matrices follow at the next GetWorldScreen.
    void SetPosition(float x, float y);

    std::int32_t width = 640;
    std::int32_t height = 480;
    Vector3 position{0.0f, 0.0f, 1.0f};
    Vector3 up{0.0f, 1.0f, 0.0f};
    Vector3 right{1.0f, 0.0f, 0.0f};
    float viewHeight = kMinViewHeight;
    float aspect = 640.0f / 480.0f;
    Matrix3 cameraMatrix;
    Matrix3 worldScreen;
    bool dirty = true;
    std::unique_ptr<Framebuffer> targets[2];
    std::uint32_t pingPong = 0;
    std::unique_ptr<Framebuffer> extraTarget;
    float viewport[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    std::size_t windowIndex = 0;
    void* windowContext = nullptr;
};

// The inverse of a 3x3 matrix; the identity when it has none.
Matrix3 InverseMatrix(const Matrix3& matrix);

// The process-wide camera list, one camera per window, in creation order.
namespace CameraManager
{
// Creates the camera of that window and appends it.
Camera& CreateCamera(std::size_t windowIndex);
const std::vector<std::unique_ptr<Camera>>& GetCameras();
// Destroys every camera.
void Clear();
} // namespace CameraManager

// The camera being drawn; components and effects read it.
extern Camera* gCurrentCamera;

// Places the first camera at (x, y) with third component `third`, turned counter-clockwise by `degrees`,
// and marks it changed. Does nothing before any camera exists.
void SetMainCamera(float x, float y, float third, float degrees);
