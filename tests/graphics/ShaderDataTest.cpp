#include "ShaderData.h"
#include "Texture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

namespace
{
// The layout reflection gives a pair with inputs of every type, a float last.
ShaderData EveryTypeLayout(Texture* defaultTexture)
{
    ShaderData data;
    data.AppendAttribute("modelWorld", 2, satMatrix3, defaultTexture);
    data.AppendAttribute("tint", 5, satVector4, defaultTexture);
    data.AppendAttribute("count", 6, satInt, defaultTexture);
    data.AppendAttribute("texture", 7, satUInt, defaultTexture);
    data.AppendAttribute("offset", 9, satVector2, defaultTexture);
    data.AppendAttribute("extra", 10, satVector3, defaultTexture);
    data.AppendAttribute("amount", 8, satFloat, defaultTexture);
    return data;
}

float FloatAt(const ShaderData& data, std::size_t offset)
{
    float value = 0.0f;
    std::memcpy(&value, data.data.data() + offset, sizeof(value));
    return value;
}
} // namespace

TEST(ShaderDataTest, ValuesLandAtTheirOffsetsAndReadBack)
{
    Texture fallback;
    ShaderData data = EveryTypeLayout(&fallback);
    EXPECT_EQ(data.stride, 84u);
    data.SetVector4("tint", Vector4(1.0f, 0.5f, 0.25f, 1.0f));
    data.SetInt("count", -7);
    data.SetVector2("offset", Vector2(3.0f, 4.0f));
    data.SetVector3("extra", Vector3(5.0f, 6.0f, 7.0f));
    data.SetFloat("amount", 2.5f);
    Matrix3 matrix = TranslationMatrix(10.0f, 20.0f);
    data.SetMatrix3("modelWorld", matrix);

    EXPECT_EQ(FloatAt(data, 36), 1.0f);
    EXPECT_EQ(FloatAt(data, 48), 1.0f);
    EXPECT_EQ(FloatAt(data, 60), 3.0f);
    EXPECT_EQ(FloatAt(data, 80), 2.5f);
    EXPECT_EQ(data.GetVector4("tint"), Vector4(1.0f, 0.5f, 0.25f, 1.0f));
    EXPECT_EQ(data.GetInt("count"), -7);
    EXPECT_EQ(data.GetVector3("extra"), Vector3(5.0f, 6.0f, 7.0f));
    EXPECT_EQ(data.GetMatrix3("modelWorld"), matrix);
    EXPECT_EQ(data.GetUInt("texture"), &fallback);
    EXPECT_FALSE(data.GetVector2("missing").has_value());
    EXPECT_EQ(data.GetFloat("missing"), 0.0f);
}

TEST(ShaderDataTest, DepthIsTheSortKeyNotAnInput)
{
    ShaderData data = EveryTypeLayout(nullptr);
    const std::vector<std::uint8_t> before = data.data;
    EXPECT_EQ(data.depth, 0.5f);
    data.SetFloat("depth", 0.9f);
    EXPECT_EQ(data.depth, 0.9f);
    EXPECT_EQ(data.GetFloat("depth"), 0.9f);
    EXPECT_EQ(data.data, before);
}

TEST(ShaderDataTest, MismatchedTypesReportAndStayInsideTheSlot)
{
    Texture fallback;
    ShaderData data = EveryTypeLayout(&fallback);
    data.SetVector4("tint", Vector4(9.0f, 9.0f, 9.0f, 9.0f));

    testing::internal::CaptureStdout();
    data.SetVector3("tint", Vector3(1.0f, 2.0f, 3.0f));
    std::string output = testing::internal::GetCapturedStdout();
    EXPECT_NE(output.find("ERROR: Type of attribute does not match, should be Vector3, is: 35666"),
              std::string::npos);
    EXPECT_EQ(data.GetVector4("tint"), Vector4(1.0f, 2.0f, 3.0f, 9.0f)) << "12 bytes written";

    // A matrix into the trailing float writes its first four bytes and nothing past the instance.
    testing::internal::CaptureStdout();
    data.SetMatrix3("amount", TranslationMatrix(5.0f, 6.0f));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(data.data.size(), 84u);
    EXPECT_EQ(data.GetFloat("amount"), 1.0f);

    // A getter larger than the slot answers nothing.
    testing::internal::CaptureStdout();
    EXPECT_FALSE(data.GetMatrix3("amount").has_value());
    EXPECT_FALSE(data.GetVector4("extra").has_value());
    output = testing::internal::GetCapturedStdout();
    EXPECT_NE(output.find("should be matrix3, is: 5126"), std::string::npos);
}

TEST(ShaderDataTest, TextureSlotsIgnoreNullAndNamesWithoutABinding)
{
    Texture fallback;
    Texture other;
    ShaderData data = EveryTypeLayout(&fallback);
    data.SetUInt("texture", nullptr);
    EXPECT_EQ(data.GetUInt("texture"), &fallback);
    data.SetUInt("texture", &other);
    EXPECT_EQ(data.GetUInt("texture"), &other);

    testing::internal::CaptureStdout();
    data.SetUInt("amount", &fallback);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(data.GetUInt("texture"), &other);
    EXPECT_EQ(data.GetFloat("amount"), 0.0f);
}

