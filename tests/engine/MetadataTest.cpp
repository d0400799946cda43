#include "Metadata.h"

#include "LevelIArchive.h"
#include "TimeManipulator.h"
#include "Transform.h"

#include <boost/archive/xml_oarchive.hpp>
#include <gtest/gtest.h>
#include <imgui.h>

#include <sstream>
#include <utility>

// Stand-ins for the classes of the subsystems that fill the hooks, to prove the hook kinds instantiate.
class Material
{
  public:
    std::string shaderName = "Sprite";
};

class BehaviorInput : public VersionedClass
{
  public:
    Material material;
};

namespace
{
// A class with one field of each plain kind, at a settable data version.
struct Sample : VersionedClass
{
    bool flag = false;
    std::int32_t count = 0;
    std::uint32_t mask = 0;
    float speed = 0.0f;
    Vector2 size;
    Vector3 position;
    Vector4 colour;
    std::string label;

    void SetVersion(std::uint32_t v) { dataVersion = v; }
};

FieldOptions Range(std::uint32_t first, std::uint32_t last, bool save = true)
{
    return FieldOptions{.firstVersion = first, .lastVersion = last, .save = save};
}

std::string SaveToString(const Metadata<Sample>& field, const Sample& sample)
{
    std::stringstream stream;
    {
        boost::archive::xml_oarchive archive(stream);
        field.Save(archive, sample);
    }
    return stream.str();
}

// The archive text between the root element's tags.
std::string Body(const std::string& xml)
{
    const std::size_t start = xml.find('>', xml.find("<boost_serialization")) + 1;
    const std::size_t end = xml.find("</boost_serialization>");
    std::string body = xml.substr(start, end - start);
    std::string compact;
    for (char c : body)
    {
        if (c != '\n' && c != '\t')
            compact += c;
    }
    return compact;
}

TEST(VersionRange, ClosedOpenAndEmptyRanges)
{
    EXPECT_TRUE(IsVersionInRange(0, 0, 0));
    EXPECT_FALSE(IsVersionInRange(1, 0, 0));
    EXPECT_FALSE(IsVersionInRange(0, 1, 0));
    EXPECT_TRUE(IsVersionInRange(1, 1, 0));
    EXPECT_TRUE(IsVersionInRange(900, 1, 0));
    EXPECT_FALSE(IsVersionInRange(0, 1, 3));
    EXPECT_TRUE(IsVersionInRange(1, 1, 3));
    EXPECT_TRUE(IsVersionInRange(3, 1, 3));
    EXPECT_FALSE(IsVersionInRange(4, 1, 3));
    // last < first is open: (2, 1) covers every version from 2 on.
    EXPECT_FALSE(IsVersionInRange(1, 2, 1));
    EXPECT_TRUE(IsVersionInRange(2, 2, 1));
    EXPECT_TRUE(IsVersionInRange(7, 2, 1));
}

TEST(FieldDescriptors, OutOfRangeFieldIsSkippedOnBothSides)
{
    Metafloat<Sample> field(
        "Speed", Range(2, 0), [](const Sample& s) { return s.speed; },
        [](Sample& s, const float& v) { s.speed = v; });
    Sample sample;
    sample.speed = 4.0f;
    sample.SetVersion(1);
    EXPECT_EQ(Body(SaveToString(field, sample)), "");
    sample.SetVersion(2);
    EXPECT_EQ(Body(SaveToString(field, sample)), "<Speed>4.000000000e+00</Speed>");
}

TEST(FieldDescriptors, FieldWithoutSaveFlagIsNeitherWrittenNorRead)
{
    Metaint<Sample> unsaved(
        "Count", Range(0, 0, false), [](const Sample& s) { return s.count; },
        [](Sample& s, const std::int32_t& v) { s.count = v; });
    Metaint<Sample> saved(
        "Count", Range(0, 0), [](const Sample& s) { return s.count; },
        [](Sample& s, const std::int32_t& v) { s.count = v; });
    Sample sample;
    sample.count = 5;
    EXPECT_EQ(Body(SaveToString(unsaved, sample)), "");

    std::stringstream stream(SaveToString(saved, sample));
    LevelIArchive archive(stream);
    Sample target;
    target.count = 9;
    unsaved.Load(archive, target);
    EXPECT_EQ(target.count, 9);
    saved.Load(archive, target);
    EXPECT_EQ(target.count, 5);
}

TEST(FieldDescriptors, VectorsAreSiblingElementsOfOneName)
{
    Sample sample;
    sample.position = {1.0f, 2.0f, 3.0f};
    sample.colour = {0.25f, 0.5f, 0.75f, 1.0f};
    MetaVector3<Sample> position(
        "Translation", Range(0, 0), [](const Sample& s) { return s.position; },
        [](Sample& s, const Vector3& v) { s.position = v; });
    MetaColor<Sample> colour(
        "Tint", Range(0, 0), [](const Sample& s) { return s.colour; },
        [](Sample& s, const Vector4& v) { s.colour = v; });
    EXPECT_EQ(Body(SaveToString(position, sample)), "<Translation>1.000000000e+00</Translation>"
                                                    "<Translation>2.000000000e+00</Translation>"
                                                    "<Translation>3.000000000e+00</Translation>");

    std::stringstream stream(SaveToString(colour, sample));
    LevelIArchive archive(stream);
    Sample target;
    colour.Load(archive, target);
    EXPECT_EQ(target.colour, sample.colour);
}

TEST(FieldDescriptors, EveryKindRoundTrips)
{
    DescriptorList<Sample> fields;
    fields.push_back(std::make_unique<Metabool<Sample>>(
        "Flag", Range(0, 0), [](const Sample& s) { return s.flag; },
        [](Sample& s, const bool& v) { s.flag = v; }));
    fields.push_back(std::make_unique<Metaint<Sample>>(
        "Count", Range(0, 0), [](const Sample& s) { return s.count; },
        [](Sample& s, const std::int32_t& v) { s.count = v; }));
    fields.push_back(std::make_unique<Metaunsigned<Sample>>(
        "Mask", Range(0, 0), [](const Sample& s) { return s.mask; },
        [](Sample& s, const std::uint32_t& v) { s.mask = v; }));
    fields.push_back(std::make_unique<Metafloat<Sample>>(
        "Speed", Range(0, 0), [](const Sample& s) { return s.speed; },
        [](Sample& s, const float& v) { s.speed = v; }));
    fields.push_back(std::make_unique<MetaVector2<Sample>>(
        "Size", Range(0, 0), [](const Sample& s) { return s.size; },
        [](Sample& s, const Vector2& v) { s.size = v; }));
    fields.push_back(std::make_unique<MetaText<Sample>>(
        "Label", Range(0, 0), [](const Sample& s) { return s.label; },
        [](Sample& s, const std::string& v) { s.label = v; }));
    fields.push_back(std::make_unique<MetaTexture<Sample>>(
        "Texture", Range(0, 0), [](const Sample& s) { return s.label; },
        [](Sample& s, const std::string& v) { s.label = v; }));
    Sample sample{};
    sample.flag = true;
    sample.count = -7;
    sample.mask = 4000000000u;
    sample.speed = 0.1f;
    sample.size = {2.0f, -3.0f};
    sample.label = "a <b> & \"c\"";

    std::stringstream stream;
    {
        boost::archive::xml_oarchive archive(stream);
        SaveFields(fields, archive, sample);
    }
    EXPECT_NE(stream.str().find("<Texture_Name>"), std::string::npos);
    LevelIArchive archive(stream);
    Sample target{};
    LoadFields(fields, archive, target);
    EXPECT_EQ(target.flag, true);
    EXPECT_EQ(target.count, -7);
    EXPECT_EQ(target.mask, 4000000000u);
    EXPECT_EQ(target.speed, 0.1f);
    EXPECT_EQ(target.size, sample.size);
    EXPECT_EQ(target.label, sample.label);
}

TEST(FieldDescriptors, NonFiniteFloatIsWrittenAsZeroWithWarning)
{
    Metafloat<Sample> field(
        "Speed", Range(0, 0), [](const Sample& s) { return s.speed; },
        [](Sample& s, const float& v) { s.speed = v; });
    Sample sample;
    sample.speed = std::numeric_limits<float>::quiet_NaN();
    testing::internal::CaptureStdout();
    const std::string xml = SaveToString(field, sample);
    EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("WARNING", 0), 0u);
    EXPECT_EQ(Body(xml), "<Speed>0.000000000e+00</Speed>");
}

