#include "ParticleComponent.h"
#include "VisibleObjects.h"

#include "GameObject.h"
#include "GameObjectFactory.h"
#include "Graphics.h"
#include "Lighting.h"
#include "Prototypes.h"
#include "RenderLine.h"
#include "TextureManager.h"
#include "TimeManipulator.h"
#include "Transform.h"

#include <iostream>

namespace
{
// Particles hide a sixth of their alpha's worth of light.
constexpr float kOcclusionShare = 1.0f / 6.0f;

FieldOptions Options(float step = 0.0f, float minimum = 0.0f, float maximum = 0.0f)
{
    return FromVersion(1, step, minimum, maximum);
}

Material DefaultParticleMaterial()
{
    return gGraphics != nullptr && gGraphics->GetMaterials().size() > Graphics::dmParticle
               ? gGraphics->GetMaterial(Graphics::dmParticle)
               : Material{};
}

using P = ParticleComponent;
using Settings = ParticleSettings;

// A field stored in the settings with a plain setter.
template <typename Kind, typename V>
void AddSetting(DescriptorList<P>& fields, const char* name, FieldOptions options, V Settings::*member)
{
    fields.push_back(std::make_unique<Kind>(
        name, options, [member](const P& p) { return p.GetEmitter().Settings().*member; },
        [member](P& p, const V& v) { p.GetEmitter().EditSettings().*member = v; }));
}

// A field whose setter has side effects on the emitter.
template <typename Kind, typename V>
void AddGuarded(DescriptorList<P>& fields, const char* name, FieldOptions options, V Settings::*member,
                void (ParticleEmitter::*setter)(V))
{
    fields.push_back(std::make_unique<Kind>(
        name, options, [member](const P& p) { return p.GetEmitter().Settings().*member; },
        [setter](P& p, const V& v) { (p.GetEmitter().*setter)(v); }));
}
} // namespace

ParticleComponent::ParticleComponent() : ParticleComponent(DefaultParticleMaterial()) {}

ParticleComponent::ParticleComponent(const Material& material_)
    : Component(kClassName, kTypeId), material(material_)
{
    if (TextureManager::GetTextureCount() > 0)
    {
        material.data.SetUInt("texture", &TextureManager::GetTexture(kDefaultTexture));
    }
    RegisterComponentPrototype(*this);
}

ParticleComponent::ParticleComponent(const ParticleComponent& other)
    : Component(other), emitter(other.emitter.CloneConfiguration()), material(other.material)
{
}

std::unique_ptr<Component> ParticleComponent::Clone() const
{
    return std::make_unique<ParticleComponent>(*this);
}

std::unique_ptr<Component> ParticleComponent::Load(LevelIArchive& archive)
{
    LoadFields(Descriptors(), archive, *this);
    if (emitter.Settings().useVectorField)
    {
        emitter.RebuildVectorField();
    }
    return Clone();
}

void ParticleComponent::Save(LevelOArchive& archive) const
{
    SaveFields(Descriptors(), archive, *this);
}

void ParticleComponent::DrawEditor()
{
    DrawFieldEditors(Descriptors(), *this);
}

void ParticleComponent::Update(float dt, const Vector2& translation, float rotation)
{
    RegisterMaterial();
    emitter.Update(dt, translation, rotation, *this);
}

void ParticleComponent::RegisterMaterial()
{
    // Spawned copies share the component material's batch, so bring its link up to date first.
    material.UpdateRegistration();
}

void ParticleComponent::OnSpawn(const Particle& particle)
{
    particleMaterials.push_back(material);
    particleMaterials.back().data.SetFloat("depth", particle.depth);
}

void ParticleComponent::OnRemove(std::size_t slot)
{
    if (slot + 1 != particleMaterials.size())
    {
        particleMaterials[slot] = particleMaterials.back();
    }
    particleMaterials.pop_back();
}

void ParticleComponent::OnDraw(std::size_t slot, const ParticleLook& look)
{
    Material& particleMaterial = particleMaterials[slot];
    ShaderData& data = particleMaterial.data;
    data.SetMatrix3("modelWorld", look.modelWorld);
    data.SetVector4("tint", look.tint);
    data.SetFloat("depth", look.depth);
    particleMaterial.Submit();
    if (gLighting != nullptr)
    {
        gLighting->AddOcclusion(look.modelWorld, data.GetUInt("texture"), look.tint.w * kOcclusionShare);
    }
}

