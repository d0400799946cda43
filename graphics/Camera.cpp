#include "Camera.h"

#include "Mesh.h"
#include "RenderStats.h"
#include "Shader.h"
#include "WindowAccess.h"

#include <glad/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

Camera* gCurrentCamera = nullptr;

namespace
{
std::vector<std::unique_ptr<Camera>> gCameras;
}

Matrix3 InverseMatrix(const Matrix3& a)
{
    const float c00 = a(1, 1) * a(2, 2) - a(1, 2) * a(2, 1);
    const float c01 = a(1, 2) * a(2, 0) - a(1, 0) * a(2, 2);
    const float c02 = a(1, 0) * a(2, 1) - a(1, 1) * a(2, 0);
    const float determinant = a(0, 0) * c00 + a(0, 1) * c01 + a(0, 2) * c02;
    if (determinant == 0.0f || !std::isfinite(determinant))
        return Matrix3();
    const float s = 1.0f / determinant;
    Matrix3 r;
    r(0, 0) = c00 * s;
    r(1, 0) = c01 * s;
    r(2, 0) = c02 * s;
    r(0, 1) = (a(0, 2) * a(2, 1) - a(0, 1) * a(2, 2)) * s;
    r(1, 1) = (a(0, 0) * a(2, 2) - a(0, 2) * a(2, 0)) * s;
    r(2, 1) = (a(0, 1) * a(2, 0) - a(0, 0) * a(2, 1)) * s;
    r(0, 2) = (a(0, 1) * a(1, 2) - a(0, 2) * a(1, 1)) * s;
    r(1, 2) = (a(0, 2) * a(1, 0) - a(0, 0) * a(1, 2)) * s;
    r(2, 2) = (a(0, 0) * a(1, 1) - a(0, 1) * a(1, 0)) * s;
    return r;
}

Camera::Camera(std::size_t index, void* context) : windowIndex(index), windowContext(context)
{
    const auto w = static_cast<std::uint32_t>(width);
    const auto h = static_cast<std::uint32_t>(height);
    // No alpha: "Additive" blending reads a destination alpha of 1 from these targets.
    targets[0] = std::make_unique<Framebuffer>(w, h, false, false);
    targets[1] = std::make_unique<Framebuffer>(w, h, false, false);
    extraTarget = std::make_unique<Framebuffer>(w, h, false, false);
}

void Camera::SetPosition(float x, float y)
{
    position = Vector3(x, y, 1.0f);
    dirty = true;
}

void SetMainCamera(float x, float y, float third, float degrees)
{
    const auto& cameras = CameraManager::GetCameras();
    if (cameras.empty())
        return;
    Camera& camera = *cameras.front();
    const float radians = degrees * 3.1415927f / 180.0f;
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    camera.position = Vector3(x, y, third);
    camera.right = Vector3(c, s, 0.0f);
    camera.up = Vector3(-s, c, 0.0f);
    camera.dirty = true;
}

const Matrix3& Camera::GetWorldScreen()
{
    if (!dirty)
        return worldScreen;
    // The camera's right, up and position are the stored columns of its matrix.
    const float columns[9] = {right.x, right.y,    right.z,    up.x,      up.y,
                              up.z,    position.x, position.y, position.z};
    std::copy(columns, columns + 9, cameraMatrix.m);
    Matrix3 projection;
    projection(0, 0) = 2.0f / (viewHeight * aspect);
    projection(1, 1) = 2.0f / viewHeight;
    worldScreen = projection * InverseMatrix(cameraMatrix);
    dirty = false;
    return worldScreen;
}

void Camera::Present(const Shader& presentingShader)
{
    glActiveTexture(GL_TEXTURE0);
    Framebuffer& lastWritten = GetCurrentTarget();
    FlipPingPong();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);

    viewHeight = std::max(kMinViewWidth / aspect, kMinViewHeight);
    dirty = true;

    int windowWidth = 0;
    int windowHeight = 0;
    GetWindowAccess().size(windowIndex, windowWidth, windowHeight);
    if (windowWidth <= 0 || windowHeight <= 0)
    {
        // A window of no size would give a NaN aspect and incomplete targets: keep the last size.
        std::printf("WARNING: Camera window does not exist anymore! WindowIndex = %zu\n", windowIndex);
    }
    else
    {
        width = windowWidth;
        height = windowHeight;
        const auto w = static_cast<std::uint32_t>(width);
        const auto h = static_cast<std::uint32_t>(height);
        targets[0]->Resize(w, h, false);
        targets[1]->Resize(w, h, false);
        extraTarget->Resize(w, h, false);
        aspect = static_cast<float>(width) / static_cast<float>(height);
    }

    glViewport(static_cast<GLint>(static_cast<float>(width) * viewport[0]),
               static_cast<GLint>(static_cast<float>(height) * viewport[1]),
               static_cast<GLsizei>(static_cast<float>(width) * viewport[2]),
               static_cast<GLsizei>(static_cast<float>(height) * viewport[3]));
    glDepthMask(GL_TRUE);
    glClear(GL_DEPTH_BUFFER_BIT);
    glBlendFunc(GL_ONE, GL_ZERO);
    glDepthMask(GL_FALSE);
    glDepthFunc(GL_ALWAYS);

    if (!presentingShader.IsUsable())
        return;
    glBindTexture(GL_TEXTURE_2D, lastWritten.GetColourTexture());
    presentingShader.Use();
    presentingShader.SetInt("tex", 0);
    glBindVertexArray(Mesh::GetQuad().CurrentVertexArray());
    DrawIndexed(GL_TRIANGLES, 6);
    glBindVertexArray(0);
}

namespace CameraManager
{
Camera& CreateCamera(std::size_t windowIndex)
{
    gCameras.push_back(std::make_unique<Camera>(windowIndex, GetWindowAccess().context(windowIndex)));
    return *gCameras.back();
}

const std::vector<std::unique_ptr<Camera>>& GetCameras()
{
    return gCameras;
}

void Clear()
{
    gCurrentCamera = nullptr;
    gCameras.clear();
}
} // namespace CameraManager
