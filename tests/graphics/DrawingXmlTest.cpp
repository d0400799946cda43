#include "DrawingFixture.h"

#include "BackgroundRenderer.h"
#include "LevelArchive.h"
#include "LevelHooks.h"
#include "LevelIArchive.h"
#include "Light.h"
#include "ParticleComponent.h"
#include "Renderer.h"
#include "TextRenderer.h"
#include "Texture.h"
#include "TextureManager.h"

#include <boost/archive/xml_oarchive.hpp>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace
{
template <typename Write> std::string WriteXml(Write write)
{
    std::ostringstream out;
    {
        boost::archive::xml_oarchive archive(out);
        write(archive);
    }
    return out.str();
}

std::string SaveXml(const Component& component)
{
    return WriteXml([&](LevelOArchive& archive) { component.Save(archive); });
}

// Loads as the level reader does: into a fresh copy of the prototype at the stored version.
template <typename T>
std::unique_ptr<T> LoadXml(const T& prototype, const std::string& xml, std::uint32_t version)
{
    std::istringstream in(xml);
    LevelIArchive archive(in);
    std::unique_ptr<Component> fresh = prototype.Clone();
    fresh->SetDataVersion(version);
    std::unique_ptr<Component> loaded = fresh->Load(archive);
    return std::unique_ptr<T>(dynamic_cast<T*>(loaded.release()));
}

// The element names in the order they appear.
std::vector<std::string> ElementOrder(const std::string& xml, const std::vector<std::string>& names)
{
    std::vector<std::pair<std::size_t, std::string>> found;
    for (const std::string& name : names)
    {
        const std::size_t at = xml.find("<" + name + ">");
        if (at != std::string::npos)
            found.emplace_back(at, name);
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> order;
    for (const auto& entry : found)
        order.push_back(entry.second);
    return order;
}

using DrawingXml = DrawingTest;
} // namespace

TEST_F(DrawingXml, ALightRoundTripsInItsFieldOrder)
{
    Light light;
    light.SetDataVersion(Light::kClassVersion);
    light.center = Vector2(1.0f, 2.0f);
    light.size = Vector2(300.0f, 200.0f);
    light.lightSource = Vector2(0.25f, -0.5f);
    light.tint = Vector4(50.0f, 50.0f, 50.0f, 1.0f);
    light.shadowTint = Vector4(0.0f, 11.0f, 255.0f, 1.0f);
    light.intensity = 3.5f;
    light.innerRadius = 0.125f;
    light.SetTextureName("WhitePixel");
    const std::string xml = SaveXml(light);
    const std::vector<std::string> names = {"Center",      "Size",      "Light_Source", "Tint",
                                            "Shadow_Tint", "Intensity", "Inner_Radius", "Texture_Name"};
    EXPECT_EQ(ElementOrder(xml, names), names);

    Light prototype;
    auto loaded = LoadXml(prototype, xml, Light::kClassVersion);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->center, light.center);
    EXPECT_EQ(loaded->size, light.size);
    EXPECT_EQ(loaded->lightSource, light.lightSource);
    EXPECT_EQ(loaded->tint, light.tint);
    EXPECT_EQ(loaded->shadowTint, light.shadowTint);
    EXPECT_EQ(loaded->intensity, light.intensity);
    EXPECT_EQ(loaded->innerRadius, light.innerRadius);
    EXPECT_EQ(loaded->GetTextureName(), "WhitePixel");
}

TEST_F(DrawingXml, AFirstVersionLightKeepsTheDefaultsOfLaterFields)
{
    Light old;
    old.SetDataVersion(1);
    old.center = Vector2(5.0f, 6.0f);
    old.shadowTint = Vector4(1.0f, 1.0f, 1.0f, 1.0f);
    old.innerRadius = 0.3f;
    const std::string xml = SaveXml(old);
    EXPECT_EQ(xml.find("Shadow_Tint"), std::string::npos);
    EXPECT_EQ(xml.find("Inner_Radius"), std::string::npos);
    EXPECT_EQ(xml.find("Texture_Name"), std::string::npos);

    Light prototype;
    auto loaded = LoadXml(prototype, xml, 1);
    EXPECT_EQ(loaded->center, Vector2(5.0f, 6.0f));
    EXPECT_EQ(loaded->shadowTint, Vector4(0.0f, 0.0f, 0.0f, 0.0f));
    EXPECT_EQ(loaded->innerRadius, 0.0f);
    EXPECT_EQ(loaded->GetTextureName(), "FalloffCircleLight");
}

