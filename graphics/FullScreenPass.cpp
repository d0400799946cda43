#include "FullScreenPass.h"

#include "Camera.h"
#include "Graphics.h"
#include "Mesh.h"
#include "RenderStats.h"
#include "Shader.h"

#include <glad/gl.h>

void SetReplaceState()
{
    glBlendFunc(GL_ONE, GL_ZERO);
    glDepthMask(GL_FALSE);
    glDepthFunc(GL_ALWAYS);
}

void BindImage(std::uint32_t glTexture)
{
    glBindTexture(GL_TEXTURE_2D, glTexture);
}

void DrawQuadOnce()
{
    glBindVertexArray(Mesh::GetQuad().CurrentVertexArray());
    DrawIndexed(GL_TRIANGLES, 6);
}

void CopyPreviousImage(Camera& camera)
{
    Shader* copy = gGraphics != nullptr ? gGraphics->GetPresentingShader() : nullptr;
    if (copy == nullptr || !copy->IsUsable())
    {
        return;
    }
    SetReplaceState();
    glActiveTexture(GL_TEXTURE0);
    BindImage(camera.GetPreviousTarget().GetColourTexture());
    copy->Use();
    copy->SetInt("tex", 0);
    DrawQuadOnce();
}
