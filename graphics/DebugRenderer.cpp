#include "DebugRenderer.h"

#include "Mesh.h"
#include "RenderStats.h"
#include "Shader.h"

#include <glad/gl.h>

#include <cstring>

namespace
{
constexpr std::uint32_t kMatrixBytes = 36;
constexpr std::uint32_t kColourBytes = 16;

const void* OffsetPointer(std::uint64_t offset)
{
    return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(offset));
}

void InstanceInput(GLuint location, GLint components, GLsizei stride, std::uint64_t offset)
{
    glVertexAttribPointer(location, components, GL_FLOAT, GL_FALSE, stride, OffsetPointer(offset));
    glEnableVertexAttribArray(location);
    glVertexAttribDivisor(location, 1);
}

void PutColour(std::uint8_t* at, const Vector4& colour)
{
    const float values[4] = {colour.x, colour.y, colour.z, colour.w};
    std::memcpy(at, values, sizeof(values));
}
} // namespace

DebugRenderer::DebugRenderer(Shader* debugShader) : shader(debugShader)
{
    glGenBuffers(1, &lineBuffer);
    glGenBuffers(1, &pointBuffer);
}

DebugRenderer::~DebugRenderer()
{
    glDeleteBuffers(1, &lineBuffer);
    glDeleteBuffers(1, &pointBuffer);
}

void DebugRenderer::AddLine(const Vector2& p, const Vector2& q, const Vector4& colour)
{
    const Vector2 d = q - p;
    const Vector2 middle = p + d * 0.5f;
    DebugLine line{colour, colour, Matrix3()};
    // Columns: the direction, its perpendicular and the midpoint, so the unit line runs from p to q.
    const float columns[9] = {d.x, d.y, 0.0f, -d.y, d.x, 0.0f, middle.x, middle.y, 1.0f};
    std::memcpy(line.model.m, columns, sizeof(columns));
    lines.push_back(line);
}

void DebugRenderer::AddPoint(const Vector2& position, float size, const Vector4& colour)
{
    pointMatrices.push_back(TranslationMatrix(position.x, position.y));
    pointSizes.push_back(size);
    pointColours.push_back(colour);
}

void DebugRenderer::DrawLines(const Matrix3& worldScreen)
{
    const auto count = static_cast<std::uint32_t>(lines.size());
    if (count == 0 || !shader->IsUsable())
        return;
    bool reallocate = false;
    if (count > lineCapacity)
    {
        lineCapacity = 2 * count;
        lineBufferBytes = static_cast<std::uint64_t>(kLineStride) * lineCapacity;
        reallocate = true;
    }
    // Two regions: every matrix from byte 0, then every colour pair from capacity x 36.
    lineStaging.resize(static_cast<std::size_t>(lineBufferBytes));
    const std::uint64_t colourRegion = static_cast<std::uint64_t>(lineCapacity) * kMatrixBytes;
    for (std::uint32_t index = 0; index < count; ++index)
    {
        std::memcpy(lineStaging.data() + index * kMatrixBytes, lines[index].model.m, kMatrixBytes);
        std::uint8_t* colours = lineStaging.data() + colourRegion + index * 2 * kColourBytes;
        PutColour(colours, lines[index].colourB);
        PutColour(colours + kColourBytes, lines[index].colourA);
    }

    shader->Use();
    shader->SetMatrix3("worldScreen", worldScreen);
    shader->SetInt("renderingPoints", 0);
    glBindVertexArray(Mesh::GetLine().CurrentVertexArray());
    glBindBuffer(GL_ARRAY_BUFFER, lineBuffer);
    if (reallocate)
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(lineBufferBytes), nullptr, GL_DYNAMIC_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(lineBufferBytes), lineStaging.data());
    glDisableVertexAttribArray(1);
    for (GLuint row = 0; row < 3; ++row)
        InstanceInput(2 + row, 3, kMatrixBytes, row * 12);
    glDisableVertexAttribArray(5);
    InstanceInput(6, 4, 2 * kColourBytes, colourRegion);
    InstanceInput(7, 4, 2 * kColourBytes, colourRegion + kColourBytes);
    for (GLuint location = 8; location < 16; ++location)
        glDisableVertexAttribArray(location);
    DrawIndexed(GL_LINES, 2, static_cast<std::int32_t>(count));
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void DebugRenderer::DrawPoints(const Matrix3& worldScreen)
{
    const auto count = static_cast<std::uint32_t>(pointMatrices.size());
    if (count == 0 || !shader->IsUsable())
        return;
    pointStaging.resize(static_cast<std::size_t>(count) * kPointStride);
    for (std::uint32_t index = 0; index < count; ++index)
    {
        std::uint8_t* at = pointStaging.data() + static_cast<std::size_t>(index) * kPointStride;
        std::memcpy(at, pointMatrices[index].m, kMatrixBytes);
        std::memcpy(at + kMatrixBytes, &pointSizes[index], sizeof(float));
        PutColour(at + kMatrixBytes + sizeof(float), pointColours[index]);
    }

    shader->Use();
    shader->SetMatrix3("worldScreen", worldScreen);
    shader->SetInt("renderingPoints", 1);
    glBindVertexArray(Mesh::GetPoint().CurrentVertexArray());
    glBindBuffer(GL_ARRAY_BUFFER, pointBuffer);
    const std::uint32_t bytes = count * kPointStride;
    if (bytes > pointBufferBytes)
    {
        pointBufferBytes = 2 * bytes;
        glBufferData(GL_ARRAY_BUFFER, pointBufferBytes, nullptr, GL_DYNAMIC_DRAW);
    }
    glBufferSubData(GL_ARRAY_BUFFER, 0, bytes, pointStaging.data());
    glDisableVertexAttribArray(1);
    for (GLuint row = 0; row < 3; ++row)
        InstanceInput(2 + row, 3, kPointStride, row * 12);
    InstanceInput(5, 1, kPointStride, kMatrixBytes);
    InstanceInput(6, 4, kPointStride, kMatrixBytes + sizeof(float));
    for (GLuint location = 7; location < 16; ++location)
        glDisableVertexAttribArray(location);
    DrawIndexed(GL_POINTS, 1, static_cast<std::int32_t>(count));
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void DebugRenderer::Clear()
{
    lines.clear();
    lineStaging.clear();
    pointMatrices.clear();
    pointSizes.clear();
    pointColours.clear();
    pointStaging.clear();
}
