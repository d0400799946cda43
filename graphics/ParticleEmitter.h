#pragma once
#include "Math.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// One live particle, in world space.
struct Particle
{
    Vector3 position;
    float depth = 0.0f; // the initial depth; the drawn depth blends towards the final one
    Vector3 velocity;
    Vector3 acceleration;
    float angle = 0.0f; // degrees; 0 at spawn and never changed
    Vector2 scale;
    Vector4 tint; // this particle's initial tint
    float maxLife = 0.0f;
    float lifeLeft = 0.0f;
};

// What one particle looks like this frame.
struct ParticleLook
{
    Matrix3 modelWorld;
    Vector4 tint;
    float depth = 0.0f;
};

// An emitter's configuration; every field is one of the component's saved fields.
struct ParticleSettings
{
    bool isBox = true;
    Vector2 dimensions{30.0f, 13.0f};
    Vector2 radii{0.0f, 10.0f};
    Vector2 center{0.0f, 0.0f};
    float emissionRate = 50.0f; // particles per second
    Vector3 minVelocity{-25.0f, -25.0f, 0.0f};
    Vector3 maxVelocity{25.0f, 25.0f, 0.0f};
    Vector3 minAcceleration{-200.0f, -200.0f, 0.0f};
    Vector3 maxAcceleration{200.0f, 200.0f, 0.0f};
    Vector2 initScale{30.0f, 30.0f};
    Vector2 finalScale{0.0f, 0.0f};
    float initDepth = 0.0f;
    float finalDepth = 1.0f;
    float minLife = 0.3f; // seconds
    float maxLife = 0.5f;
    Vector4 initialTint{0.0f, 0.4f, 1.0f, 0.8f};
    Vector4 tintVariation{1.0f, 0.0f, 0.0f, 0.0f};
    Vector4 finalTint{1.0f, 1.0f, 1.0f, 0.0f};
    bool useVectorField = false;
    float vfSpacing = 50.0f;   // world units per cell
    std::uint32_t vfWidth = 0; // cells
    std::uint32_t vfHeight = 0;
    Vector3 vfBase{0.0f, 0.0f, 0.0f};
    float vfRandom = 10.0f;
};

// Told about every change to the particle list, so an owner can keep one entry per particle beside it.
class ParticleListener
{
  public:
    virtual ~ParticleListener() = default;
    // A particle was appended at the end of the list.
    virtual void OnSpawn(const Particle& particle) = 0;
    // The particle in slot was removed: the last particle moved into slot and the list shrank by one.
    virtual void OnRemove(std::size_t slot) = 0;
    // The particle in slot was moved for this frame; look is what it should draw.
    virtual void OnDraw(std::size_t slot, const ParticleLook& look) = 0;
};

// The simulation of one emitter: emission timing, spawning, motion, ageing and the drift field.
// It knows nothing of materials or GL, so it runs the same in tests.
class ParticleEmitter
{
  public:
    // Most spawns waiting at once; keeps an absurd rate from hanging or exhausting memory.
    static constexpr std::size_t kMaxPendingSpawns = 10000;

    // The configuration; the setters below keep its invariants, so change it through them.
    const ParticleSettings& Settings() const { return settings; }
    // Replaces every field at once, then rebuilds the drift field when it is on.
    void SetSettings(const ParticleSettings& newSettings);

    // A rate <= 0 or not finite stops emission; otherwise the wait for the next spawn keeps its share of
    // the interval.
    void SetEmissionRate(float rate);
    // Switching the drift field on rebuilds it first.
    void SetUseVectorField(bool use);
    // Only spacings above 0 are taken.
    void SetVectorFieldSpacing(float spacing);
    // A changed value rebuilds the field, even while it is off.
    void SetVectorFieldWidth(std::uint32_t width);
    void SetVectorFieldHeight(std::uint32_t height);
    void SetVectorFieldBase(const Vector3& base);
    void SetVectorFieldRandom(float random);
    // Plain setters of the other fields.
    ParticleSettings& EditSettings() { return settings; }

    // Clamps the field size to 1..100 cells each way, stores it and draws new random drift cells.
    void RebuildVectorField();
    // Drift at a world position: the bilinear blend of the four surrounding cells, the grid repeating.
    Vector3 SampleVectorField(const Vector3& position) const;

    // Queues count particles that spawn in the next update with no lateness (bounded like every spawn).
    void QueueParticles(std::size_t count);
    // One frame: emission, spawning at (translation, rotation), then ageing, motion and looks.
    void Update(float dt, const Vector2& translation, float rotation, ParticleListener& listener);

    // Seconds until the next spawn (negative while spawns are due).
    float Accumulator() const { return accumulator; }
    void SetAccumulator(float value) { accumulator = value; }
    const std::vector<float>& PendingSpawns() const { return pending; }
    const std::vector<Particle>& Particles() const { return particles; }
    // Column-major: VF_Width columns of VF_Height cells.
    const std::vector<std::vector<Vector3>>& VectorField() const { return field; }

    // A copy of the configuration and the accumulator with no particles, nothing pending and the field
    // rebuilt when it is on.
    ParticleEmitter CloneConfiguration() const;

  private:
    void Emit(float dt);
    void SpawnPending(const Vector2& translation, float rotation, ParticleListener& listener);
    Particle Spawn(float lateness, const Vector2& translation, float rotation) const;
    ParticleLook Animate(Particle& particle, float dt) const;

    ParticleSettings settings;
    float accumulator = 0.0f;
    std::vector<float> pending;
    std::vector<Particle> particles;
    std::vector<std::vector<Vector3>> field;
};
