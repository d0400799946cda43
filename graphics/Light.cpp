#include "Light.h"
#include "VisibleObjects.h"

#include "GameObject.h"
#include "GameObjectFactory.h"
#include "LightRecord.h"
#include "Lighting.h"
#include "Prototypes.h"
#include "TextureManager.h"
#include "Transform.h"

Light::Light() : Component(kClassName, kTypeId)
{
    if (TextureManager::GetTextureCount() > 0)
    {
        texture = &TextureManager::GetTexture(kDefaultTexture);
    }
    RegisterComponentPrototype(*this);
}

std::unique_ptr<Component> Light::Clone() const
{
    return std::make_unique<Light>(*this);
}

std::unique_ptr<Component> Light::Load(LevelIArchive& archive)
{
    LoadFields(Descriptors(), archive, *this);
    return Clone();
}

void Light::Save(LevelOArchive& archive) const
{
    SaveFields(Descriptors(), archive, *this);
}

void Light::DrawEditor()
{
    DrawFieldEditors(Descriptors(), *this);
}

void Light::SetTextureName(const std::string& name)
{
    texture = &TextureManager::GetTexture(name);
}

std::string Light::GetTextureName() const
{
    return texture != nullptr ? texture->name : std::string(TextureManager::kDefaultName);
}

const DescriptorList<Light>& Light::Descriptors()
{
    static const DescriptorList<Light> list = [] {
        DescriptorList<Light> fields;
        fields.push_back(std::make_unique<MetaVector2<Light>>(
            "Center", FromVersion(1), [](const Light& l) { return l.center; },
            [](Light& l, const Vector2& v) { l.center = v; }));
        fields.push_back(std::make_unique<MetaVector2<Light>>(
            "Size", FromVersion(1, 1.0f, 0.0f, 2000.0f), [](const Light& l) { return l.size; },
            [](Light& l, const Vector2& v) { l.size = v; }));
        fields.push_back(std::make_unique<MetaVector2<Light>>(
            "Light_Source", FromVersion(1, 0.001f, -0.5f, 0.5f), [](const Light& l) { return l.lightSource; },
            [](Light& l, const Vector2& v) { l.lightSource = v; }));
        fields.push_back(std::make_unique<MetaColor<Light>>(
            "Tint", FromVersion(1), [](const Light& l) { return l.tint; },
            [](Light& l, const Vector4& v) { l.tint = v; }));
        fields.push_back(std::make_unique<MetaColor<Light>>(
            "Shadow_Tint", FromVersion(2), [](const Light& l) { return l.shadowTint; },
            [](Light& l, const Vector4& v) { l.shadowTint = v; }));
        fields.push_back(std::make_unique<Metafloat<Light>>(
            "Intensity", FromVersion(1, 0.05f, 0.0f, 20.0f), [](const Light& l) { return l.intensity; },
            [](Light& l, const float& v) { l.intensity = v; }));
        fields.push_back(std::make_unique<Metafloat<Light>>(
            "Inner_Radius", FromVersion(4, 0.001f, 0.0f, 0.5f), [](const Light& l) { return l.innerRadius; },
            [](Light& l, const float& v) { l.innerRadius = v; }));
        fields.push_back(std::make_unique<MetaTexture<Light>>(
            "Texture", FromVersion(3), [](const Light& l) { return l.GetTextureName(); },
            [](Light& l, const std::string& name) { l.SetTextureName(name); }));
        return fields;
    }();
    return list;
}

Light* GetLight(const GameObject& object)
{
    return object.GetComponentAs<Light>(Light::kTypeId);
}

LightRenderer::LightRenderer() : System("LightRenderer", {Light::kTypeId, Transform::kTypeId}) {}

void LightRenderer::Update(float)
{
    if (gLighting == nullptr)
    {
        return;
    }
    ForEachVisibleObject(*this, [&](GameObject& object) {
        const auto* transform = object.GetComponentAs<Transform>(Transform::kTypeId);
        const Light* light = GetLight(object);
        if (transform == nullptr || light == nullptr)
        {
            return;
        }
        LightRecord record;
        const Vector3& translation = transform->GetTranslation();
        record.modelWorld = LightModelMatrix({translation.x, translation.y}, transform->GetRotation(),
                                             light->center, light->size);
        record.texture = light->GetTexture();
        record.tint = light->tint;
        record.minTint = light->shadowTint;
        record.lightSource = light->lightSource;
        record.intensity = light->intensity;
        record.innerRadius = light->innerRadius;
        gLighting->AddLight(record);
    });
}
