#include "RenderStats.h"

#include <glad/gl.h>

RenderStats& GetRenderStats()
{
    static RenderStats stats;
    return stats;
}

void DrawIndexed(std::uint32_t primitive, std::int32_t indexCount, std::int32_t instances,
                 std::uint32_t baseInstance)
{
    if (instances > 0 && baseInstance > 0)
        glDrawElementsInstancedBaseInstance(primitive, indexCount, GL_UNSIGNED_INT, nullptr, instances,
                                            baseInstance);
    else if (instances > 0)
        glDrawElementsInstanced(primitive, indexCount, GL_UNSIGNED_INT, nullptr, instances);
    else
        glDrawElements(primitive, indexCount, GL_UNSIGNED_INT, nullptr);
    ++GetRenderStats().drawCalls;
}