TEST(FieldDescriptors, SavedEngineFieldNamesAreValidElementNames)
{
    for (const auto& field : Transform::Descriptors())
        EXPECT_TRUE(IsValidElementName(field->GetName())) << field->GetName();
    EXPECT_TRUE(IsValidElementName(kTextureNameElement));
    EXPECT_FALSE(IsValidElementName("Set Speed Effect"));
    EXPECT_FALSE(IsValidElementName("1st"));
    EXPECT_FALSE(IsValidElementName(""));
}

TEST(FieldDescriptors, TransformWritesItsFourFieldsInOrder)
{
    Transform transform;
    transform.SetDataVersion(Transform::kClassVersion);
    std::stringstream stream;
    {
        boost::archive::xml_oarchive archive(stream);
        transform.Save(archive);
    }
    const std::string xml = stream.str();
    const std::size_t translation = xml.find("<Translation>");
    const std::size_t rotation = xml.find("<Rotation>");
    const std::size_t scale = xml.find("<Scale>");
    const std::size_t depth = xml.find("<Depth>");
    EXPECT_LT(translation, rotation);
    EXPECT_LT(rotation, scale);
    EXPECT_LT(scale, depth);
    EXPECT_NE(depth, std::string::npos);

    // At version 0 no field is in range: nothing is written.
    Transform unversioned;
    std::stringstream empty;
    {
        boost::archive::xml_oarchive archive(empty);
        unversioned.Save(archive);
    }
    EXPECT_EQ(empty.str().find("<Translation>"), std::string::npos);
}

