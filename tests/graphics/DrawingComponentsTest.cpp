#include "DrawingSystems.h"
#include "EnginePrototypes.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "ParticleComponent.h"
#include "Random.h"
#include "Registries.h"
#include "TextRenderer.h"
#include "TimeManipulator.h"
#include "Transform.h"

#include <gtest/gtest.h>

#include <memory>

// The components' rules that need no renderer: the systems run, but nothing reaches a batch.
class DrawingComponents : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ResetObjectModel();
        SeedRandom(3);
        factory = std::make_unique<GameObjectFactory>();
        factory->Init();
        RegisterEnginePrototypes();
        InstallDrawingSystems();
    }
    void TearDown() override
    {
        factory->Exit();
        factory.reset();
        ResetObjectModel();
    }

    std::unique_ptr<GameObjectFactory> factory;
};

TEST_F(DrawingComponents, TextLaysOutAgainOnlyAfterTextSizeOrBoxChanges)
{
    TextRenderer text;
    EXPECT_TRUE(text.IsLayoutDirty());
    text.Draw({0.0f, 0.0f}, 0.0f);
    EXPECT_FALSE(text.IsLayoutDirty());

    text.SetTint(Vector4(1.0f, 0.0f, 0.0f, 1.0f));
    text.SetDepth(0.4f);
    EXPECT_FALSE(text.IsLayoutDirty());

    const auto dirtiedBy = [&](auto change)
    {
        text.Draw({0.0f, 0.0f}, 0.0f);
        change();
        return text.IsLayoutDirty();
    };
    EXPECT_TRUE(dirtiedBy([&] { text.SetText("Goal!"); }));
    EXPECT_TRUE(dirtiedBy([&] { text.SetSize(32.0f); }));
    EXPECT_TRUE(dirtiedBy([&] { text.SetCenter(Vector2(5.0f, 5.0f)); }));
    EXPECT_TRUE(dirtiedBy([&] { text.SetDimensions(Vector2(50.0f, 10.0f)); }));
    EXPECT_TRUE(dirtiedBy([&] { text.SetBottomLeft(Vector2(-30.0f, 0.0f)); }));
    EXPECT_TRUE(dirtiedBy([&] { text.SetTopRight(Vector2(30.0f, 20.0f)); }));
}

TEST_F(DrawingComponents, TheBoxSettersKeepCentreAndDimensionsConsistent)
{
    TextRenderer text;
    text.SetBottomLeft(Vector2(-10.0f, -4.0f));
    text.SetTopRight(Vector2(30.0f, 6.0f));
    EXPECT_EQ(text.GetCenter(), Vector2(10.0f, 1.0f));
    EXPECT_EQ(text.GetDimensions(), Vector2(40.0f, 10.0f));
    text.SetCenter(Vector2(0.0f, 0.0f));
    EXPECT_EQ(text.GetBottomLeft(), Vector2(-20.0f, -5.0f));
    EXPECT_EQ(text.GetTopRight(), Vector2(20.0f, 5.0f));
    text.SetDimensions(Vector2(60.0f, 20.0f));
    EXPECT_EQ(text.GetBottomLeft(), Vector2(-30.0f, -10.0f));
    EXPECT_EQ(text.GetTopRight(), Vector2(30.0f, 10.0f));
}

TEST_F(DrawingComponents, CharacterMaterialsNeverShrink)
{
    TextRenderer text;
    text.SetText("Player 1");
    text.Draw({0.0f, 0.0f}, 0.0f);
    EXPECT_EQ(text.GetCharacterMaterials().size(), 8u);
    text.SetText("P1");
    text.Draw({0.0f, 0.0f}, 0.0f);
    EXPECT_EQ(text.GetCharacterMaterials().size(), 8u);
    EXPECT_EQ(text.GetCharacterPositions().size(), 2u);
}

TEST_F(DrawingComponents, AnEmitterUnderHalfSpeedTimeEmitsAtHalfRate)
{
    const auto makeEmitter = [&](bool slowed)
    {
        GameObject* object = factory->CreateObject();
        ParticleComponent emitter;
        emitter.SetMinLife(100.0f);
        emitter.SetMaxLife(100.0f);
        object->AddComponent(emitter);
        if (slowed)
        {
            TimeManipulator time;
            time.SetSpeed(0.5f);
            time.SetPersistent(true);
            object->AddComponent(time);
        }
        return object;
    };
    GameObject* normal = makeEmitter(false);
    GameObject* slowed = makeEmitter(true);
    for (int frame = 0; frame < 118; ++frame)
        factory->Update(1.0f / 60.0f);
    EXPECT_EQ(GetParticleComponent(*normal)->GetEmitter().Particles().size(), 99u);
    EXPECT_EQ(GetParticleComponent(*slowed)->GetEmitter().Particles().size(), 50u);
    EXPECT_EQ(GetParticleComponent(*slowed)->GetParticleMaterials().size(), 50u);
}

TEST_F(DrawingComponents, AnEmitterWithoutItsTransformIsSkippedWithItsMessage)
{
    GameObject* object = factory->CreateObject();
    ParticleComponent emitter;
    object->AddComponent(emitter);
    RemoveComponent(object->id, Transform::kTypeId);
    testing::internal::CaptureStdout();
    factory->Update(1.0f / 60.0f);
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_NE(output.find("Hey, something was null in ParticleSystem..."), std::string::npos);
    EXPECT_TRUE(GetParticleComponent(*object)->GetEmitter().Particles().empty());
}
