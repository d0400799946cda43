#include "MaterialXml.h"
#include "GraphicsTestFixture.h"
#include "SceneHelpers.h"
#include "Shader.h"

#include "LevelArchive.h"
#include "LevelIArchive.h"
#include "MetaHooks.h"

#include <boost/archive/xml_oarchive.hpp>

#include <imgui.h>

#include <sstream>

namespace
{
std::string Save(const Material& material)
{
    std::ostringstream stream;
    {
        boost::archive::xml_oarchive archive(stream);
        SaveMaterialBlock(archive, material);
    }
    return stream.str();
}

Material Load(const std::string& text)
{
    std::istringstream stream(text);
    LevelIArchive archive(stream);
    return LoadMaterialBlock(archive);
}

void ReplaceFirst(std::string& text, const std::string& from, const std::string& to)
{
    const auto at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
}

std::size_t CountOf(const std::string& text, const std::string& what)
{
    std::size_t count = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}
} // namespace

TEST_F(GraphicsTest, AMaterialRoundTripsThroughItsXmlBlock)
{
    Material material = graphics->GetMaterial(Graphics::dmBasic);
    material.data.SetVector4("tint", {1.0f, 0.5f, 0.25f, 1.0f});
    material.data.SetFloat("emissiveMultiplier", 2.5f);
    material.data.SetInt("flipTexture", 1);
    material.data.SetUInt("emissiveTexture", &TextureManager::GetTexture("WhitePixel"));
    material.SetBlendMode(bmOneOne);
    const std::string text = Save(material);

    const auto sizeAt = text.find("<ShaderData_Data_Size>");
    ASSERT_NE(sizeAt, std::string::npos);
    EXPECT_LT(text.find("<Name>"), text.find("<Order>"));
    EXPECT_LT(text.find("<Depth_Test>"), text.find("<ShaderData_Attribute_Count>"));
    EXPECT_EQ(CountOf(text.substr(sizeAt), "<tint>"), 4u);
    EXPECT_EQ(CountOf(text, "<Texture_Name>"), 2u);
    EXPECT_EQ(CountOf(text.substr(sizeAt), "<modelWorld>"), 0u) << "matrices carry no value";

    const Material loaded = Load(text);
    EXPECT_EQ(loaded.name, "basic");
    EXPECT_EQ(loaded.GetOrder(), 1000);
    EXPECT_EQ(loaded.shader, graphics->GetShader("basic"));
    EXPECT_EQ(loaded.GetRenderState(), material.GetRenderState());
    EXPECT_TRUE(loaded.needsRegistration);
    EXPECT_EQ(loaded.data.GetVector4("tint"), Vector4(1.0f, 0.5f, 0.25f, 1.0f));
    EXPECT_EQ(loaded.data.GetFloat("emissiveMultiplier"), 2.5f);
    EXPECT_EQ(loaded.data.GetInt("flipTexture"), 1);
    EXPECT_EQ(loaded.data.GetUInt("emissiveTexture")->name, "WhitePixel");
    EXPECT_EQ(loaded.data.GetUInt("texture")->name, "Default");
}

TEST_F(GraphicsTest, AttributesTheShaderLostAreDroppedAndUnknownTexturesFallBack)
{
    Material material = graphics->GetMaterial(Graphics::dmText);
    material.data.SetVector4("tint", {0.1f, 0.2f, 0.3f, 0.4f});
    std::string text = Save(material);
    // The file claims a "glow" float where the shader now has "tint".
    ReplaceFirst(text, "<Attribute_Name>tint</Attribute_Name>", "<Attribute_Name>glow</Attribute_Name>");
    ReplaceFirst(text, "<Attribute_Type>35666</Attribute_Type>", "<Attribute_Type>5126</Attribute_Type>");
    const auto values = text.find("<ShaderData_Data_Size>");
    std::string tail = text.substr(values);
    ReplaceFirst(tail, "<tint>", "<glow>");
    ReplaceFirst(tail, "</tint>", "</glow>");
    for (int extra = 0; extra < 3; ++extra)
    {
        const auto start = tail.find("<tint>");
        const auto end = tail.find("</tint>") + 7;
        tail.erase(start, end - start);
    }
    text = text.substr(0, values) + tail;
    ReplaceFirst(text, "<Texture_Name>Default</Texture_Name>", "<Texture_Name>Vanished</Texture_Name>");

    testing::internal::CaptureStdout();
    const Material loaded = Load(text);
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(loaded.data.GetVector4("tint"), Vector4(0, 0, 0, 0)) << "the lost value is not copied";
    EXPECT_EQ(loaded.data.FindAttribute("glow"), nullptr);
    EXPECT_EQ(loaded.data.GetUInt("texture")->name, "Default");
    EXPECT_NE(output.find("Could not locate texture Vanished!"), std::string::npos);
}

TEST_F(GraphicsTest, MaterialBlocksThatWouldWriteOutOfBoundsAreRejected)
{
    const std::string good = Save(graphics->GetMaterial(Graphics::dmBasic));
    auto rejects = [&](const std::string& from, const std::string& to)
    {
        std::string text = good;
        ReplaceFirst(text, from, to);
        EXPECT_THROW(Load(text), LevelFormatError) << to;
    };
    rejects("<Attribute_Data_Offset>36</Attribute_Data_Offset>",
            "<Attribute_Data_Offset>4000</Attribute_Data_Offset>");
    rejects("<Blend_Mode>1</Blend_Mode>", "<Blend_Mode>7</Blend_Mode>");
    rejects("<Depth_Test>513</Depth_Test>", "<Depth_Test>5</Depth_Test>");
    rejects("<ShaderData_Data_Size>84</ShaderData_Data_Size>",
            "<ShaderData_Data_Size>100000</ShaderData_Data_Size>");
    EXPECT_NO_THROW(Load(good));
}

TEST_F(GraphicsTest, TheMaterialAndTextureEditorsDrawHeadless)
{
    ImGuiContext* previous = ImGui::GetCurrentContext();
    ImGuiContext* context = ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.DisplaySize = ImVec2(640.0f, 480.0f);
    io.IniFilename = nullptr;
    unsigned char* pixels = nullptr;
    int width = 0;
    int height = 0;
    io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);

    Material material = graphics->GetMaterial(Graphics::dmBasic);
    std::string textureName = "WhitePixel";
    ImGui::NewFrame();
    ImGui::Begin("Fields");
    EXPECT_FALSE(MetaHooks::editMaterial(material)) << "nothing changes without input";
    EXPECT_FALSE(MetaHooks::editTexture("Texture", textureName));
    ImGui::End();
    ImGui::EndFrame();
    EXPECT_EQ(textureName, "WhitePixel");
    EXPECT_EQ(material.GetOrder(), 1000);

    ImGui::DestroyContext(context);
    ImGui::SetCurrentContext(previous);
}