TEST(FieldDescriptors, FieldIdsAreUniqueAndIncreasing)
{
    const auto& fields = Transform::Descriptors();
    for (std::size_t i = 1; i < fields.size(); ++i)
        EXPECT_GT(fields[i]->GetFieldId(), fields[i - 1]->GetFieldId());
}

TEST(FieldDescriptors, WholeNumbersTruncateTowardZero)
{
    EXPECT_EQ(TruncateToWhole<std::int32_t>(2.7f), 2);
    EXPECT_EQ(TruncateToWhole<std::int32_t>(-2.7f), -2);
    EXPECT_EQ(TruncateToWhole<std::uint32_t>(-2.7f), 0u);
    EXPECT_EQ(TruncateToWhole<std::int32_t>(1e20f), std::numeric_limits<std::int32_t>::max());
}

// The widgets need only an ImGui context, no window.
class FieldEditorTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ImGui::CreateContext();
        ImGuiIO& io = ImGui::GetIO();
        io.DisplaySize = ImVec2(800, 600);
        io.IniFilename = nullptr;
        unsigned char* pixels = nullptr;
        int width = 0;
        int height = 0;
        io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);
        ImGui::NewFrame();
        ImGui::Begin("Editor");
    }
    void TearDown() override
    {
        ImGui::End();
        ImGui::EndFrame();
        ImGui::DestroyContext();
    }
};

TEST_F(FieldEditorTest, TextOfBufferSizeOpensEmptyWithoutOverflow)
{
    EXPECT_EQ(TextEditStart(std::string(511, 'x')), std::string(511, 'x'));
    EXPECT_EQ(TextEditStart(std::string(512, 'x')), "");
    Sample sample;
    sample.label = std::string(512, 'x');
    MetaText<Sample> field(
        "Label", Range(0, 0), [](const Sample& s) { return s.label; },
        [](Sample& s, const std::string& v) { s.label = v; });
    field.DrawEditor(sample);
    EXPECT_EQ(sample.label, std::string(512, 'x'));
}

// The editable fields of the component at its data version, and the widget rows its editor drew.
template <typename C> std::pair<int, float> EditableAndDrawnRows(C& component)
{
    int editable = 0;
    for (const auto& field : C::Descriptors())
        editable += field->Edits(component) ? 1 : 0;
    const float top = ImGui::GetCursorPosY();
    component.DrawEditor();
    return {editable, (ImGui::GetCursorPosY() - top) / ImGui::GetFrameHeightWithSpacing()};
}

