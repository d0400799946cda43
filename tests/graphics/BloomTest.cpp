#include "DrawingFixture.h"

#include "BackgroundRenderer.h"
#include "Bloom.h"
#include "LevelArchive.h"
#include "LevelIArchive.h"
#include "Light.h"
#include "RenderStats.h"
#include "TextRenderer.h"

#include <boost/archive/xml_oarchive.hpp>
#include <glad/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace
{
std::string SaveBloom(const Bloom& bloom)
{
    std::ostringstream out;
    {
        boost::archive::xml_oarchive archive(out);
        SaveFields(Bloom::Descriptors(), archive, bloom);
    }
    return out.str();
}

void LoadBloom(Bloom& bloom, const std::string& xml)
{
    std::istringstream in(xml);
    LevelIArchive archive(in);
    LoadFields(Bloom::Descriptors(), archive, bloom);
}

// Takes shader sources out of the test's data copy and puts them back afterwards.
class MissingFiles
{
  public:
    explicit MissingFiles(std::vector<std::string> names) : files(std::move(names))
    {
        for (const std::string& file : files)
            std::filesystem::rename(file, file + ".away");
    }
    ~MissingFiles()
    {
        for (const std::string& file : files)
            std::filesystem::rename(file + ".away", file);
    }
    MissingFiles(const MissingFiles&) = delete;
    MissingFiles& operator=(const MissingFiles&) = delete;

  private:
    std::vector<std::string> files;
};

} // namespace

TEST(BloomFields, TwelveFieldsInOrderAndTheTenSavedOnesRoundTrip)
{
    const std::vector<std::string> names = {
        "Threshold",       "Intensity",     "Horizontal_Radius", "Vertical_Radius",
        "Inner_Intensity", "Mid_Intensity", "Outer_Intensity",   "Outermost_Intensity",
        "Only_Bloom",      "LOD_Offset",    "AB_Test",           "SmoothingPasses"};
    const auto& fields = Bloom::Descriptors();
    ASSERT_EQ(fields.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i)
    {
        EXPECT_EQ(fields[i]->GetName(), names[i]);
        EXPECT_EQ(fields[i]->GetOptions().firstVersion, 1u);
        EXPECT_EQ(fields[i]->GetOptions().lastVersion, 0u);
        EXPECT_TRUE(fields[i]->GetOptions().edit);
        EXPECT_EQ(fields[i]->GetOptions().save, names[i] != "Only_Bloom" && names[i] != "AB_Test");
        if (i > 0)
        {
            EXPECT_EQ(fields[i]->GetFieldId(), fields[i - 1]->GetFieldId() + 1);
        }
    }

    Bloom bloom(1, nullptr, nullptr, nullptr);
    bloom.threshold = Vector3(0.5f, 0.75f, 1.25f);
    bloom.intensity = 1.5f;
    bloom.horizontalRadius = 2.0f;
    bloom.verticalRadius = 3.0f;
    bloom.innerIntensity = 0.25f;
    bloom.midIntensity = 0.5f;
    bloom.outerIntensity = 1.75f;
    bloom.outermostIntensity = 4.0f;
    bloom.lodOffset = -0.125f;
    bloom.smoothingPasses = 7;
    bloom.onlyBloom = bloom.abTest = true;
    const std::string xml = SaveBloom(bloom);
    for (const std::string& name : names)
        EXPECT_EQ(xml.find("<" + name + ">") != std::string::npos, name != "Only_Bloom" && name != "AB_Test")
            << name;

    Bloom loaded(1, nullptr, nullptr, nullptr);
    LoadBloom(loaded, xml);
    EXPECT_EQ(loaded.threshold, bloom.threshold);
    EXPECT_EQ(loaded.intensity, 1.5f);
    EXPECT_EQ(loaded.horizontalRadius, 2.0f);
    EXPECT_EQ(loaded.verticalRadius, 3.0f);
    EXPECT_EQ(loaded.innerIntensity, 0.25f);
    EXPECT_EQ(loaded.midIntensity, 0.5f);
    EXPECT_EQ(loaded.outerIntensity, 1.75f);
    EXPECT_EQ(loaded.outermostIntensity, 4.0f);
    EXPECT_EQ(loaded.lodOffset, -0.125f);
    EXPECT_EQ(loaded.smoothingPasses, 7);
    EXPECT_FALSE(loaded.onlyBloom);
    EXPECT_FALSE(loaded.abTest);
}

TEST(BloomFields, ValuesOutsideTheRangesLoadClamped)
{
    Bloom wild(1, nullptr, nullptr, nullptr);
    wild.threshold = Vector3(-1.0f, 4.0f, 99.0f);
    wild.intensity = 50.0f;
    wild.horizontalRadius = -3.0f;
    wild.verticalRadius = 11.0f;
    wild.innerIntensity = wild.midIntensity = wild.outerIntensity = wild.outermostIntensity = 6.0f;
    wild.lodOffset = 40.0f;
    wild.smoothingPasses = -4;
    Bloom loaded(1, nullptr, nullptr, nullptr);
    LoadBloom(loaded, SaveBloom(wild));
    EXPECT_EQ(loaded.threshold, Vector3(0.0f, 4.0f, 10.0f));
    EXPECT_EQ(loaded.intensity, 20.0f);
    EXPECT_EQ(loaded.horizontalRadius, 0.0f);
    EXPECT_EQ(loaded.verticalRadius, 10.0f);
    EXPECT_EQ(loaded.innerIntensity, 5.0f);
    EXPECT_EQ(loaded.outermostIntensity, 5.0f);
    EXPECT_EQ(loaded.lodOffset, 40.0f) << "the offset has no bound";
    EXPECT_EQ(loaded.smoothingPasses, 0);
    wild.smoothingPasses = 11;
    LoadBloom(loaded, SaveBloom(wild));
    EXPECT_EQ(loaded.smoothingPasses, 10);

    // A file cannot carry a NaN (the archive refuses it); the setters every field goes through keep the
    // value before it.
    SetEffectField(loaded.intensity, std::nanf(""), 0.0f, 20.0f);
    EXPECT_EQ(loaded.intensity, 20.0f);
    SetEffectField(loaded.threshold, Vector3(0.5f, std::nanf(""), 12.0f), 0.0f, 10.0f);
    EXPECT_EQ(loaded.threshold, Vector3(0.5f, 4.0f, 10.0f));
}

