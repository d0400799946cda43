#pragma once
#include "Component.h"
#include "Material.h"
#include "Metadata.h"
#include "ParticleEmitter.h"
#include "System.h"
#include "TypeIds.h"

#include <vector>

class GameObject;

// An emitter: spawns particles in a box or a ring around its object and draws each as one quad through
// a material copy of its own.
class ParticleComponent : public Component, private ParticleListener
{
  public:
    static constexpr const char* kClassName = "ParticleComponent";
    static constexpr std::uint32_t kTypeId = ComponentTypeId::kParticleComponent;
    static constexpr std::uint32_t kClassVersion = 1;
    // Every emitter starts with the soft round light texture.
    static constexpr const char* kDefaultTexture = "FalloffCircleLight";

    // Takes a copy of the graphics system's particle material (an empty one before graphics starts).
    ParticleComponent();
    explicit ParticleComponent(const Material& material);
    ParticleComponent(const ParticleComponent& other);

    // The configuration and the wait for the next spawn; no particles.
    std::unique_ptr<Component> Clone() const override;
    std::unique_ptr<Component> Load(LevelIArchive& archive) override;
    void Save(LevelOArchive& archive) const override;
    void DrawEditor() override;
    std::uint32_t GetVersion() const override { return kClassVersion; }

    // One frame of the emitter at the object's translation and rotation, with dt already time-scaled.
    void Update(float dt, const Vector2& translation, float rotation);
    // Spawns count particles at the next update with no lateness (bursts from gameplay).
    void QueueParticles(std::size_t count) { emitter.QueueParticles(count); }

    // Setters gameplay uses; the rate keeps the share of the current wait.
    void SetEmissionRate(float rate) { emitter.SetEmissionRate(rate); }
    void SetMinLife(float seconds) { emitter.EditSettings().minLife = seconds; }
    void SetMaxLife(float seconds) { emitter.EditSettings().maxLife = seconds; }

    ParticleEmitter& GetEmitter() { return emitter; }
    const ParticleEmitter& GetEmitter() const { return emitter; }
    Material& GetMaterial() { return material; }
    const Material& GetMaterial() const { return material; }
    // One per live particle, in the same order.
    const std::vector<Material>& GetParticleMaterials() const { return particleMaterials; }

    // The 25 saved fields in their XML order.
    static const DescriptorList<ParticleComponent>& Descriptors();

  private:
    void OnSpawn(const Particle& particle) override;
    void OnRemove(std::size_t slot) override;
    void OnDraw(std::size_t slot, const ParticleLook& look) override;
    void RegisterMaterial();

    ParticleEmitter emitter;
    Material material;
    std::vector<Material> particleMaterials;
};

// The object's ParticleComponent, or null.
ParticleComponent* GetParticleComponent(const GameObject& object);

// Runs every emitter once a frame.
class ParticleSystem : public System
{
  public:
    ParticleSystem();
    void Update(float dt) override;
};