const DescriptorList<ParticleComponent>& ParticleComponent::Descriptors()
{
    static const DescriptorList<ParticleComponent> list = [] {
        DescriptorList<P> f;
        AddSetting<Metabool<P>>(f, "Is_Box", Options(), &Settings::isBox);
        // "Dimentions" is the name level files carry.
        AddSetting<MetaVector2<P>>(f, "Dimentions", Options(0.1f, 0.0f, 100000.0f), &Settings::dimensions);
        AddSetting<MetaVector2<P>>(f, "Radii", Options(0.1f, 0.0f, 100000.0f), &Settings::radii);
        AddSetting<MetaVector2<P>>(f, "Center", Options(1.0f), &Settings::center);
        AddGuarded<Metafloat<P>>(f, "Emission_Rate", Options(0.5f, 0.0f, 2000.0f), &Settings::emissionRate,
                                 &ParticleEmitter::SetEmissionRate);
        AddSetting<MetaVector3<P>>(f, "Min_Velocity", Options(1.0f), &Settings::minVelocity);
        AddSetting<MetaVector3<P>>(f, "Max_Velocity", Options(1.0f), &Settings::maxVelocity);
        AddSetting<MetaVector3<P>>(f, "Min_Acceleration", Options(1.0f), &Settings::minAcceleration);
        AddSetting<MetaVector3<P>>(f, "Max_Acceleration", Options(1.0f), &Settings::maxAcceleration);
        AddSetting<MetaVector2<P>>(f, "Init_Scale", Options(0.1f, 0.0f, 10000.0f), &Settings::initScale);
        AddSetting<MetaVector2<P>>(f, "Final_Scale", Options(0.1f, 0.0f, 10000.0f), &Settings::finalScale);
        AddSetting<Metafloat<P>>(f, "Init_Depth", Options(0.01f, 0.0f, 1.0f), &Settings::initDepth);
        AddSetting<Metafloat<P>>(f, "Final_Depth", Options(0.01f, 0.0f, 1.0f), &Settings::finalDepth);
        AddSetting<Metafloat<P>>(f, "Min_Life", Options(0.05f, 0.0f, 1000.0f), &Settings::minLife);
        AddSetting<Metafloat<P>>(f, "Max_Life", Options(0.05f, 0.0f, 1000.0f), &Settings::maxLife);
        AddSetting<MetaColor<P>>(f, "Initial_Tint", Options(), &Settings::initialTint);
        AddSetting<MetaColor<P>>(f, "Tint_Variation", Options(), &Settings::tintVariation);
        AddSetting<MetaColor<P>>(f, "Final_Tint", Options(), &Settings::finalTint);
        f.push_back(std::make_unique<MetaMaterial<P>>(
            "Material", Options(), [](const P& p) -> const Material& { return p.GetMaterial(); },
            [](P& p) -> Material& { return p.GetMaterial(); }));
        AddGuarded<Metabool<P>>(f, "Use_Vector_Field", Options(), &Settings::useVectorField,
                                &ParticleEmitter::SetUseVectorField);
        AddGuarded<Metafloat<P>>(f, "VF_Spacing", Options(0.05f, 0.0f, 10000.0f), &Settings::vfSpacing,
                                 &ParticleEmitter::SetVectorFieldSpacing);
        AddGuarded<Metaunsigned<P>>(f, "VF_Width", Options(0.05f, 1.0f, 25.0f), &Settings::vfWidth,
                                    &ParticleEmitter::SetVectorFieldWidth);
        AddGuarded<Metaunsigned<P>>(f, "VF_Height", Options(0.05f, 1.0f, 25.0f), &Settings::vfHeight,
                                    &ParticleEmitter::SetVectorFieldHeight);
        f.push_back(std::make_unique<MetaVector3<P>>(
            "VF_Base", Options(0.1f), [](const P& p) { return p.GetEmitter().Settings().vfBase; },
            [](P& p, const Vector3& v) { p.GetEmitter().SetVectorFieldBase(v); }));
        AddGuarded<Metafloat<P>>(f, "VF_Random", Options(0.1f), &Settings::vfRandom,
                                 &ParticleEmitter::SetVectorFieldRandom);
        return f;
    }();
    return list;
}

ParticleComponent* GetParticleComponent(const GameObject& object)
{
    return object.GetComponentAs<ParticleComponent>(ParticleComponent::kTypeId);
}

ParticleSystem::ParticleSystem() : System("ParticleSystem", {ParticleComponent::kTypeId, Transform::kTypeId})
{
}

void ParticleSystem::Update(float dt)
{
    ForEachVisibleObject(*this, [&](GameObject& object) {
        float localDt = dt;
        const auto* time = object.GetComponentAs<TimeManipulator>(TimeManipulator::kTypeId);
        if (time != nullptr && time->IsActive())
        {
            localDt *= time->GetSpeed();
        }
        const auto* transform = object.GetComponentAs<Transform>(Transform::kTypeId);
        ParticleComponent* emitter = GetParticleComponent(object);
        if (transform == nullptr || emitter == nullptr)
        {
            std::cout << "Hey, something was null in ParticleSystem..." << std::endl;
            return;
        }
        const Vector3& translation = transform->GetTranslation();
        emitter->Update(localDt, {translation.x, translation.y}, transform->GetRotation());
    });
}
