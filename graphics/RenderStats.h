#pragma once
#include <cstdint>

// Running totals of the renderer's GL work, for benchmarks and tests; never reset by the renderer.
struct RenderStats
{
    // Every GL draw the renderer issues: all of them go through DrawIndexed.
    std::uint64_t drawCalls = 0;
    std::uint64_t instancedDraws = 0;
    std::uint64_t instances = 0;
    std::uint64_t bytesUploaded = 0;
    // Seconds spent writing unit numbers, staging instance bytes and uploading them.
    double stagingSeconds = 0.0;
};

// The process-wide totals.
RenderStats& GetRenderStats();

// Draws indexCount indices of the bound vertex array (unsigned ints from offset 0) as the given GL
// primitive, instanced when instances > 0, and counts the draw. The renderer draws only through here.
void DrawIndexed(std::uint32_t primitive, std::int32_t indexCount, std::int32_t instances = 0);
