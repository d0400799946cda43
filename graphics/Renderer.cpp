#include "Renderer.h"
#include "VisibleObjects.h"

#include "GameObject.h"
#include "GameObjectFactory.h"
#include "Graphics.h"
#include "Lighting.h"
#include "Prototypes.h"
#include "Registries.h"
#include "TextureManager.h"
#include "Transform.h"

#include <imgui.h>

#include <string>

namespace
{
constexpr const char* kModelWorldInput = "modelWorld";
constexpr const char* kTintInput = "tint";
constexpr const char* kFlipInput = "flipTexture";
constexpr const char* kTextureInput = "texture";

FieldOptions Options(float step = 1.0f, float minimum = 0.0f, float maximum = 0.0f)
{
    return FromVersion(1, step, minimum, maximum);
}

Material DefaultSpriteMaterial()
{
    return gGraphics != nullptr && gGraphics->GetMaterials().size() > Graphics::dmBasic
               ? gGraphics->GetMaterial(Graphics::dmBasic)
               : Material{};
}

// The combo over every texture name whose choice binds the texture of that id to the input.
void EditTextureInput(const char* label, Material& material, const char* input)
{
    const Texture* bound = material.data.GetUInt(input);
    int current = bound != nullptr ? static_cast<int>(bound->id) : 0;
    const std::string names = TextureManager::GetTextureNameList();
    if (ImGui::Combo(label, &current, names.c_str()))
    {
        material.data.SetUInt(input, &TextureManager::GetTextureById(static_cast<std::uint32_t>(current)));
    }
}
} // namespace

Renderer::Renderer() : Renderer(DefaultSpriteMaterial()) {}

Renderer::Renderer(const Material& material_) : Component(kClassName, kTypeId), material(material_)
{
    RegisterComponentPrototype(*this);
}

std::unique_ptr<Component> Renderer::Clone() const
{
    auto copy = std::make_unique<Renderer>(*this);
    copy->flip = false;
    return copy;
}

std::unique_ptr<Component> Renderer::Load(LevelIArchive& archive)
{
    LoadFields(Descriptors(), archive, *this);
    material.needsRegistration = true;
    return Clone();
}

void Renderer::Save(LevelOArchive& archive) const
{
    SaveFields(Descriptors(), archive, *this);
}

void Renderer::DrawEditor()
{
    DrawFieldEditors(Descriptors(), *this);
    EditTextureInput("Change Emissive Texture", material, "emissiveTexture");
    if (auto emissiveTint = material.data.GetVector4("emissiveTint"))
    {
        float colour[4] = {emissiveTint->x, emissiveTint->y, emissiveTint->z, emissiveTint->w};
        if (ImGui::ColorEdit4("Emissive Tint", colour))
        {
            material.data.SetVector4("emissiveTint", Vector4(colour[0], colour[1], colour[2], colour[3]));
        }
    }
    float multiplier = material.data.GetFloat("emissiveMultiplier");
    if (ImGui::DragFloat("Emissive Multiplier", &multiplier, 0.01f, -5.0f, 15.0f, "%.3f"))
    {
        material.data.SetFloat("emissiveMultiplier", multiplier);
    }
}

void Renderer::SetUInt(const std::string& input, Texture* texture)
{
    material.data.SetUInt(input, texture);
}

const DescriptorList<Renderer>& Renderer::Descriptors()
{
    static const DescriptorList<Renderer> list = [] {
        DescriptorList<Renderer> fields;
        fields.push_back(std::make_unique<MetaMaterial<Renderer>>(
            "Material", Options(), [](const Renderer& r) -> const Material& { return r.material; },
            [](Renderer& r) -> Material& { return r.material; }));
        fields.push_back(std::make_unique<MetaColor<Renderer>>(
            "Tint", Options(), [](const Renderer& r) { return r.tint; },
            [](Renderer& r, const Vector4& v) { r.tint = v; }));
        fields.push_back(std::make_unique<Metabool<Renderer>>(
            "Flip_Texture", Options(), [](const Renderer& r) { return r.flip; },
            [](Renderer& r, const bool& v) { r.flip = v; }));
        fields.push_back(std::make_unique<Metafloat<Renderer>>(
            "Depth", Options(0.01f, 0.0f, 1.0f), [](const Renderer& r) { return r.depth; },
            [](Renderer& r, const float& v) { r.depth = v; }));
        return fields;
    }();
    return list;
}

