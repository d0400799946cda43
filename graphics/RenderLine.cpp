#include "RenderLine.h"

#include "Graphics.h"
#include "Mesh.h"
#include "RenderStats.h"
#include "Shader.h"
#include "ShaderData.h"
#include "TextureManager.h"

#include <glad/gl.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <iostream>
#include <string>

namespace
{
// Per-instance inputs live at locations 2 up; the quad mesh owns 0 and 1.
constexpr GLuint kFirstInstanceLocation = 2;
constexpr GLuint kLastInstanceLocation = 15;

// The items of a batch come in depth order, so their data lie scattered: walks over them ask for each
// one's holder a few steps ahead and for what it points at a step later, so they rarely wait on memory.
constexpr std::size_t kHolderAhead = 16;
constexpr std::size_t kBytesAhead = 8;

// The place of a submission whose item has left the batch.
constexpr std::uint32_t kNoPlace = 0xFFFFFFFFu;

// Depth functions that reject nearer fragments would hide every later draw; they draw as GL_ALWAYS.
GLenum UsableDepthFunction(std::uint32_t stored)
{
    switch (stored)
    {
    case GL_NEVER:
    case GL_EQUAL:
    case GL_GREATER:
    case GL_GEQUAL:
        return GL_ALWAYS;
    default:
        return IsDepthFunction(stored) ? stored : GL_LESS;
    }
}

// A NaN depth would break the ordering the sort relies on; it sorts as 0.
float SortDepth(float depth)
{
    return std::isnan(depth) ? 0.0f : depth;
}

const void* OffsetPointer(std::uint64_t offset)
{
    return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(offset));
}

// The 32-bit word at the offset of the bytes staged for an item: its first `staged` bytes, then zeros.
inline std::uint32_t StagedWord(const std::vector<std::uint8_t>& data, std::uint64_t offset, std::size_t staged)
{
    std::uint32_t word = 0;
    if (offset + sizeof(word) <= staged)
        std::memcpy(&word, data.data() + offset, sizeof(word));
    else if (offset < staged)
        std::memcpy(&word, data.data() + offset, staged - offset);
    return word;
}
} // namespace

RenderLine::RenderLine(std::int32_t lineOrder, Shader* lineShader, const MaterialRenderState& state)
    : order(lineOrder), shader(lineShader), renderState(state), stride(lineShader->GetTemplate().stride)
{
    if (!shader->IsUsable())
        return;
    glGenBuffers(1, &instanceBuffer);
    shader->Use();
    shader->SetSamplerUnits();
    const GLuint program = shader->GetProgram();
    drawOrdinalUniform = glGetUniformLocation(program, kDrawOrdinal);
    for (const ShaderAttribute& attribute : shader->GetTemplate().attributes)
    {
        if (attribute.type != satUInt || runInputs.size() == kMaxRunInputs)
            continue;
        const std::string uniformName = attribute.name + kRunUnitSuffix;
        const GLint uniform = glGetUniformLocation(program, uniformName.c_str());
        if (uniform >= 0)
            runInputs.push_back({static_cast<std::uint32_t>(attribute.dataOffset), uniform});
    }
}

RenderLine::~RenderLine()
{
    for (ShaderData* item : items)
        if (item != nullptr)
            item->LeaveLine(this);
    if (instanceBuffer != 0)
        glDeleteBuffers(1, &instanceBuffer);
}

void RenderLine::Add(ShaderData* data)
{
    const auto submission = static_cast<std::uint32_t>(places.size());
    data->EnterSlot(this, submission);
    places.push_back(static_cast<std::uint32_t>(items.size()));
    submissions.push_back(submission);
    items.push_back(data);
    ++instanceCount;
}

ShaderData** RenderLine::SlotOf(std::uint32_t submission)
{
    if (submission >= places.size() || places[submission] >= items.size())
        return nullptr;
    return &items[places[submission]];
}

void RenderLine::Forget(std::uint32_t submission, const ShaderData* data)
{
    ShaderData** slot = SlotOf(submission);
    if (slot == nullptr || *slot != data)
        return;
    *slot = nullptr;
    --instanceCount;
    ++forgotten;
}

