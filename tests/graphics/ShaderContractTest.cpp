#include "GraphicsTestFixture.h"
#include "Shader.h"
#include "Texture.h"

#include <glad/gl.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace
{
using Inputs = std::vector<std::pair<std::string, std::pair<std::uint32_t, std::uint32_t>>>;

struct Contract
{
    Inputs inputs; // name -> (location, GL type)
    std::vector<const char*> uniforms;
};

const std::map<std::string, Contract>& Contracts()
{
    static const std::vector<const char*> batchUniforms = {"worldScreen", "samplers", "drawOrdinal",
                                                           "ordinalStep"};
    static const std::map<std::string, Contract> contracts = {
        {"basic",
         {{{"modelWorld", {2, satMatrix3}},
           {"tint", {5, satVector4}},
           {"flipTexture", {6, satInt}},
           {"texture", {7, satUInt}},
           {"emissiveTexture", {8, satUInt}},
           {"emissiveTint", {9, satVector4}},
           {"emissiveMultiplier", {10, satFloat}}},
          batchUniforms}},
        {"text",
         {{{"modelWorld", {2, satMatrix3}}, {"tint", {5, satVector4}}, {"texture", {6, satUInt}}},
          batchUniforms}},
        {"particleBasic",
         {{{"modelWorld", {2, satMatrix3}}, {"tint", {5, satVector4}}, {"texture", {6, satUInt}}},
          batchUniforms}},
        {"renderAlpha",
         {{{"modelWorld", {2, satMatrix3}}, {"texture", {5, satUInt}}, {"obfuscation", {6, satFloat}}},
          batchUniforms}},
        {"background",
         {{{"tint", {2, satVector4}}, {"texture", {3, satUInt}}, {"timeOfDay", {4, satFloat}}},
          {"samplers", "drawOrdinal", "ordinalStep"}}},
        {"debug", {{}, {"worldScreen", "renderingPoints"}}},
        {"textured", {{}, {"tex"}}},
        {"directionalBlur", {{}, {"tex", "direction", "radius", "textureSize", "intensity", "lod"}}},
        {"threshold", {{}, {"tex", "threshold", "intensity"}}},
        {"colorBalancer", {{}, {"tex", "balance"}}},
        {"tonemap", {{}, {"tex", "gamma", "exposure"}}},
        {"saturation", {{}, {"tex", "saturation", "whitening", "multiplier1", "multiplier2", "power"}}},
        {"light",
         {{},
          {"worldScreen", "modelWorld", "tex", "alphaTex", "aspectRatio", "lightSource", "tint", "minTint",
           "intensity", "innerRadius"}}},
    };
    return contracts;
}

// A pair whose inputs take every accepted type once.
const char* kAllTypesVertex = R"(#version 430 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 uv;
layout(location = 2) in mat3 modelWorld;
layout(location = 5) in vec4 tint;
layout(location = 6) in int count;
layout(location = 7) in uint texture;
layout(location = 8) in float amount;
layout(location = 9) in vec2 offset;
layout(location = 10) in vec3 extra;
out vec4 vColour;
flat out uint vTexture;
void main()
{
    vec3 p = modelWorld * position;
    gl_Position = vec4(p.xy + offset + extra.xy, extra.z, 1.0);
    vColour = tint * amount * float(count);
    vTexture = texture;
}
)";
const char* kAllTypesFragment = R"(#version 430 core
in vec4 vColour;
flat in uint vTexture;
out vec4 fragColour;
void main()
{
    fragColour = vColour + vec4(float(vTexture));
}
)";
} // namespace

TEST_F(GraphicsTest, EveryGameShaderLinksWithTheAgreedInputsAndUniforms)
{
    testing::internal::CaptureStdout();
    std::vector<Shader*> built;
    for (const auto& [name, contract] : Contracts())
        built.push_back(graphics->GetShader(name));
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(output.find("Shader"), std::string::npos) << output;
    EXPECT_EQ(Contracts().size(), 13u);

    for (Shader* shader : built)
    {
        const Contract& contract = Contracts().at(shader->GetName());
        SCOPED_TRACE(shader->GetName());
        ASSERT_TRUE(shader->IsUsable());
        const ShaderData& layout = shader->GetTemplate();
        ASSERT_EQ(layout.attributes.size(), contract.inputs.size());
        std::uint32_t offset = 0;
        for (std::size_t index = 0; index < contract.inputs.size(); ++index)
        {
            const ShaderAttribute& attribute = layout.attributes[index];
            EXPECT_EQ(attribute.name, contract.inputs[index].first);
            EXPECT_EQ(attribute.location, contract.inputs[index].second.first);
            EXPECT_EQ(attribute.type, contract.inputs[index].second.second);
            EXPECT_EQ(attribute.dataOffset, offset);
            offset += AttributeSize(attribute.type);
        }
        EXPECT_EQ(layout.stride, offset);
        for (const char* uniform : contract.uniforms)
            EXPECT_NE(glGetUniformLocation(shader->GetProgram(), uniform), -1) << uniform;
    }
}

