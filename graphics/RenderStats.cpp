#include "RenderStats.h"

#include <glad/gl.h>

RenderStats& GetRenderStats()
{
    static RenderStats stats;
    return stats;
}

void DrawIndexed(std::uint32_t primitive, std::int32_t indexCount, std::int32_t instances)
{
    if (instances > 0)
        glDrawElementsInstanced(primitive, indexCount, GL_UNSIGNED_INT, nullptr, instances);
    else
        glDrawElements(primitive, indexCount, GL_UNSIGNED_INT, nullptr);
    ++GetRenderStats().drawCalls;
}
