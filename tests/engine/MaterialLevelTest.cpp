// A level holding a material, in a process with and without the hooks graphics installs for it.
#include "LevelTestFixture.h"

#include "GameObject.h"
#include "LevelArchive.h"
#include "MetaHooks.h"
#include "Metadata.h"
#include "Prototypes.h"
#include "Registries.h"
#include "TypeIds.h"

// A stand-in for graphics' material: its block here is one shader name.
class Material
{
  public:
    std::string shaderName = "Sprite";
};

namespace
{
// A drawing component whose material is its only field.
class PaintedComponent : public Component
{
  public:
    static constexpr std::uint32_t kTypeId = ComponentTypeId::kRenderer;

    PaintedComponent() : Component("PaintedComponent", kTypeId) { RegisterComponentPrototype(*this); }
    PaintedComponent(const PaintedComponent&) = default;
    std::unique_ptr<Component> Clone() const override { return std::make_unique<PaintedComponent>(*this); }
    std::unique_ptr<Component> Load(LevelIArchive& archive) override
    {
        LoadFields(Descriptors(), archive, *this);
        return Clone();
    }
    void Save(LevelOArchive& archive) const override { SaveFields(Descriptors(), archive, *this); }
    std::uint32_t GetVersion() const override { return 1; }

    static const DescriptorList<PaintedComponent>& Descriptors()
    {
        static const DescriptorList<PaintedComponent> descriptors = [] {
            DescriptorList<PaintedComponent> list;
            list.push_back(std::make_unique<MetaMaterial<PaintedComponent>>(
                "Material", FieldOptions{.firstVersion = 1},
                [](const PaintedComponent& owner) -> const Material& { return owner.material; },
                [](PaintedComponent& owner) -> Material& { return owner.material; }));
            return list;
        }();
        return descriptors;
    }

    Material material;
};

class MaterialLevelTest : public LevelFileTest
{
  protected:
    static void InstallMaterialHooks()
    {
        MetaHooks::saveMaterial = [](LevelOArchive& archive, const Material& material) {
            WriteField(archive, "Shader_Name", material.shaderName);
        };
        MetaHooks::loadMaterial = [](LevelIArchive& archive, Material& material) {
            ReadField(archive, "Shader_Name", material.shaderName);
        };
    }

    std::string ShaderOf(std::uint32_t objectId) const
    {
        const auto* painted =
            dynamic_cast<const PaintedComponent*>(FindComponent(objectId, PaintedComponent::kTypeId));
        return painted ? painted->material.shaderName : "";
    }
};
} // namespace

TEST_F(MaterialLevelTest, WithoutGraphicsHooksALevelWithAMaterialIsNeitherSavedNorRead)
{
    InstallMaterialHooks();
    GameObject* object = factory->CreateObject();
    PaintedComponent painted;
    painted.material.shaderName = "Glow";
    object->AddComponent(painted);
    const std::uint32_t id = object->id;
    ASSERT_TRUE(SaveLevel("Arena"));
    const std::string saved = ReadFile("Levels/Arena.xml");
    ASSERT_NE(saved.find("<Shader_Name>Glow</Shader_Name>"), std::string::npos);

    MetaHooks::Reset();
    dynamic_cast<PaintedComponent*>(FindComponent(id, PaintedComponent::kTypeId))->material.shaderName =
        "Dim";
    testing::internal::CaptureStdout();
    EXPECT_FALSE(SaveLevel("Arena"));
    const std::string message = testing::internal::GetCapturedStdout();
    EXPECT_EQ(message.rfind("ERROR: level Arena not saved: ", 0), 0u) << message;
    EXPECT_NE(message.find("'Material'"), std::string::npos) << message;
    EXPECT_EQ(ReadFile("Levels/Arena.xml"), saved);
    EXPECT_FALSE(std::filesystem::exists("Levels/Arena.xml.tmp"));

    // Reading is refused as a whole, through the fallback too, and the running world stays.
    EXPECT_THROW(LoadLevel("Arena", true), LevelFormatError);
    testing::internal::CaptureStdout();
    EXPECT_THROW(LoadLevelWithFallback("Arena"), LevelFormatError);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(ShaderOf(id), "Dim");

    InstallMaterialHooks();
    LoadLevel("Arena", true);
    EXPECT_EQ(ShaderOf(id), "Glow");
}
