// Writes the seed levels of the level-with-graphics fuzz target from a small drawing world saved on the
// offscreen window, so their material blocks carry the attributes real shaders have. Run by hand from a
// GL test program's data folder: GLIMMOCK_SEED_DIR=<corpus folder> level_graphics_seed_maker
#include "DrawingFixture.h"

#include "BackgroundRenderer.h"
#include "LevelFile.h"
#include "Light.h"
#include "ParticleComponent.h"
#include "TextRenderer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace
{
using SeedMaker = DrawingTest;

void WriteSeed(const std::string& name)
{
    const char* folder = std::getenv("GLIMMOCK_SEED_DIR");
    std::ofstream file(std::string(folder) + "/" + name, std::ios::binary | std::ios::trunc);
    SaveLevelTo(file);
    ASSERT_TRUE(file.good()) << name;
}
} // namespace

TEST_F(SeedMaker, WritesTheSeedLevels)
{
    if (std::getenv("GLIMMOCK_SEED_DIR") == nullptr)
        GTEST_SKIP() << "GLIMMOCK_SEED_DIR names no folder";
    graphics->GetBackground()->SetUseTime(true);
    graphics->GetBackground()->GetMaterial().data.SetVector4("tint", Vector4(0.2f, 0.3f, 0.4f, 1.0f));
    MakeSprite(10.0f, 20.0f, 64.0f, 32.0f, Vector4(1.0f, 0.5f, 0.25f, 1.0f), "Player1", 0.2f);
    WriteSeed("sprite_background.xml");

    Light light;
    light.size = Vector2(300.0f, 300.0f);
    light.tint = Vector4(0.5f, 0.5f, 1.0f, 1.0f);
    MakeObject(-50.0f, 0.0f).AddComponent(light);
    TextRenderer text;
    text.SetText("Score");
    text.SetBottomLeft(Vector2(-100.0f, -50.0f));
    text.SetTopRight(Vector2(100.0f, 50.0f));
    MakeObject(0.0f, 100.0f).AddComponent(text);
    ParticleComponent emitter;
    emitter.SetEmissionRate(30.0f);
    MakeObject(0.0f, -100.0f).AddComponent(emitter);
    WriteSeed("every_drawing_component.xml");
}