void RenderLine::Withdraw(ShaderData* data)
{
    if (data->firstSlot.line == this)
        Forget(data->firstSlot.submission, data);
    for (const ShaderData::BatchSlot& slot : data->moreSlots)
        if (slot.line == this)
            Forget(slot.submission, data);
    data->LeaveLine(this);
}

void RenderLine::Repoint(std::uint32_t submission, const ShaderData* from, ShaderData* to)
{
    ShaderData** slot = SlotOf(submission);
    if (slot != nullptr && *slot == from)
        *slot = to;
}

void RenderLine::DropForgotten()
{
    if (forgotten == 0)
        return;
    std::size_t kept = 0;
    for (std::size_t index = 0; index < items.size(); ++index)
    {
        if (items[index] == nullptr)
        {
            places[submissions[index]] = kNoPlace;
            continue;
        }
        items[kept] = items[index];
        submissions[kept] = submissions[index];
        places[submissions[kept]] = static_cast<std::uint32_t>(kept);
        ++kept;
    }
    items.resize(kept);
    submissions.resize(kept);
    forgotten = 0;
}

bool RenderLine::DepthsAsLastSorted() const
{
    if (sortedDepths.size() != items.size())
        return false;
    for (std::size_t index = 0; index < items.size(); ++index)
    {
        // Only the depth is read, from data lying wherever its holder put it: asked for ahead.
        if (index + kHolderAhead < items.size())
            __builtin_prefetch(&items[index + kHolderAhead]->depth);
        if (SortDepth(items[index]->depth) != sortedDepths[index])
            return false;
    }
    return true;
}

void RenderLine::SortByDepth()
{
    DropForgotten();
    // The order depends only on the depths in submission order: a frame that repeats the last sorted
    // one's depths (a still scene) takes its order again instead of sorting.
    if (!DepthsAsLastSorted())
    {
        sortedDepths.clear();
        for (const ShaderData* item : items)
            sortedDepths.push_back(SortDepth(item->depth));
        sortKeys.clear();
        if (!std::is_sorted(sortedDepths.begin(), sortedDepths.end(), std::greater<float>()))
        {
            // Equal depths keep their submission order; sorting (depth, index) keys in a kept buffer gives
            // that without the allocation of a stable sort.
            for (std::size_t index = 0; index < items.size(); ++index)
                sortKeys.push_back({sortedDepths[index], static_cast<std::uint32_t>(index)});
            std::sort(sortKeys.begin(), sortKeys.end(), [](const SortKey& a, const SortKey& b) {
                return a.depth != b.depth ? a.depth > b.depth : a.index < b.index;
            });
        }
    }
    // No keys: the submission order is already deepest first.
    if (sortKeys.empty())
        return;
    // Only the batch's own lists move: the data keep their submission numbers.
    sortedItems.clear();
    sortedSubmissions.clear();
    for (const SortKey& key : sortKeys)
    {
        places[submissions[key.index]] = static_cast<std::uint32_t>(sortedItems.size());
        sortedItems.push_back(items[key.index]);
        sortedSubmissions.push_back(submissions[key.index]);
    }
    items.swap(sortedItems);
    submissions.swap(sortedSubmissions);
}

void RenderLine::Reset()
{
    for (ShaderData* item : items)
        if (item != nullptr)
            item->LeaveLine(this);
    items.clear();
    submissions.clear();
    places.clear();
    forgotten = 0;
    instanceCount = 0;
}

void RenderLine::ApplyRenderState() const
{
    const BlendMode& blend =
        kBlendModes[std::min<std::size_t>(renderState.blendMode, kBlendModes.size() - 1)];
    glBlendFunc(blend.source, blend.destination);
    glDepthMask(renderState.writeDepth ? GL_TRUE : GL_FALSE);
    glDepthFunc(UsableDepthFunction(renderState.depthTest));
}

