#pragma once
#include <cstdint>
#include <vector>

// A built-in mesh as vertex floats (x, y, 1; u, v) and indices.
struct MeshDescription
{
    std::vector<float> vertices;
    std::vector<std::uint32_t> indices;
};

// The GL objects of one mesh in one GL context: two identical copies, the one in use alternating
// every frame.
struct MeshRecord
{
    std::uint32_t vertexArrays[2] = {0, 0};
    std::uint32_t vertexBuffers[2] = {0, 0};
    std::uint32_t indexBuffers[2] = {0, 0};
    const MeshDescription* description = nullptr;
    std::uint32_t current = 0;

    std::uint32_t CurrentVertexArray() const { return vertexArrays[current]; }
};

// The three built-in meshes: the unit quad, the unit line and the point. Vertex arrays belong to one GL
// context, so each context that draws gets its own records, built on first use.
namespace Mesh
{
// Describes the quad, the line and the point.
void Init();
// Deletes every context's GL objects and forgets the descriptions.
void Shutdown();

// The records of the current camera's context (or of no context when there is no camera yet).
MeshRecord& GetQuad();
MeshRecord& GetLine();
MeshRecord& GetPoint();
// Number of contexts that have records.
std::size_t GetContextCount();

// Alternates the copy in use of every record.
void FlipAll();
} // namespace Mesh
