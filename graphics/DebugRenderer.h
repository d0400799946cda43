#pragma once
#include "Math.h"

#include <cstdint>
#include <vector>

class Shader;

// A queued debug line: the matrix that maps the unit line mesh onto the segment and its two colours.
struct DebugLine
{
    Vector4 colourA;
    Vector4 colourB;
    Matrix3 model;
};

// This frame's debug lines and points and the two GL instance buffers they are drawn from.
class DebugRenderer
{
  public:
    static constexpr std::uint32_t kLineStride = 68;
    static constexpr std::uint32_t kPointStride = 56;

    explicit DebugRenderer(Shader* shader);
    ~DebugRenderer();
    DebugRenderer(const DebugRenderer&) = delete;
    DebugRenderer& operator=(const DebugRenderer&) = delete;

    // Queues the segment from p to q in one colour.
    void AddLine(const Vector2& p, const Vector2& q, const Vector4& colour);
    // Queues a point of that size in pixels.
    void AddPoint(const Vector2& position, float size, const Vector4& colour);

    // Draws the queued lines, then the queued points, with the camera's matrix.
    void DrawLines(const Matrix3& worldScreen);
    void DrawPoints(const Matrix3& worldScreen);
    // Empties both queues.
    void Clear();

    std::uint32_t GetLineCount() const { return static_cast<std::uint32_t>(lines.size()); }
    std::uint32_t GetPointCount() const { return static_cast<std::uint32_t>(pointMatrices.size()); }
    std::uint32_t GetLineCapacity() const { return lineCapacity; }
    const std::vector<DebugLine>& GetLines() const { return lines; }

  private:
    Shader* shader = nullptr;
    std::vector<DebugLine> lines;
    std::vector<std::uint8_t> lineStaging;
    std::uint32_t lineCapacity = 0;
    std::uint32_t lineBuffer = 0;
    std::uint64_t lineBufferBytes = 0;
    std::vector<Matrix3> pointMatrices;
    std::vector<float> pointSizes;
    std::vector<Vector4> pointColours;
    std::vector<std::uint8_t> pointStaging;
    std::uint32_t pointBuffer = 0;
    std::uint32_t pointBufferBytes = 0;
};
