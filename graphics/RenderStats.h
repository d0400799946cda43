#pragma once
#include <cstdint>

// Running totals of the renderer's GL work, for benchmarks and tests; never reset by the renderer.
struct RenderStats
{
    // Every GL draw the renderer issues: all of them go through DrawIndexed.
    std::uint64_t drawCalls = 0;
    // Instanced ranges drawn: one per set of textures bound to the units. A range whose shader takes its
    // units per draw is drawn in runs, one draw each (counted in drawCalls).
    std::uint64_t instancedDraws = 0;
    // Runs of consecutive instances naming the same texture units, each drawn on its own.
    std::uint64_t unitRuns = 0;
    std::uint64_t instances = 0;
    std::uint64_t bytesUploaded = 0;
    // Seconds spent writing unit numbers, staging instance bytes and uploading them.
    double stagingSeconds = 0.0;
};

// The process-wide totals.
RenderStats& GetRenderStats();

// Draws indexCount indices of the bound vertex array (unsigned ints from offset 0) as the given GL
// primitive, instanced when instances > 0 (reading per-instance arrays from baseInstance on), and counts
// the draw. The renderer draws only through here.
void DrawIndexed(std::uint32_t primitive, std::int32_t indexCount, std::int32_t instances = 0,
                 std::uint32_t baseInstance = 0);