void RenderLine::Draw(const Matrix3& worldScreen, DepthSlice& slice)
{
    DropForgotten();
    if (instanceCount == 0 || !shader->IsUsable())
        return;
    ApplyRenderState();
    shader->Use();
    shader->SetMatrix3(kWorldScreen, worldScreen);
    shader->SetFloat(kOrdinalStep, slice.step);
    drawWorldScreen = worldScreen;
    glBindVertexArray(Mesh::GetQuad().CurrentVertexArray());
    // Effects bind their own textures outside the unit table, so every unit starts from nothing.
    TextureManager::UnbindAllUnits();
    glBindBuffer(GL_ARRAY_BUFFER, instanceBuffer);

    const std::uint32_t rangeBase = slice.next;
    if (!DrawWithLastTextures(slice))
        DrawCollectingTextures(slice);
    slice.next = rangeBase + instanceCount;
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

void RenderLine::DrawCollectingTextures(DepthSlice& slice)
{
    CollectTextureIds();
    if (textureIds.size() <= static_cast<std::size_t>(TextureManager::kUnitCount))
    {
        std::sort(textureIds.begin(), textureIds.end());
        for (std::uint32_t id : textureIds)
            TextureManager::BindToUnit(TextureManager::GetTextureById(id));
        DrawRange(0, items.size(), slice);
        return;
    }
    std::size_t start = 0;
    for (std::size_t index = 0; index < items.size(); ++index)
    {
        if (BindItemTextures(*items[index]) || start == index)
            continue;
        // The units are full: draw what is pending and take this item again on empty units.
        DrawRange(start, index, slice);
        TextureManager::UnbindAllUnits();
        start = index;
        BindItemTextures(*items[index]);
    }
    DrawRange(start, items.size(), slice);
}

bool RenderLine::DrawWithLastTextures(DepthSlice& slice)
{
    // A batch nearly always draws the textures it drew last frame. Those are bound as collecting would
    // bind them, and the staging pass checks that this frame's items use exactly them; otherwise the
    // units are emptied and the batch is drawn the long way, as if this had not been tried.
    if (textureIds.size() > static_cast<std::size_t>(TextureManager::kUnitCount))
        return false;
    std::uint32_t boundUnits = 0;
    for (std::uint32_t id : textureIds)
    {
        Texture* texture = TextureManager::FindTextureById(id);
        if (texture == nullptr)
        {
            TextureManager::UnbindAllUnits();
            return false;
        }
        TextureManager::BindToUnit(*texture);
        boundUnits |= std::uint32_t{1} << texture->unit;
    }
    if (DrawRange(0, items.size(), slice, &boundUnits))
        return true;
    TextureManager::UnbindAllUnits();
    return false;
}

void RenderLine::CollectTextureIds()
{
    // Taken when drawing rather than at submission, so a texture rebound after submitting is drawn.
    // Collecting stops once the ids outnumber the units: the split path binds item by item anyway.
    textureIds.clear();
    std::uint32_t lastId = Texture::kNoUnit;
    for (std::size_t index = 0; index < items.size(); ++index)
    {
        // The items lie scattered (depth order): their holders and binding lists are asked for ahead.
        if (index + kHolderAhead < items.size())
            __builtin_prefetch(&items[index + kHolderAhead]->textureBindings);
        if (index + kBytesAhead < items.size())
            __builtin_prefetch(items[index + kBytesAhead]->textureBindings.data());
        for (const TextureBinding& binding : items[index]->textureBindings)
        {
            if (binding.texture == nullptr || binding.texture->id == lastId)
                continue;
            lastId = binding.texture->id;
            if (std::find(textureIds.begin(), textureIds.end(), lastId) != textureIds.end())
                continue;
            textureIds.push_back(lastId);
            if (textureIds.size() > static_cast<std::size_t>(TextureManager::kUnitCount))
                return;
        }
    }
}

bool RenderLine::BindItemTextures(const ShaderData& item)
{
    // An item with more textures than units is drawn with those that fit.
    for (const TextureBinding& binding : item.textureBindings)
    {
        if (binding.texture == nullptr || binding.texture->HasUnit())
            continue;
        if (!TextureManager::HasFreeUnit())
            return false;
        TextureManager::BindToUnit(*binding.texture);
    }
    return true;
}

bool RenderLine::DrawRange(std::size_t first, std::size_t last, DepthSlice& slice,
                           const std::uint32_t* boundUnits)
{
    if (first == last)
        return true;
    const auto stagingStart = std::chrono::steady_clock::now();
    const std::uint32_t bytes = stride * static_cast<std::uint32_t>(last - first);
    if (bytes > bufferCapacity)
    {
        bufferCapacity = 2 * bytes;
        glBufferData(GL_ARRAY_BUFFER, bufferCapacity, nullptr, GL_DYNAMIC_DRAW);
    }
    // The instances are written straight into the buffer; the previous range's contents are not needed,
    // so the driver need not wait for a draw still reading them. A driver that cannot map gets a copy.
    auto* mapped = static_cast<std::uint8_t*>(
        glMapBufferRange(GL_ARRAY_BUFFER, 0, bytes, GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_BUFFER_BIT));
    if (mapped == nullptr && staging.size() < bytes)
        staging.resize(bytes);
    if (!StageRange(first, last, mapped != nullptr ? mapped : staging.data(), boundUnits))
    {
        if (mapped != nullptr)
            glUnmapBuffer(GL_ARRAY_BUFFER);
        return false;
    }
    if (mapped == nullptr || glUnmapBuffer(GL_ARRAY_BUFFER) == GL_FALSE)
    {
        // An unmap that lost the contents (a display mode change) is written again through the copy.
        if (staging.size() < bytes)
            staging.resize(bytes);
        if (mapped != nullptr)
            StageRange(first, last, staging.data(), nullptr);
        glBufferSubData(GL_ARRAY_BUFFER, 0, bytes, staging.data());
    }
    RenderStats& stats = GetRenderStats();
    stats.stagingSeconds +=
        std::chrono::duration<double>(std::chrono::steady_clock::now() - stagingStart).count();
    SetVertexInputs();
    const bool mostlyShortRuns = runs.size() > kMostRuns && last - first < kShortRun * runs.size();
    if (runInputs.empty())
        DrawPart(first, first, last, slice);
    else if (!mostlyShortRuns || !DrawEachInstanceChoosing(first, last, slice))
        DrawRuns(first, last, slice);
    ++stats.instancedDraws;
    stats.instances += static_cast<std::uint64_t>(last - first);
    stats.bytesUploaded += bytes;
    return true;
}

void RenderLine::DrawRuns(std::size_t first, std::size_t last, DepthSlice& slice)
{
    for (std::size_t run = 0; run < runs.size(); ++run)
    {
        const std::size_t runFirst = runs[run].first;
        const std::size_t runLast = run + 1 < runs.size() ? runs[run + 1].first : last;
        for (std::size_t input = 0; input < runInputs.size(); ++input)
            glUniform1ui(runInputs[input].uniform, runs[run].units[input]);
        DrawPart(first, runFirst, runLast, slice);
    }
    GetRenderStats().unitRuns += runs.size();
}

void RenderLine::DrawPart(std::size_t first, std::size_t partFirst, std::size_t partLast, DepthSlice& slice)
{
    // Instance numbers start again at each draw's first instance; the ordinal carries where it starts.
    glUniform1i(drawOrdinalUniform, static_cast<GLint>(slice.next + partFirst));
    DrawIndexed(GL_TRIANGLES, 6, static_cast<GLsizei>(partLast - partFirst),
                static_cast<std::uint32_t>(partFirst - first));
}

bool RenderLine::DrawEachInstanceChoosing(std::size_t first, std::size_t last, DepthSlice& slice)
{
    if (!perInstanceLookedUp && gGraphics != nullptr)
    {
        perInstanceLookedUp = true;
        Shader* companion = gGraphics->GetShader(shader->GetName() + kPerInstanceSuffix);
        // The staged bytes are laid out for this batch's shader: the companion must read them alike.
        const auto& own = shader->GetTemplate().attributes;
        const auto& its = companion->GetTemplate().attributes;
        const bool alike = companion->IsUsable() && companion->GetTemplate().stride == stride &&
                           std::equal(own.begin(), own.end(), its.begin(), its.end(),
                                      [](const ShaderAttribute& a, const ShaderAttribute& b) {
                                          return a.name == b.name && a.location == b.location &&
                                                 a.dataOffset == b.dataOffset && a.type == b.type;
                                      });
        if (alike)
        {
            perInstanceShader = companion;
            companion->Use();
            companion->SetSamplerUnits();
        }
    }
    if (perInstanceShader == nullptr)
        return false;
    perInstanceShader->Use();
    perInstanceShader->SetMatrix3(kWorldScreen, drawWorldScreen);
    perInstanceShader->SetFloat(kOrdinalStep, slice.step);
    perInstanceShader->SetInt(kDrawOrdinal, static_cast<std::int32_t>(slice.next + first));
    DrawIndexed(GL_TRIANGLES, 6, static_cast<GLsizei>(last - first));
    shader->Use();
    return true;
}

bool RenderLine::StageRange(std::size_t first, std::size_t last, std::uint8_t* target,
                            const std::uint32_t* boundUnits)
{
    std::uint32_t usedUnits = 0;
    runs.clear();
    for (std::size_t index = first; index < last; ++index, target += stride)
    {
        if (index + kHolderAhead < last)
            __builtin_prefetch(items[index + kHolderAhead]);
        if (index + kBytesAhead < last)
        {
            const ShaderData& ahead = *items[index + kBytesAhead];
            __builtin_prefetch(ahead.data.data());
            __builtin_prefetch(ahead.textureBindings.data());
        }
        ShaderData& item = *items[index];
        for (const TextureBinding& binding : item.textureBindings)
        {
            if (binding.texture == nullptr || !binding.texture->HasUnit())
            {
                // Checking the bound textures: the long way reports it.
                if (boundUnits != nullptr)
                    return false;
                std::cout << "WARNING: Texture is not bound!" << std::endl;
                continue;
            }
            usedUnits |= std::uint32_t{1} << binding.texture->unit;
            if (binding.dataOffset + sizeof(std::uint32_t) <= item.data.size())
                std::memcpy(item.data.data() + binding.dataOffset, &binding.texture->unit,
                            sizeof(std::uint32_t));
        }
        // Data shorter than the batch's stride (a material of another layout) is padded with zeros.
        const std::size_t bytes = std::min<std::size_t>(stride, item.data.size());
        std::memcpy(target, item.data.data(), bytes);
        std::memset(target + bytes, 0, stride - bytes);
        if (runInputs.empty())
            continue;
        // The units the instance's bytes name, as the shader reads them.
        std::array<std::uint32_t, kMaxRunInputs> units{};
        for (std::size_t input = 0; input < runInputs.size(); ++input)
            units[input] = StagedWord(item.data, runInputs[input].dataOffset, bytes);
        if (runs.empty() || runs.back().units != units)
            runs.push_back({index, units});
    }
    return boundUnits == nullptr || usedUnits == *boundUnits;
}

void RenderLine::SetVertexInputs() const
{
    // Locations this shader does not use are switched off, or the shared quad would keep reading the
    // arrays of the batch drawn before.
    bool used[kLastInstanceLocation + 1] = {};
    const auto glStride = static_cast<GLsizei>(stride);
    for (const ShaderAttribute& attribute : shader->GetTemplate().attributes)
    {
        const GLuint location = attribute.location;
        switch (attribute.type)
        {
        case satVector2:
        case satVector3:
        case satVector4:
        case satFloat:
        {
            const GLint components = static_cast<GLint>(AttributeSize(attribute.type) / 4);
            glVertexAttribPointer(location, components, GL_FLOAT, GL_FALSE, glStride,
                                  OffsetPointer(attribute.dataOffset));
            break;
        }
        case satInt:
            glVertexAttribIPointer(location, 1, GL_INT, glStride, OffsetPointer(attribute.dataOffset));
            break;
        case satUInt:
            glVertexAttribIPointer(location, 1, GL_UNSIGNED_INT, glStride,
                                   OffsetPointer(attribute.dataOffset));
            break;
        case satMatrix3:
            for (GLuint column = 0; column < 3; ++column)
            {
                glVertexAttribPointer(location + column, 3, GL_FLOAT, GL_FALSE, glStride,
                                      OffsetPointer(attribute.dataOffset + 12 * column));
                glEnableVertexAttribArray(location + column);
                glVertexAttribDivisor(location + column, 1);
                if (location + column <= kLastInstanceLocation)
                    used[location + column] = true;
            }
            continue;
        default:
            std::cout << "ERROR: Unknown type: " << attribute.type << std::endl;
            continue;
        }
        glEnableVertexAttribArray(location);
        glVertexAttribDivisor(location, 1);
        if (location <= kLastInstanceLocation)
            used[location] = true;
    }
    for (GLuint location = kFirstInstanceLocation; location <= kLastInstanceLocation; ++location)
        if (!used[location])
            glDisableVertexAttribArray(location);
}