TEST_F(GraphicsTest, ReflectionLaysOutEveryTypeAndBindsTextureSlotsToDefault)
{
    GlTestSupport::WriteFile("Shaders/allTypes.vs", kAllTypesVertex);
    GlTestSupport::WriteFile("Shaders/allTypes.fs", kAllTypesFragment);
    Shader* shader = graphics->GetShader("allTypes");
    ASSERT_TRUE(shader->IsUsable());
    const ShaderData& layout = shader->GetTemplate();
    EXPECT_EQ(layout.stride, 84u);
    ASSERT_EQ(layout.data.size(), 84u);
    const std::vector<std::uint64_t> offsets = {0, 36, 52, 56, 60, 64, 72};
    ASSERT_EQ(layout.attributes.size(), offsets.size());
    for (std::size_t index = 0; index < offsets.size(); ++index)
        EXPECT_EQ(layout.attributes[index].dataOffset, offsets[index]) << layout.attributes[index].name;
    ASSERT_EQ(layout.textureBindings.size(), 1u);
    EXPECT_EQ(layout.textureBindings[0].location, 7u);
    EXPECT_EQ(layout.textureBindings[0].dataOffset, 56u);
    ASSERT_NE(layout.textureBindings[0].texture, nullptr);
    EXPECT_EQ(layout.textureBindings[0].texture->name, "Default");
    EXPECT_EQ(layout.GetMatrix3("modelWorld"), Matrix3());
    EXPECT_EQ(graphics->GetShader("allTypes"), shader) << "each name is built once";
}

TEST_F(GraphicsTest, BrokenShadersReportAndStayUnusable)
{
    GlTestSupport::WriteFile("Shaders/onlyVertex.vs", kAllTypesVertex);
    GlTestSupport::WriteFile("Shaders/broken.vs", "#version 430 core\nvoid main() { nonsense; }\n");
    GlTestSupport::WriteFile("Shaders/broken.fs", kAllTypesFragment);
    GlTestSupport::WriteFile("Shaders/unlinked.vs", "#version 430 core\nout vec4 a;\nvoid main() {}\n");
    GlTestSupport::WriteFile("Shaders/unlinked.fs",
                             "#version 430 core\nin vec3 b;\nout vec4 c;\nvoid main() { c = vec4(b, 1); }\n");

    testing::internal::CaptureStdout();
    Shader* missing = graphics->GetShader("onlyVertex");
    std::string output = testing::internal::GetCapturedStdout();
    EXPECT_NE(output.find("Shader: Error: Shader file(s) not found."), std::string::npos);
    EXPECT_NE(output.find("ShaderError: Fragment Shader did not compile."), std::string::npos);
    EXPECT_FALSE(missing->IsUsable());

    testing::internal::CaptureStdout();
    Shader* broken = graphics->GetShader("broken");
    output = testing::internal::GetCapturedStdout();
    EXPECT_NE(output.find("ShaderError: Vertex Shader did not compile."), std::string::npos);
    EXPECT_FALSE(broken->IsUsable());

    testing::internal::CaptureStdout();
    Shader* unlinked = graphics->GetShader("unlinked");
    output = testing::internal::GetCapturedStdout();
    EXPECT_NE(output.find("ShaderError: Shader did not link."), std::string::npos);
    EXPECT_FALSE(unlinked->IsUsable());

    // The driver reports the compile failures themselves; after them, nothing may raise an error.
    GlTestSupport::ResetErrorCount();
    // Materials of an unusable shader submit and draw without a GL call.
    Material material("broken", broken, 10, MaterialRenderState());
    material.Submit();
    Frame();
    EXPECT_TRUE(broken->GetTemplate().attributes.empty());
}
