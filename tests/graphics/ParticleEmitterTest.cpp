#include "ParticleEmitter.h"
#include "Random.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace
{
constexpr float kDt = 1.0f / 60.0f;

// Keeps one entry per particle the way the component keeps its materials, and records what it was told.
class RecordingListener : public ParticleListener
{
  public:
    void OnSpawn(const Particle& particle) override
    {
        entries.push_back(particle.maxLife);
        lateness.push_back(particle.maxLife - particle.lifeLeft);
        spawned.push_back(particle);
    }
    void OnRemove(std::size_t slot) override
    {
        entries[slot] = entries.back();
        entries.pop_back();
        ++removed;
    }
    void OnDraw(std::size_t slot, const ParticleLook& look) override
    {
        drawnSlots.push_back(slot);
        looks.push_back(look);
    }
    void StartFrame()
    {
        drawnSlots.clear();
        looks.clear();
    }

    std::vector<float> entries;
    std::vector<float> lateness;
    std::vector<Particle> spawned;
    std::vector<std::size_t> drawnSlots;
    std::vector<ParticleLook> looks;
    int removed = 0;
};

class ParticleEmitterTest : public ::testing::Test
{
  protected:
    void SetUp() override { SeedRandom(7); }

    // Runs frames and returns how many particles each frame spawned.
    std::vector<int> Run(int frames, float dt = kDt)
    {
        std::vector<int> perFrame;
        for (int i = 0; i < frames; ++i)
        {
            const std::size_t before = listener.spawned.size();
            listener.StartFrame();
            emitter.Update(dt, {0.0f, 0.0f}, 0.0f, listener);
            perFrame.push_back(static_cast<int>(listener.spawned.size() - before));
        }
        return perFrame;
    }

    ParticleEmitter emitter;
    RecordingListener listener;
};

int Sum(const std::vector<int>& counts)
{
    int total = 0;
    for (int c : counts)
        total += c;
    return total;
}
} // namespace

TEST_F(ParticleEmitterTest, FiftyPerSecondSpawnsFiftyInSixtyFramesEachCarryingItsLateness)
{
    // The 51st spawn is due exactly at the end of frame 60, where rounding decides; stop one frame short.
    const std::vector<int> perFrame = Run(59);
    EXPECT_EQ(Sum(perFrame), 50);
    int emptyFrames = 0;
    for (int count : perFrame)
    {
        EXPECT_LE(count, 1);
        emptyFrames += count == 0 ? 1 : 0;
    }
    EXPECT_EQ(emptyFrames, 9);
    // The very first spawn was due at the start of the first frame; every other one within its frame.
    EXPECT_NEAR(listener.lateness[0], kDt, 1e-6f);
    for (std::size_t i = 1; i < listener.lateness.size(); ++i)
    {
        EXPECT_GE(listener.lateness[i], 0.0f);
        EXPECT_LT(listener.lateness[i], kDt);
    }
}

TEST_F(ParticleEmitterTest, ALongFrameSpawnsSeveralEachCaughtUpByItsOwnLateness)
{
    ParticleSettings& settings = emitter.EditSettings();
    settings.minVelocity = settings.maxVelocity = Vector3(10.0f, 0.0f, 2.0f);
    settings.minAcceleration = settings.maxAcceleration = Vector3(0.0f, 0.0f, 0.0f);
    settings.dimensions = Vector2(0.0f, 0.0f);
    settings.minLife = settings.maxLife = 5.0f;
    emitter.Update(0.1f, {100.0f, 0.0f}, 0.0f, listener);

    ASSERT_EQ(listener.spawned.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i)
    {
        const float lateness = listener.lateness[i];
        EXPECT_NEAR(listener.spawned[i].position.x, 100.0f + 10.0f * lateness, 1e-4f);
        EXPECT_NEAR(listener.spawned[i].position.z, 1.0f + 2.0f * lateness, 1e-5f);
    }
    EXPECT_GT(listener.spawned[0].position.x, listener.spawned[4].position.x);
    // Spawned particles age in their own frame too.
    EXPECT_NEAR(emitter.Particles()[0].lifeLeft, 5.0f - listener.lateness[0] - 0.1f, 1e-5f);
}

TEST_F(ParticleEmitterTest, ARateChangeKeepsTheShareOfTheWaitWithoutABurst)
{
    Run(30);
    const float before = emitter.Accumulator();
    emitter.SetEmissionRate(500.0f);
    EXPECT_FLOAT_EQ(emitter.Accumulator(), before * 50.0f / 500.0f);
    const std::vector<int> after = Run(1);
    EXPECT_LE(after[0], 10); // 500/60 is 8.3: no backlog released
    EXPECT_GE(after[0], 8);

    emitter.SetEmissionRate(-3.0f);
    EXPECT_EQ(emitter.Settings().emissionRate, 0.0f);
}