TEST_F(FieldEditorTest, EngineComponentsDrawOneWidgetPerEditableField)
{
    Transform transform;
    transform.SetDataVersion(Transform::kClassVersion);
    const auto [transformFields, transformRows] = EditableAndDrawnRows(transform);
    EXPECT_GT(transformFields, 0);
    EXPECT_FLOAT_EQ(transformRows, static_cast<float>(transformFields));

    TimeManipulator manipulator;
    manipulator.SetDataVersion(TimeManipulator::kClassVersion);
    const auto [manipulatorFields, manipulatorRows] = EditableAndDrawnRows(manipulator);
    EXPECT_GT(manipulatorFields, 0);
    EXPECT_FLOAT_EQ(manipulatorRows, static_cast<float>(manipulatorFields));

    // Drawn at a version that carries no field, the editor draws nothing.
    transform.SetDataVersion(0);
    EXPECT_EQ(EditableAndDrawnRows(transform), std::make_pair(0, 0.0f));
}

TEST_F(FieldEditorTest, HookKindsCallTheirHooksOnlyWhenSet)
{
    MetaHooks::Reset();
    Sample sample;
    sample.label = "Old";
    MetaTexture<Sample> texture(
        "Texture", Range(0, 0), [](const Sample& s) { return s.label; },
        [](Sample& s, const std::string& v) { s.label = v; });
    MetaCCSM<Sample> behavior(
        "CCSM Comp", Range(0, 0), [](const Sample& s) { return s.label; },
        [](Sample& s, const std::string& v) { s.label = v; });
    texture.DrawEditor(sample);
    behavior.DrawEditor(sample);
    EXPECT_EQ(sample.label, "Old");

    MetaHooks::editTexture = [](const std::string&, std::string& name)
    {
        name = "Chosen";
        return true;
    };
    texture.DrawEditor(sample);
    EXPECT_EQ(sample.label, "Chosen");
    MetaHooks::editBehavior = [](const std::string& label, std::string& name)
    {
        name = label;
        return true;
    };
    behavior.DrawEditor(sample);
    EXPECT_EQ(sample.label, "CCSM Comp");
    MetaHooks::Reset();
}
TEST_F(FieldEditorTest, MaterialAndInputKindsReachTheirHooks)
{
    MetaHooks::Reset();
    BehaviorInput input;
    MetaMaterial<BehaviorInput> material(
        "Material", Range(0, 0), [](const BehaviorInput& owner) -> const Material& { return owner.material; },
        [](BehaviorInput& owner) -> Material& { return owner.material; });
    MetaInput<BehaviorInput> binding("Jump", Range(0, 0), 4);

    // Without hooks a material is neither written nor read (a level without its material blocks would
    // be refused later), and nothing is drawn.
    std::stringstream silent;
    {
        boost::archive::xml_oarchive archive(silent);
        EXPECT_THROW(material.Save(archive, input), std::logic_error);
    }
    EXPECT_EQ(silent.str().find("Shader"), std::string::npos);
    {
        std::stringstream source("<?xml version=\"1.0\" ?><!DOCTYPE boost_serialization>"
                                 "<boost_serialization signature=\"serialization::archive\" version=\"18\">"
                                 "<Shader_Name>Sprite</Shader_Name>");
        LevelIArchive archive(source);
        EXPECT_THROW(material.Load(archive, input), LevelFormatError);
    }
    material.DrawEditor(input);
    binding.DrawEditor(input);

    MetaHooks::saveMaterial = [](LevelOArchive& archive, const Material& value)
    { WriteField(archive, "Shader_Name", value.shaderName); };
    MetaHooks::loadMaterial = [](LevelIArchive& archive, Material& value)
    { ReadField(archive, "Shader_Name", value.shaderName); };
    std::uint32_t editedBinding = 0;
    MetaHooks::editInput = [&](BehaviorInput&, std::uint32_t index, const std::string& label, std::uint32_t)
    {
        editedBinding = index;
        EXPECT_EQ(label, "Jump");
    };
    std::stringstream stream;
    {
        boost::archive::xml_oarchive archive(stream);
        material.Save(archive, input);
        binding.Save(archive, input);
    }
    BehaviorInput target;
    target.material.shaderName = "";
    LevelIArchive archive(stream);
    material.Load(archive, target);
    binding.Load(archive, target);
    EXPECT_EQ(target.material.shaderName, "Sprite");
    binding.DrawEditor(input);
    EXPECT_EQ(editedBinding, 4u);
    MetaHooks::Reset();
}
} // namespace