namespace
{
const std::string kBloomMessage = "ERROR: Bloom shaders are unusable; the image passes through unchanged.";

class BloomEffect : public DrawingTest
{
  protected:
    // Starts the renderer again on the test's data copy with these shader sources missing, on a black
    // background, and returns what it printed over the first frames.
    std::string RestartWithout(std::vector<std::string> files)
    {
        {
            MissingFiles missing(std::move(files));
            graphics->Exit();
            graphics->Init();
        }
        // The empty sources fail to compile, which the debug output reports as errors.
        EXPECT_GT(DrawingGlErrors(), 0);
        ResetDrawingGlErrors();
        BlackBackground();
        testing::internal::CaptureStdout();
        Settle();
        return testing::internal::GetCapturedStdout();
    }
};
} // namespace

TEST_F(BloomEffect, WithoutTheEffectShadersTheSceneStillReachesTheWindow)
{
    // Bloom's threshold pass and the single-pass effects' shaders are all missing.
    const std::string output =
        RestartWithout({"Shaders/threshold.fs", "Shaders/colorBalancer.fs", "Shaders/light.fs",
                        "Shaders/tonemap.fs", "Shaders/saturation.fs"});
    MakeSprite(0.0f, 0.0f, 200.0f, 200.0f, Vector4(0.2f, 0.4f, 0.6f, 1.0f));
    Light light;
    MakeObject(300.0f, 0.0f).AddComponent(light);
    testing::internal::CaptureStdout();
    Settle();
    const std::string later = testing::internal::GetCapturedStdout();
    const auto pixel = WindowPixel(ReadWindow(), 0.0f, 0.0f);
    EXPECT_NEAR(pixel[0], 51, 1);
    EXPECT_NEAR(pixel[1], 102, 1);
    EXPECT_NEAR(pixel[2], 153, 1);
    EXPECT_NE(output.find(kBloomMessage), std::string::npos);
    EXPECT_EQ(output.find(kBloomMessage), output.rfind(kBloomMessage)) << "said once";
    EXPECT_EQ(later.find(kBloomMessage), std::string::npos) << "not every frame";
}

namespace
{
// Counts the GL draws made through glad's entry points while it lives.
class GlDrawCounter
{
  public:
    GlDrawCounter()
    {
        count = 0;
        elements = glad_glDrawElements;
        instanced = glad_glDrawElementsInstanced;
        arrays = glad_glDrawArrays;
        arraysInstanced = glad_glDrawArraysInstanced;
        glad_glDrawElements = [](GLenum mode, GLsizei n, GLenum type, const void* at) {
            ++count;
            elements(mode, n, type, at);
        };
        glad_glDrawElementsInstanced = [](GLenum mode, GLsizei n, GLenum type, const void* at,
                                          GLsizei copies) {
            ++count;
            instanced(mode, n, type, at, copies);
        };
        glad_glDrawArrays = [](GLenum mode, GLint first, GLsizei n) {
            ++count;
            arrays(mode, first, n);
        };
        glad_glDrawArraysInstanced = [](GLenum mode, GLint first, GLsizei n, GLsizei copies) {
            ++count;
            arraysInstanced(mode, first, n, copies);
        };
    }
    ~GlDrawCounter()
    {
        glad_glDrawElements = elements;
        glad_glDrawElementsInstanced = instanced;
        glad_glDrawArrays = arrays;
        glad_glDrawArraysInstanced = arraysInstanced;
    }
    GlDrawCounter(const GlDrawCounter&) = delete;
    GlDrawCounter& operator=(const GlDrawCounter&) = delete;

    static inline std::uint64_t count = 0;

  private:
    static inline PFNGLDRAWELEMENTSPROC elements = nullptr;
    static inline PFNGLDRAWELEMENTSINSTANCEDPROC instanced = nullptr;
    static inline PFNGLDRAWARRAYSPROC arrays = nullptr;
    static inline PFNGLDRAWARRAYSINSTANCEDPROC arraysInstanced = nullptr;
};
} // namespace

TEST_F(BloomEffect, TheDrawCounterCountsEveryGlDrawOfAFullFrame)
{
    MakeSprite(-100.0f, 0.0f, 100.0f, 100.0f, Vector4(3.0f, 2.0f, 1.0f, 1.0f));
    Light light;
    MakeObject(100.0f, 0.0f).AddComponent(light);
    TextRenderer text;
    MakeObject(0.0f, 100.0f).AddComponent(text);
    graphics->DrawDebugLine(Vector2(0.0f, 0.0f), Vector2(50.0f, 50.0f), Vector4(1.0f, 1.0f, 1.0f, 1.0f));
    Settle();

    const std::uint64_t before = GetRenderStats().drawCalls;
    std::uint64_t drawn = 0;
    {
        GlDrawCounter counter;
        Settle(2);
        drawn = GlDrawCounter::count;
    }
    EXPECT_EQ(GetRenderStats().drawCalls - before, drawn);
    // Two frames of at least: background, sprite, text, occlusion, light, chain passes and presenting.
    EXPECT_GT(drawn, 2u * 30u);
}
