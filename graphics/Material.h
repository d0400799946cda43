#pragma once
#include "MaterialRenderState.h"
#include "ShaderData.h"

#include <cstdint>
#include <memory>
#include <string>

class Shader;
class RenderLine;

// What a drawing component owns and submits every frame: a shader, a layer order, a render state and one
// instance's inputs. Submitting appends the inputs to the batch shared by every material of the same
// order, shader and render state.
class Material
{
  public:
    Material() = default;
    // Copies the shader's input template; no batch yet.
    Material(const std::string& name, Shader* shader, std::int32_t order, const MaterialRenderState& state);
    // Shares the batch; a copy without one must register. A copy is not submitted.
    Material(const Material& other);
    Material& operator=(const Material& other);
    // As a copy, but a pending submission moves along with the data.
    Material(Material&& other) noexcept;
    Material& operator=(Material&& other) noexcept;
    ~Material() = default;

    // Appends this frame's instance to the batch, registering first when needed. The batch points at
    // `data` until the frame is drawn; a material destroyed before then is simply not drawn.
    void Submit();
    // Registers when marked or when the batch was dropped; Submit does this first.
    void UpdateRegistration();
    // Finds or creates the batch of this material's order, shader and render state. A material that moves
    // to another batch takes its pending instance out of the old one.
    void Register();

    std::int32_t GetOrder() const { return order; }
    const MaterialRenderState& GetRenderState() const { return renderState; }
    // The batch key's setters: each marks the material, so its next submission moves it to the batch of
    // the new key.
    void SetOrder(std::int32_t newOrder);
    void SetRenderState(const MaterialRenderState& newState);
    void SetBlendMode(std::uint32_t blendMode);
    void SetSortByDepth(bool sortByDepth);
    void SetWriteDepth(bool writeDepth);
    void SetDepthTest(std::uint32_t depthTest);

    bool needsRegistration = true;
    std::string name;
    Shader* shader = nullptr;
    std::shared_ptr<RenderLine> batch;
    ShaderData data;

  private:
    std::int32_t order = 0;
    MaterialRenderState renderState;
};
