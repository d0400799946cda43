#pragma once
#include <cstdint>

// Running totals of the renderer's GL work, for benchmarks and tests; never reset by the renderer.
struct RenderStats
{
    std::uint64_t drawCalls = 0;
    std::uint64_t instancedDraws = 0;
    std::uint64_t instances = 0;
    std::uint64_t bytesUploaded = 0;
    // Seconds spent writing unit numbers, staging instance bytes and uploading them.
    double stagingSeconds = 0.0;
};

// The process-wide totals.
RenderStats& GetRenderStats();