TEST(ShaderDataTest, UnknownTypesAreSkippedWithTheirMessage)
{
    ShaderData data;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(data.AppendAttribute("sampler", 3, 35678, nullptr));
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_NE(output.find("ERROR: Unknown Shader Attribute: 35678"), std::string::npos);
    EXPECT_EQ(data.stride, 0u);
    EXPECT_TRUE(data.attributes.empty());
}

// An input found once writes exactly what its name setter writes; a name of another type is not found,
// and an input of another layout changes nothing, so callers fall back to the name setters.
TEST(ShaderDataTest, InputsFoundOnceWriteWhatTheNameSettersWrite)
{
    Texture fallback;
    Texture chosen;
    ShaderData byName = EveryTypeLayout(&fallback);
    ShaderData byInput = EveryTypeLayout(&fallback);
    const ShaderInput world = byInput.FindInput("modelWorld", satMatrix3);
    const ShaderInput tint = byInput.FindInput("tint", satVector4);
    const ShaderInput count = byInput.FindInput("count", satInt);
    const ShaderInput amount = byInput.FindInput("amount", satFloat);
    const ShaderInput texture = byInput.FindInput("texture", satUInt);
    EXPECT_FALSE(byInput.FindInput("tint", satVector3).IsFound());
    EXPECT_FALSE(byInput.FindInput("missing", satFloat).IsFound());

    const Matrix3 place = TranslationMatrix(3.0f, -2.0f) * ScaleMatrix(4.0f, 5.0f);
    byName.SetMatrix3("modelWorld", place);
    byName.SetVector4("tint", Vector4(0.1f, 0.2f, 0.3f, 0.4f));
    byName.SetInt("count", 42);
    byName.SetFloat("amount", 2.5f);
    byName.SetUInt("texture", &chosen);
    EXPECT_TRUE(byInput.SetMatrix3(world, place));
    EXPECT_TRUE(byInput.SetVector4(tint, Vector4(0.1f, 0.2f, 0.3f, 0.4f)));
    EXPECT_TRUE(byInput.SetInt(count, 42));
    EXPECT_TRUE(byInput.SetFloat(amount, 2.5f));
    EXPECT_TRUE(byInput.SetUInt(texture, &chosen));
    EXPECT_EQ(byInput.data, byName.data);
    EXPECT_EQ(byInput.GetUInt(texture), &chosen);

    // Another layout: the same input names another slot there, so nothing is written.
    ShaderData other;
    other.AppendAttribute("tint", 2, satVector4, &fallback);
    const std::vector<std::uint8_t> before = other.data;
    EXPECT_FALSE(other.SetMatrix3(world, place));
    EXPECT_FALSE(other.SetFloat(amount, 1.0f));
    EXPECT_EQ(other.GetUInt(texture), nullptr);
    EXPECT_EQ(other.data, before);
}

// Inputs found in a shader's template serve every copy of it (materials copy the template), keep serving
// a copy that grew an input, and are refused by a layout that merely shares the size: the slot they name
// is checked whichever way the data was made.
TEST(ShaderDataTest, InputsFoundInATemplateServeItsCopiesAndNoOtherLayout)
{
    Texture fallback;
    const ShaderData shaderTemplate = EveryTypeLayout(&fallback);
    const ShaderInput tint = shaderTemplate.FindInput("tint", satVector4);
    const ShaderInput amount = shaderTemplate.FindInput("amount", satFloat);

    ShaderData copied = shaderTemplate;
    ShaderData source = shaderTemplate;
    ShaderData moved = std::move(source);
    ShaderData grown = shaderTemplate;
    grown.AppendAttribute("glow", 11, satFloat, &fallback);
    ShaderData rebuilt = EveryTypeLayout(&fallback);
    for (ShaderData* data : {&copied, &moved, &grown, &rebuilt})
    {
        EXPECT_TRUE(data->SetVector4(tint, Vector4(0.5f, 0.25f, 0.125f, 1.0f)));
        EXPECT_TRUE(data->SetFloat(amount, 3.0f));
        EXPECT_EQ(data->GetVector4("tint"), Vector4(0.5f, 0.25f, 0.125f, 1.0f));
        EXPECT_EQ(data->GetFloat("amount"), 3.0f);
    }

    // Same size, other order: "amount" lies where "tint" begins in the template's layout.
    ShaderData reordered;
    reordered.AppendAttribute("amount", 8, satFloat, &fallback);
    reordered.AppendAttribute("filler", 2, satMatrix3, &fallback);
    reordered.AppendAttribute("rest", 5, satVector4, &fallback);
    reordered.AppendAttribute("count", 6, satInt, &fallback);
    reordered.AppendAttribute("texture", 7, satUInt, &fallback);
    reordered.AppendAttribute("offset", 9, satVector2, &fallback);
    reordered.AppendAttribute("extra", 10, satVector3, &fallback);
    ASSERT_EQ(reordered.stride, shaderTemplate.stride);
    const std::vector<std::uint8_t> before = reordered.data;
    EXPECT_FALSE(reordered.SetVector4(tint, Vector4(1.0f, 1.0f, 1.0f, 1.0f)));
    EXPECT_FALSE(reordered.SetFloat(amount, 9.0f));
    EXPECT_EQ(reordered.data, before);
}
