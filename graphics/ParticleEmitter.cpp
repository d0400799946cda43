#include "ParticleEmitter.h"

#include "Random.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr float kTwoPi = 6.2831855f;
constexpr std::uint32_t kMaxFieldCells = 100;

float Lerp(float to, float from, float f)
{
    return to + (from - to) * f;
}

// Index of a (possibly negative or huge) whole cell number in a repeating grid of count cells.
std::size_t WrapCell(double cell, std::uint32_t count)
{
    double wrapped = std::fmod(cell, static_cast<double>(count));
    if (wrapped < 0.0)
    {
        wrapped += count;
    }
    return std::min(static_cast<std::size_t>(wrapped), static_cast<std::size_t>(count - 1));
}
} // namespace

void ParticleEmitter::SetSettings(const ParticleSettings& newSettings)
{
    settings = newSettings;
    if (!(settings.emissionRate > 0.0f) || !std::isfinite(settings.emissionRate))
    {
        settings.emissionRate = 0.0f;
    }
    if (settings.useVectorField)
    {
        RebuildVectorField();
    }
}

void ParticleEmitter::SetEmissionRate(float rate)
{
    if (!(rate > 0.0f) || !std::isfinite(rate))
    {
        settings.emissionRate = 0.0f;
        return;
    }
    accumulator *= settings.emissionRate / rate;
    settings.emissionRate = rate;
}

void ParticleEmitter::SetUseVectorField(bool use)
{
    if (use && !settings.useVectorField)
    {
        RebuildVectorField();
    }
    settings.useVectorField = use;
}

void ParticleEmitter::SetVectorFieldSpacing(float spacing)
{
    if (spacing > 0.0f)
    {
        settings.vfSpacing = spacing;
    }
}

void ParticleEmitter::SetVectorFieldWidth(std::uint32_t width)
{
    if (width != settings.vfWidth)
    {
        settings.vfWidth = width;
        RebuildVectorField();
    }
}

void ParticleEmitter::SetVectorFieldHeight(std::uint32_t height)
{
    if (height != settings.vfHeight)
    {
        settings.vfHeight = height;
        RebuildVectorField();
    }
}

void ParticleEmitter::SetVectorFieldBase(const Vector3& base)
{
    if (!(base == settings.vfBase))
    {
        settings.vfBase = base;
        RebuildVectorField();
    }
}

void ParticleEmitter::SetVectorFieldRandom(float random)
{
    if (random != settings.vfRandom)
    {
        settings.vfRandom = random;
        RebuildVectorField();
    }
}

void ParticleEmitter::RebuildVectorField()
{
    settings.vfWidth = std::clamp<std::uint32_t>(settings.vfWidth, 1, kMaxFieldCells);
    settings.vfHeight = std::clamp<std::uint32_t>(settings.vfHeight, 1, kMaxFieldCells);
    field.assign(settings.vfWidth, std::vector<Vector3>(settings.vfHeight));
    for (std::vector<Vector3>& column : field)
    {
        for (Vector3& cell : column)
        {
            const float angle = RandomFloat(0.0f, kTwoPi);
            const float magnitude = RandomFloat(0.0f, settings.vfRandom);
            cell = Vector3(settings.vfBase.x + magnitude * std::cos(angle),
                           settings.vfBase.y + magnitude * std::sin(angle), settings.vfBase.z);
        }
    }
}

Vector3 ParticleEmitter::SampleVectorField(const Vector3& position) const
{
    if (field.empty() || field.front().empty())
    {
        return {};
    }
    const auto width = static_cast<std::uint32_t>(field.size());
    const auto height = static_cast<std::uint32_t>(field.front().size());
    // In cell units; the fractions come from the unwrapped floor so they always lie in [0, 1].
    const double gx = static_cast<double>(position.x) / settings.vfSpacing;
    const double gy = static_cast<double>(position.y) / settings.vfSpacing;
    if (!std::isfinite(gx) || !std::isfinite(gy))
    {
        return {};
    }
    const double floorX = std::floor(gx);
    const double floorY = std::floor(gy);
    const auto tx = static_cast<float>(gx - floorX);
    const auto ty = static_cast<float>(gy - floorY);
    const std::size_t x0 = WrapCell(floorX, width);
    const std::size_t x1 = WrapCell(floorX + 1.0, width);
    const std::size_t y0 = WrapCell(floorY, height);
    const std::size_t y1 = WrapCell(floorY + 1.0, height);
    return field[x0][y0] * ((1 - tx) * (1 - ty)) + field[x0][y1] * ((1 - tx) * ty) +
           field[x1][y0] * (tx * (1 - ty)) + field[x1][y1] * (tx * ty);
}

void ParticleEmitter::QueueParticles(std::size_t count)
{
    const std::size_t room = kMaxPendingSpawns - std::min(pending.size(), kMaxPendingSpawns);
    pending.insert(pending.end(), std::min(count, room), 0.0f);
}