TEST_F(DrawingXml, AnUnknownLightTextureBecomesDefaultWithItsMessage)
{
    Light light;
    light.SetDataVersion(Light::kClassVersion);
    std::string xml = SaveXml(light);
    const std::string stored = "<Texture_Name>FalloffCircleLight</Texture_Name>";
    ASSERT_NE(xml.find(stored), std::string::npos);
    xml.replace(xml.find(stored), stored.size(), "<Texture_Name>NoSuchLight</Texture_Name>");
    testing::internal::CaptureStdout();
    auto loaded = LoadXml(light, xml, Light::kClassVersion);
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_NE(output.find("Could not locate texture NoSuchLight!"), std::string::npos);
    EXPECT_EQ(loaded->GetTextureName(), "Default");
}

TEST_F(DrawingXml, ASavedFlipLoadsUnflippedAfterTheMaterialBlock)
{
    Renderer renderer;
    renderer.SetDataVersion(Renderer::kClassVersion);
    renderer.flip = true;
    renderer.tint = Vector4(0.5f, 0.25f, 1.0f, 0.75f);
    renderer.depth = 0.3f;
    renderer.SetUInt("texture", &TextureManager::GetTexture("FalloffCircleLight"));
    const std::string xml = SaveXml(renderer);
    EXPECT_EQ(xml.find("<Material>"), std::string::npos);
    EXPECT_EQ(ElementOrder(xml, {"Depth", "Flip_Texture", "Name", "Tint"}),
              (std::vector<std::string>{"Name", "Tint", "Flip_Texture", "Depth"}));
    EXPECT_NE(xml.find("<Flip_Texture>1</Flip_Texture>"), std::string::npos);

    Renderer prototype;
    auto loaded = LoadXml(prototype, xml, Renderer::kClassVersion);
    EXPECT_FALSE(loaded->flip);
    EXPECT_EQ(loaded->tint, renderer.tint);
    EXPECT_EQ(loaded->depth, 0.3f);
    EXPECT_EQ(loaded->material.data.GetUInt("texture")->name, "FalloffCircleLight");
    EXPECT_TRUE(loaded->material.needsRegistration);
}

TEST_F(DrawingXml, AnEmitterSavesItsTwentyFiveFieldsInOrder)
{
    ParticleComponent emitter;
    emitter.SetDataVersion(ParticleComponent::kClassVersion);
    ParticleSettings& settings = emitter.GetEmitter().EditSettings();
    settings.isBox = false;
    settings.radii = Vector2(3.0f, 9.0f);
    settings.initialTint = Vector4(0.1f, 0.2f, 0.3f, 0.4f);
    settings.useVectorField = true;
    settings.vfWidth = 150;
    settings.vfHeight = 4;
    settings.vfSpacing = 20.0f;
    emitter.SetEmissionRate(120.0f);
    const std::string xml = SaveXml(emitter);
    const std::vector<std::string> names = {
        "Is_Box",           "Dimentions",   "Radii",        "Center",
        "Emission_Rate",    "Min_Velocity", "Max_Velocity", "Min_Acceleration",
        "Max_Acceleration", "Init_Scale",   "Final_Scale",  "Init_Depth",
        "Final_Depth",      "Min_Life",     "Max_Life",     "Initial_Tint",
        "Tint_Variation",   "Final_Tint",   "Name",         "Use_Vector_Field",
        "VF_Spacing",       "VF_Width",     "VF_Height",    "VF_Base",
        "VF_Random"};
    EXPECT_EQ(ElementOrder(xml, names), names);
    EXPECT_EQ(xml.find("<Material>"), std::string::npos);

    ParticleComponent prototype;
    auto loaded = LoadXml(prototype, xml, ParticleComponent::kClassVersion);
    const ParticleSettings& read = loaded->GetEmitter().Settings();
    EXPECT_FALSE(read.isBox);
    EXPECT_EQ(read.radii, settings.radii);
    EXPECT_EQ(read.initialTint, settings.initialTint);
    EXPECT_EQ(read.emissionRate, 120.0f);
    EXPECT_EQ(read.vfSpacing, 20.0f);
    EXPECT_EQ(read.vfWidth, 100u) << "the rebuild clamps and stores";
    EXPECT_EQ(read.vfHeight, 4u);
    EXPECT_EQ(loaded->GetEmitter().VectorField().size(), 100u);
    EXPECT_EQ(loaded->GetMaterial().data.GetUInt("texture")->name, "FalloffCircleLight");
}