TEST_F(ParticleEmitterTest, RateZeroSpawnsNothingButParticlesStillAgeAndDie)
{
    Run(10);
    ASSERT_FALSE(emitter.Particles().empty());
    emitter.SetEmissionRate(0.0f);
    const std::size_t spawnedBefore = listener.spawned.size();
    Run(60);
    EXPECT_EQ(listener.spawned.size(), spawnedBefore);
    EXPECT_TRUE(emitter.Particles().empty());
    EXPECT_TRUE(listener.entries.empty());
}

TEST_F(ParticleEmitterTest, HalfSpeedEmitsAtHalfRate)
{
    EXPECT_EQ(Sum(Run(118, kDt * 0.5f)), 50);
}

TEST_F(ParticleEmitterTest, AbsurdRatesStopAtTheCapInsteadOfHanging)
{
    emitter.SetEmissionRate(std::numeric_limits<float>::infinity());
    EXPECT_EQ(emitter.Settings().emissionRate, 0.0f);
    emitter.SetEmissionRate(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(emitter.Settings().emissionRate, 0.0f);

    emitter.SetEmissionRate(1e12f);
    emitter.EditSettings().minLife = emitter.EditSettings().maxLife = 1.0f;
    Run(1);
    EXPECT_EQ(listener.spawned.size(), ParticleEmitter::kMaxPendingSpawns);
    EXPECT_EQ(emitter.Accumulator(), 0.0f);

    emitter.SetEmissionRate(0.0f);
    emitter.QueueParticles(25000);
    EXPECT_EQ(emitter.PendingSpawns().size(), ParticleEmitter::kMaxPendingSpawns);
}

TEST_F(ParticleEmitterTest, QueuedParticlesSpawnWithNoLateness)
{
    emitter.SetEmissionRate(0.0f);
    emitter.QueueParticles(3);
    Run(1);
    ASSERT_EQ(listener.spawned.size(), 3u);
    for (float lateness : listener.lateness)
        EXPECT_EQ(lateness, 0.0f);
}

TEST_F(ParticleEmitterTest, MidListDeathsKeepEachEntryBesideItsParticle)
{
    emitter.SetEmissionRate(300.0f);
    emitter.EditSettings().minLife = 0.05f;
    emitter.EditSettings().maxLife = 0.6f;
    for (int frame = 0; frame < 120; ++frame)
    {
        Run(1);
        const std::vector<Particle>& particles = emitter.Particles();
        ASSERT_EQ(listener.entries.size(), particles.size());
        for (std::size_t i = 0; i < particles.size(); ++i)
        {
            ASSERT_EQ(listener.entries[i], particles[i].maxLife) << "frame " << frame << " slot " << i;
        }
        // Every live particle is drawn once, in its own slot.
        ASSERT_EQ(listener.drawnSlots.size(), particles.size());
    }
    EXPECT_GT(listener.removed, 100);
}

TEST_F(ParticleEmitterTest, AParticleLaterThanItsLifeDiesInItsFirstFrame)
{
    emitter.SetEmissionRate(10.0f);
    emitter.EditSettings().minLife = emitter.EditSettings().maxLife = 0.01f;
    Run(1, 0.45f);
    EXPECT_EQ(listener.spawned.size(), 5u);
    EXPECT_TRUE(emitter.Particles().empty());
    EXPECT_TRUE(listener.looks.empty());
}

TEST_F(ParticleEmitterTest, LooksBlendFromInitialToFinalOverTheLife)
{
    ParticleSettings& s = emitter.EditSettings();
    s.minVelocity = s.maxVelocity = s.minAcceleration = s.maxAcceleration = Vector3(0.0f, 0.0f, 0.0f);
    s.tintVariation = Vector4(0.0f, 0.0f, 0.0f, 0.0f);
    s.minLife = s.maxLife = 1.0f;
    s.dimensions = Vector2(0.0f, 0.0f);
    emitter.SetEmissionRate(0.0f);
    emitter.QueueParticles(1);
    Run(1, 0.5f);
    ASSERT_EQ(listener.looks.size(), 1u);
    const ParticleLook& look = listener.looks[0];
    EXPECT_FLOAT_EQ(look.modelWorld(0, 0), 15.0f); // scale halfway from 30 to 0
    EXPECT_FLOAT_EQ(look.tint.y, 0.7f);            // halfway from 0.4 to 1
    EXPECT_FLOAT_EQ(look.tint.w, 0.4f);            // halfway from 0.8 to 0
    EXPECT_FLOAT_EQ(look.depth, 0.5f);             // halfway from 0 to 1
}

TEST_F(ParticleEmitterTest, AZeroBoxSpawnsAtTheRotatedCentreAndARingAtItsRadius)
{
    ParticleSettings& s = emitter.EditSettings();
    s.minVelocity = s.maxVelocity = s.minAcceleration = s.maxAcceleration = Vector3(0.0f, 0.0f, 0.0f);
    s.dimensions = Vector2(0.0f, 0.0f);
    s.center = Vector2(10.0f, 0.0f);
    emitter.SetEmissionRate(0.0f);
    emitter.QueueParticles(1);
    emitter.Update(0.0f, {5.0f, 5.0f}, 90.0f, listener);
    ASSERT_EQ(listener.spawned.size(), 1u);
    EXPECT_NEAR(listener.spawned[0].position.x, 5.0f, 1e-4f);
    EXPECT_NEAR(listener.spawned[0].position.y, 15.0f, 1e-4f);
    EXPECT_FLOAT_EQ(listener.spawned[0].position.z, 1.0f);

    s.isBox = false;
    s.center = Vector2(0.0f, 0.0f);
    s.radii = Vector2(12.0f, 12.0f);
    emitter.QueueParticles(20);
    emitter.Update(0.0f, {100.0f, 0.0f}, 0.0f, listener);
    for (std::size_t i = 1; i < listener.spawned.size(); ++i)
    {
        const Vector3& p = listener.spawned[i].position;
        EXPECT_NEAR(std::hypot(p.x - 100.0f, p.y), 12.0f, 1e-3f);
    }
}

TEST_F(ParticleEmitterTest, FieldRebuildClampsAndStoresItsSize)
{
    emitter.SetVectorFieldWidth(150);
    EXPECT_EQ(emitter.Settings().vfWidth, 100u);
    EXPECT_EQ(emitter.Settings().vfHeight, 1u);
    EXPECT_EQ(emitter.VectorField().size(), 100u);
    EXPECT_EQ(emitter.VectorField()[0].size(), 1u);

    emitter.SetVectorFieldHeight(7);
    emitter.EditSettings().vfWidth = 0; // as a level file could store it
    emitter.RebuildVectorField();
    EXPECT_EQ(emitter.Settings().vfWidth, 1u);
    EXPECT_EQ(emitter.VectorField()[0].size(), 7u);

    emitter.SetVectorFieldSpacing(0.0f);
    emitter.SetVectorFieldSpacing(-4.0f);
    EXPECT_EQ(emitter.Settings().vfSpacing, 50.0f);
}

TEST_F(ParticleEmitterTest, FieldSamplesStayWithinTheCellsAnywhere)
{
    EXPECT_EQ(emitter.SampleVectorField(Vector3(3.0f, 4.0f, 1.0f)), Vector3(0.0f, 0.0f, 0.0f)); // no grid

    emitter.SetVectorFieldRandom(10.0f + 1.0f);
    emitter.SetVectorFieldWidth(4);
    emitter.SetVectorFieldHeight(3);
    for (float x : {-1e-9f, 1e9f, -1e9f, 0.0f, 199.999f, -50.0f, 3e38f})
    {
        for (float y : {-1e-9f, 1e9f, 0.0f, 149.99f})
        {
            const Vector3 drift = emitter.SampleVectorField(Vector3(x, y, 1.0f));
            EXPECT_LE(std::hypot(drift.x, drift.y), 11.0f + 1e-3f) << x << ", " << y;
        }
    }
    // Just below a cell boundary the blend is (almost) the next cell, not the far side of the grid.
    const Vector3 atZero = emitter.VectorField()[0][0];
    const Vector3 below = emitter.SampleVectorField(Vector3(-1e-9f, 0.0f, 1.0f));
    EXPECT_NEAR(below.x, atZero.x, 1e-3f);
    EXPECT_NEAR(below.y, atZero.y, 1e-3f);
}

TEST_F(ParticleEmitterTest, ACloneKeepsTheConfigurationAndTheWaitButNoParticles)
{
    emitter.SetUseVectorField(true);
    Run(5);
    const ParticleEmitter copy = emitter.CloneConfiguration();
    EXPECT_EQ(copy.Accumulator(), emitter.Accumulator());
    EXPECT_TRUE(copy.Particles().empty());
    EXPECT_EQ(copy.VectorField().size(), 1u);
    EXPECT_TRUE(copy.Settings().useVectorField);
}