void ParticleEmitter::Update(float dt, const Vector2& translation, float rotation, ParticleListener& listener)
{
    Emit(dt);
    SpawnPending(translation, rotation, listener);

    std::size_t i = 0;
    while (i < particles.size())
    {
        Particle& particle = particles[i];
        particle.lifeLeft -= dt;
        if (!(particle.lifeLeft > 0.0f))
        {
            // The last particle takes this slot and is processed in its place.
            particles[i] = particles.back();
            particles.pop_back();
            listener.OnRemove(i);
            continue;
        }
        listener.OnDraw(i, Animate(particle, dt));
        ++i;
    }
}

ParticleEmitter ParticleEmitter::CloneConfiguration() const
{
    ParticleEmitter copy;
    copy.settings = settings;
    copy.accumulator = accumulator;
    if (copy.settings.useVectorField)
    {
        copy.RebuildVectorField();
    }
    return copy;
}

void ParticleEmitter::Emit(float dt)
{
    if (settings.emissionRate == 0.0f)
    {
        return;
    }
    accumulator -= dt;
    std::size_t appended = 0;
    while (accumulator < 0.0f)
    {
        if (appended == kMaxPendingSpawns || pending.size() >= kMaxPendingSpawns)
        {
            // Far behind (an absurd rate or a huge step): drop the backlog rather than spin.
            accumulator = 0.0f;
            break;
        }
        pending.push_back(-accumulator);
        ++appended;
        accumulator += 1.0f / settings.emissionRate;
    }
}

void ParticleEmitter::SpawnPending(const Vector2& translation, float rotation, ParticleListener& listener)
{
    for (float lateness : pending)
    {
        particles.push_back(Spawn(lateness, translation, rotation));
        listener.OnSpawn(particles.back());
    }
    pending.clear();
}

Particle ParticleEmitter::Spawn(float lateness, const Vector2& translation, float rotation) const
{
    const ParticleSettings& s = settings;
    Vector2 local;
    if (s.isBox)
    {
        local.x = RandomFloat(-s.dimensions.x / 2, s.dimensions.x / 2) + s.center.x;
        local.y = RandomFloat(-s.dimensions.y / 2, s.dimensions.y / 2) + s.center.y;
    }
    else
    {
        const float rmin = std::min(s.radii.x, s.radii.y);
        const float rmax = std::max(s.radii.x, s.radii.y);
        const float r = std::sqrt(RandomFloat(0.0f, 1.0f)) * (rmax - rmin) + rmin;
        const float a = RandomFloat(0.0f, kTwoPi);
        local.x = s.center.x + r * std::sin(a);
        local.y = s.center.y + r * std::cos(a);
    }
    const Vector2 turned = RotationMatrix(rotation).TransformPoint(local);

    Particle p;
    p.velocity =
        Vector3(RandomFloat(s.minVelocity.x, s.maxVelocity.x), RandomFloat(s.minVelocity.y, s.maxVelocity.y),
                RandomFloat(s.minVelocity.z, s.maxVelocity.z));
    p.acceleration = Vector3(RandomFloat(s.minAcceleration.x, s.maxAcceleration.x),
                             RandomFloat(s.minAcceleration.y, s.maxAcceleration.y),
                             RandomFloat(s.minAcceleration.z, s.maxAcceleration.z));
    p.tint = Vector4(s.initialTint.x + RandomFloat(0.0f, s.tintVariation.x),
                     s.initialTint.y + RandomFloat(0.0f, s.tintVariation.y),
                     s.initialTint.z + RandomFloat(0.0f, s.tintVariation.z),
                     s.initialTint.w + RandomFloat(0.0f, s.tintVariation.w));
    p.depth = s.initDepth;
    p.scale = s.initScale;
    p.angle = 0.0f;
    p.maxLife = RandomFloat(s.minLife, s.maxLife);
    p.lifeLeft = p.maxLife - lateness;

    // Caught up by its lateness, so a long frame's spawns do not clump at the emitter.
    p.velocity = p.velocity + p.acceleration * lateness;
    p.position = Vector3(turned.x + translation.x + p.velocity.x * lateness,
                         turned.y + translation.y + p.velocity.y * lateness, 1.0f + p.velocity.z * lateness);
    return p;
}

ParticleLook ParticleEmitter::Animate(Particle& particle, float dt) const
{
    const ParticleSettings& s = settings;
    particle.velocity = particle.velocity + particle.acceleration * dt;
    particle.position = particle.position + particle.velocity * dt;
    if (s.useVectorField)
    {
        particle.position = particle.position + SampleVectorField(particle.position) * dt;
    }

    const float f = particle.lifeLeft / particle.maxLife;
    particle.scale = Vector2(Lerp(s.finalScale.x, s.initScale.x, f), Lerp(s.finalScale.y, s.initScale.y, f));

    ParticleLook look;
    look.modelWorld = TranslationMatrix(particle.position.x, particle.position.y) *
                      RotationMatrix(particle.angle) * ScaleMatrix(particle.scale.x, particle.scale.y);
    look.tint = Vector4(Lerp(s.finalTint.x, particle.tint.x, f), Lerp(s.finalTint.y, particle.tint.y, f),
                        Lerp(s.finalTint.z, particle.tint.z, f), Lerp(s.finalTint.w, particle.tint.w, f));
    look.depth = Lerp(s.finalDepth, particle.depth, f);
    return look;
}
