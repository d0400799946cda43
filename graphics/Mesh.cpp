#include "Mesh.h"

#include "Camera.h"

#include <glad/gl.h>

#include <map>

namespace
{
std::vector<MeshDescription> gDescriptions;
std::map<void*, std::vector<MeshRecord>> gRecords;

void BuildCopy(MeshRecord& record, int copy)
{
    const MeshDescription& mesh = *record.description;
    glBindVertexArray(record.vertexArrays[copy]);
    glBindBuffer(GL_ARRAY_BUFFER, record.vertexBuffers[copy]);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(mesh.vertices.size() * sizeof(float)),
                 mesh.vertices.data(), GL_STATIC_DRAW);
    constexpr GLsizei kVertexStride = 5 * sizeof(float);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, kVertexStride, nullptr);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, kVertexStride, reinterpret_cast<const void*>(12));
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, record.indexBuffers[copy]);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(mesh.indices.size() * sizeof(std::uint32_t)), mesh.indices.data(),
                 GL_STATIC_DRAW);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

std::vector<MeshRecord>& RecordsOfCurrentContext()
{
    void* context = gCurrentCamera != nullptr ? gCurrentCamera->windowContext : nullptr;
    auto found = gRecords.find(context);
    if (found != gRecords.end())
        return found->second;
    std::vector<MeshRecord>& records = gRecords[context];
    for (const MeshDescription& description : gDescriptions)
    {
        MeshRecord record;
        record.description = &description;
        glGenVertexArrays(2, record.vertexArrays);
        glGenBuffers(2, record.vertexBuffers);
        glGenBuffers(2, record.indexBuffers);
        BuildCopy(record, 0);
        BuildCopy(record, 1);
        records.push_back(record);
    }
    return records;
}
} // namespace

namespace Mesh
{
void Init()
{
    gDescriptions = {
        {{0.5f, 0.5f, 1, 1, 0, 0.5f, -0.5f, 1, 1, 1, -0.5f, -0.5f, 1, 0, 1, -0.5f, 0.5f, 1, 0, 0},
         {0, 3, 1, 1, 2, 3}},
        {{-0.5f, 0, 1, 0, 0, 0.5f, 0, 1, 1, 1}, {0, 1}},
        {{0, 0, 1, 0, 0}, {0}},
    };
}

void Shutdown()
{
    // Only the current context's objects can be deleted; the others die with their contexts.
    void* context = gCurrentCamera != nullptr ? gCurrentCamera->windowContext : nullptr;
    auto current = gRecords.find(context);
    if (current != gRecords.end())
        for (MeshRecord& record : current->second)
        {
            glDeleteVertexArrays(2, record.vertexArrays);
            glDeleteBuffers(2, record.vertexBuffers);
            glDeleteBuffers(2, record.indexBuffers);
        }
    gRecords.clear();
    gDescriptions.clear();
}

MeshRecord& GetQuad()
{
    return RecordsOfCurrentContext().at(0);
}

MeshRecord& GetLine()
{
    return RecordsOfCurrentContext().at(1);
}

MeshRecord& GetPoint()
{
    return RecordsOfCurrentContext().at(2);
}

std::size_t GetContextCount()
{
    return gRecords.size();
}

void FlipAll()
{
    for (auto& [context, records] : gRecords)
        for (MeshRecord& record : records)
            record.current = (record.current - 1) & 1u;
}
} // namespace Mesh