Renderer* GetRenderer(const GameObject& object)
{
    return object.GetComponentAs<Renderer>(Renderer::kTypeId);
}

BasicRenderer::BasicRenderer() : System("BasicRenderer", {Renderer::kTypeId, Transform::kTypeId}) {}

const BasicRenderer::SpriteInputs& BasicRenderer::InputsOf(const Material& material)
{
    for (const SpriteInputs& inputs : inputsByShader)
        if (inputs.shader == material.shader)
            return inputs;
    // Every material of a shader copies its layout, so the first one's inputs serve them all.
    const ShaderData& data = material.data;
    inputsByShader.push_back({material.shader, data.FindInput(kModelWorldInput, satMatrix3),
                              data.FindInput(kTintInput, satVector4), data.FindInput(kFlipInput, satInt),
                              data.FindInput(kTextureInput, satUInt)});
    return inputsByShader.back();
}

void BasicRenderer::Update(float)
{
    const auto lookAhead = [](std::uint32_t id) {
        // The components looked up now are live; only their memory is asked for, every line the visit
        // reads or writes (the class check reads the first).
        if (const Component* renderer = FindComponent(id, Renderer::kTypeId))
        {
            const auto* drawn = static_cast<const Renderer*>(renderer);
            const auto* bytes = reinterpret_cast<const char*>(drawn);
            for (std::size_t line = 0; line < sizeof(Renderer); line += 64)
                __builtin_prefetch(bytes + line);
            const std::vector<std::uint8_t>& instance = drawn->material.data.data;
            if (!instance.empty())
            {
                __builtin_prefetch(instance.data());
                __builtin_prefetch(instance.data() + instance.size() - 1);
                if (instance.size() > 64)
                    __builtin_prefetch(instance.data() + 64);
            }
            __builtin_prefetch(drawn->material.data.textureBindings.data());
        }
        if (const Component* transform = FindComponent(id, Transform::kTypeId))
        {
            const auto* bytes = reinterpret_cast<const char*>(transform);
            for (std::size_t line = 0; line < sizeof(Transform); line += 64)
                __builtin_prefetch(bytes + line);
        }
    };
    ForEachVisibleObject(*this, [&](GameObject& object) {
        const auto* transform = object.GetComponentAs<Transform>(Transform::kTypeId);
        Renderer* renderer = GetRenderer(object);
        if (transform == nullptr || renderer == nullptr)
        {
            return;
        }
        const Matrix3& modelWorld = transform->GetWorldMatrix();
        ShaderData& data = renderer->material.data;
        const SpriteInputs& inputs = InputsOf(renderer->material);
        // An input the shader lacks, or has with another type, goes through the name setter, which
        // reports the mismatch as it always has.
        if (!data.SetMatrix3(inputs.modelWorld, modelWorld))
            data.SetMatrix3(kModelWorldInput, modelWorld);
        if (!data.SetVector4(inputs.tint, renderer->tint))
            data.SetVector4(kTintInput, renderer->tint);
        if (!data.SetInt(inputs.flipTexture, renderer->flip ? 1 : 0))
            data.SetInt(kFlipInput, renderer->flip ? 1 : 0);
        data.depth = renderer->depth;
        renderer->material.Submit();

        if (gLighting != nullptr)
        {
            Texture* texture = data.GetUInt(inputs.texture);
            if (texture == nullptr)
                texture = data.GetUInt(kTextureInput);
            gLighting->AddOcclusion(modelWorld, texture, renderer->tint.w);
        }
    }, lookAhead);
}
