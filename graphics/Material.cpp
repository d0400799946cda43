#include "Material.h"

#include "Graphics.h"
#include "RenderLine.h"
#include "Shader.h"

#include <utility>

Material::Material(const std::string& materialName, Shader* materialShader, std::int32_t materialOrder,
                   const MaterialRenderState& state)
    : name(materialName), shader(materialShader), order(materialOrder), renderState(state)
{
    if (shader != nullptr)
        data = shader->GetTemplate();
}

Material::Material(const Material& other)
    : needsRegistration(other.needsRegistration || other.batch == nullptr), name(other.name),
      shader(other.shader), batch(other.batch), data(other.data), order(other.order),
      renderState(other.renderState)
{
}

Material& Material::operator=(const Material& other)
{
    if (this == &other)
        return *this;
    needsRegistration = other.needsRegistration || other.batch == nullptr;
    name = other.name;
    order = other.order;
    shader = other.shader;
    batch = other.batch;
    data = other.data;
    renderState = other.renderState;
    return *this;
}

Material::Material(Material&& other) noexcept
    : needsRegistration(other.needsRegistration || other.batch == nullptr), name(std::move(other.name)),
      shader(other.shader), batch(std::move(other.batch)), data(std::move(other.data)), order(other.order),
      renderState(other.renderState)
{
    other.needsRegistration = true;
}

Material& Material::operator=(Material&& other) noexcept
{
    if (this == &other)
        return *this;
    needsRegistration = other.needsRegistration || other.batch == nullptr;
    name = std::move(other.name);
    order = other.order;
    shader = other.shader;
    batch = std::move(other.batch);
    data = std::move(other.data);
    renderState = other.renderState;
    other.needsRegistration = true;
    return *this;
}

void Material::Submit()
{
    if (gGraphics == nullptr || shader == nullptr)
        return;
    UpdateRegistration();
    if (batch != nullptr)
        batch->Add(&data);
}

void Material::UpdateRegistration()
{
    if (gGraphics == nullptr || shader == nullptr)
        return;
    if (needsRegistration)
    {
        Register();
        needsRegistration = false;
    }
    else if (batch != nullptr && batch->IsDropped())
    {
        batch.reset();
        Register();
    }
}

void Material::Register()
{
    // A dropped batch is never drawn again, and a batch of another shader has another stride.
    if (batch != nullptr && !batch->IsDropped() && batch->GetOrder() == order &&
        batch->GetShader() == shader && batch->GetRenderState() == renderState)
        return;
    if (batch != nullptr)
        batch->Withdraw(&data);
    batch = gGraphics->FindOrCreateBatch(order, shader, renderState);
}

void Material::SetOrder(std::int32_t newOrder)
{
    order = newOrder;
    needsRegistration = true;
}

void Material::SetRenderState(const MaterialRenderState& newState)
{
    renderState = newState;
    needsRegistration = true;
}

void Material::SetBlendMode(std::uint32_t blendMode)
{
    renderState.blendMode = blendMode;
    needsRegistration = true;
}

void Material::SetSortByDepth(bool sortByDepth)
{
    renderState.sortByDepth = sortByDepth;
    needsRegistration = true;
}

void Material::SetWriteDepth(bool writeDepth)
{
    renderState.writeDepth = writeDepth;
    needsRegistration = true;
}

void Material::SetDepthTest(std::uint32_t depthTest)
{
    renderState.depthTest = depthTest;
    needsRegistration = true;
}