TEST_F(DrawingXml, TheBackgroundBlockReadsBothForms)
{
    ASSERT_TRUE(GetLevelHooks().saveBackground);
    ASSERT_TRUE(GetLevelHooks().stageBackground);
    BackgroundRenderer& background = *graphics->GetBackground();
    background.SetUseTime(true);
    background.GetMaterial().data.SetVector4("tint", Vector4(0.1f, 0.2f, 0.3f, 1.0f));
    const std::string xml =
        WriteXml([&](LevelOArchive& archive) { SaveBackgroundBlock(archive, background); });
    EXPECT_EQ(ElementOrder(xml, {"Name", "Use_Time", "Version_Number"}),
              (std::vector<std::string>{"Version_Number", "Use_Time", "Name"}));

    background.SetUseTime(false);
    background.GetMaterial().data.SetVector4("tint", Vector4(1.0f, 1.0f, 1.0f, 1.0f));
    {
        std::istringstream in(xml);
        LevelIArchive archive(in);
        auto install = GetLevelHooks().stageBackground(archive, true);
        EXPECT_FALSE(background.GetUseTime()) << "staging changes nothing";
        install();
    }
    EXPECT_TRUE(background.GetUseTime());
    EXPECT_EQ(*background.GetMaterial().data.GetVector4("tint"), Vector4(0.1f, 0.2f, 0.3f, 1.0f));
    EXPECT_EQ(background.GetDataVersion(), 1u);

    const std::string zero =
        WriteXml([](LevelOArchive& archive) { WriteField(archive, "Version_Number", 0u); });
    {
        std::istringstream in(zero);
        LevelIArchive archive(in);
        StageBackgroundBlock(archive, true)();
    }
    EXPECT_TRUE(background.GetUseTime()) << "version 0 reads no field";

    const std::string old = WriteXml(
        [](LevelOArchive& archive) { WriteField(archive, "BackGround", std::string("FalloffCircleLight")); });
    {
        std::istringstream in(old);
        LevelIArchive archive(in);
        StageBackgroundBlock(archive, false)();
    }
    EXPECT_EQ(background.GetMaterial().data.GetUInt("texture")->name, "FalloffCircleLight");
}

TEST_F(DrawingXml, AStalePrototypeStillLoadsTheFileCorners)
{
    TextRenderer written;
    written.SetDataVersion(TextRenderer::kClassVersion);
    written.SetText("Score");
    written.SetBottomLeft(Vector2(-100.0f, -50.0f));
    written.SetTopRight(Vector2(100.0f, 50.0f));
    const std::string xml = SaveXml(written);

    TextRenderer stale;
    stale.SetBottomLeft(Vector2(10.0f, 10.0f));
    stale.SetTopRight(Vector2(30.0f, 20.0f));
    auto loaded = LoadXml(stale, xml, TextRenderer::kClassVersion);
    EXPECT_EQ(loaded->GetBottomLeft(), Vector2(-100.0f, -50.0f));
    EXPECT_EQ(loaded->GetTopRight(), Vector2(100.0f, 50.0f));
    EXPECT_EQ(loaded->GetCenter(), Vector2(0.0f, 0.0f));
    EXPECT_EQ(loaded->GetDimensions(), Vector2(200.0f, 100.0f));
    EXPECT_EQ(loaded->GetText(), "Score");
    EXPECT_EQ(ElementOrder(
                  xml, {"Depth", "Top_Right", "Bottom_Left", "Dimentions", "Center", "Tint", "Size", "Text"}),
              (std::vector<std::string>{"Text", "Size", "Tint", "Center", "Dimentions", "Bottom_Left",
                                        "Top_Right", "Depth"}));
}
