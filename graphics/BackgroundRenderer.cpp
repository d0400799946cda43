#include "BackgroundRenderer.h"

#include "Graphics.h"
#include "LevelArchive.h"
#include "LevelHooks.h"
#include "TextureManager.h"

namespace
{
constexpr Vector4 kDefaultTint{0.85f, 0.45f, 0.85f, 1.0f};

FieldOptions Options()
{
    return FromVersion(1);
}

BackgroundRenderer* LiveBackground()
{
    return gGraphics != nullptr ? gGraphics->GetBackground() : nullptr;
}
} // namespace

BackgroundRenderer::BackgroundRenderer(Shader* shader)
    : material(kMaterialName, shader, kOrder, MaterialRenderState(bmOpaque, false, kDepthAlways))
{
    material.data.SetUInt("texture", &TextureManager::GetTexture(TextureManager::kWhitePixelName));
    material.data.SetVector4("tint", kDefaultTint);
    material.data.SetFloat(kTimeOfDayInput, 0.0f);
    dataVersion = 1;
}

void BackgroundRenderer::SetTexture(Texture* texture)
{
    material.data.SetUInt("texture", texture);
}

void BackgroundRenderer::SetUseTime(bool use)
{
    material.data.SetFloat(kTimeOfDayInput, 0.0f);
    useTime = use;
}

void BackgroundRenderer::SetMaterial(const Material& newMaterial)
{
    material = newMaterial;
}

void BackgroundRenderer::Submit(float timeOfDay)
{
    if (useTime)
    {
        material.data.SetFloat(kTimeOfDayInput, timeOfDay);
    }
    material.Submit();
}

const DescriptorList<BackgroundRenderer>& BackgroundRenderer::Descriptors()
{
    static const DescriptorList<BackgroundRenderer> list = []
    {
        DescriptorList<BackgroundRenderer> fields;
        fields.push_back(std::make_unique<Metabool<BackgroundRenderer>>(
            "Use_Time", Options(), [](const BackgroundRenderer& b) { return b.GetUseTime(); },
            [](BackgroundRenderer& b, const bool& v) { b.SetUseTime(v); }));
        fields.push_back(std::make_unique<MetaMaterial<BackgroundRenderer>>(
            "Material", Options(),
            [](const BackgroundRenderer& b) -> const Material& { return b.GetMaterial(); },
            [](BackgroundRenderer& b) -> Material& { return b.GetMaterial(); }));
        return fields;
    }();
    return list;
}

void SaveBackgroundBlock(LevelOArchive& archive, const BackgroundRenderer& background)
{
    WriteField(archive, kBackgroundVersionElement, background.GetDataVersion());
    SaveFields(BackgroundRenderer::Descriptors(), archive, background);
}

std::function<void()> StageBackgroundBlock(LevelIArchive& archive, bool versioned)
{
    if (!versioned)
    {
        std::string textureName;
        ReadField(archive, kOldBackgroundElement, textureName);
        return [textureName]
        {
            if (BackgroundRenderer* live = LiveBackground())
            {
                live->SetTexture(&TextureManager::GetTexture(textureName));
                live->SetDataVersion(1);
            }
        };
    }

    std::uint32_t version = 0;
    ReadField(archive, kBackgroundVersionElement, version);
    BackgroundRenderer* live = LiveBackground();
    if (live == nullptr && gGraphics == nullptr)
    {
        return [] {};
    }
    // Read into a copy, so a block that fails half-way leaves the running background alone. A renderer
    // without a window has no background, but still reads the block, so the same files are refused.
    auto staged = live != nullptr ? std::make_shared<BackgroundRenderer>(*live)
                                  : std::make_shared<BackgroundRenderer>(gGraphics->GetShader("background"));
    staged->SetDataVersion(version);
    LoadFields(BackgroundRenderer::Descriptors(), archive, *staged);
    const auto& fields = BackgroundRenderer::Descriptors();
    const bool readUseTime = fields[0]->InRange(*staged);
    const bool readMaterial = fields[1]->InRange(*staged);
    return [staged, readUseTime, readMaterial]
    {
        BackgroundRenderer* target = LiveBackground();
        if (target == nullptr)
        {
            return;
        }
        if (readUseTime)
        {
            target->SetUseTime(staged->GetUseTime());
        }
        if (readMaterial)
        {
            target->SetMaterial(staged->GetMaterial());
        }
        target->SetDataVersion(1);
    };
}

void InstallBackgroundLevelHooks()
{
    LevelHooks& hooks = GetLevelHooks();
    hooks.saveBackground = [](LevelOArchive& archive)
    {
        if (BackgroundRenderer* live = LiveBackground())
        {
            SaveBackgroundBlock(archive, *live);
        }
    };
    hooks.stageBackground = &StageBackgroundBlock;
}

void RemoveBackgroundLevelHooks()
{
    LevelHooks& hooks = GetLevelHooks();
    hooks.saveBackground = nullptr;
    hooks.stageBackground = nullptr;
}
