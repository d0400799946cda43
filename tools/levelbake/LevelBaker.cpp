#include "LevelBaker.h"

#include "BackgroundRenderer.h"
#include "CCSMFactory.h"
#include "EditorLevels.h"
#include "Font.h"
#include "FrameRateManager.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "Graphics.h"
#include "LevelFile.h"
#include "MatchLevels.h"
#include "MenuLevels.h"
#include "MenuSystem.h"
#include "Registries.h"
#include "Renderer.h"
#include "SafeFileWriter.h"
#include "TextRenderer.h"
#include "TextureManager.h"
#include "Transform.h"
#include "TypeIds.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <ostream>

namespace
{
constexpr const char* kTextureInput = "texture";
constexpr const char* kTintInput = "tint";
constexpr Vector4 kLabelColour{1.0f, 1.0f, 1.0f, 1.0f};
// Where the baseline sits below a label's centre, as a share of the text size: capitals look centred.
constexpr float kBaselineDrop = 0.35f;
} // namespace

const std::vector<BakeTarget>& BakeTargets()
{
    static const std::vector<BakeTarget> targets = {
        {"MainMenu_New", &BuildMainMenuLevel},
        {"Victory_Orange", &BuildVictoryOrangeLevel},
        {"Victory_Blue", &BuildVictoryBlueLevel},
        {"LEVEL_1", &BuildLevel1},
        {"Editor_0", &BuildEditor0Level},
        {"Editor_2", &BuildEditor2Level},
    };
    return targets;
}

const BakeTarget* FindBakeTarget(const std::string& name)
{
    for (const BakeTarget& target : BakeTargets())
        if (target.name == name)
            return &target;
    return nullptr;
}

void ResetBakeWorld()
{
    if (gMenuSystem != nullptr)
        gMenuSystem->CloseAllMenus();
    if (FrameRateManager::IsPaused())
        FrameRateManager::TogglePause();
    if (gGameObjectFactory != nullptr)
    {
        gGameObjectFactory->QueueDestroyAll();
        gGameObjectFactory->DestroyQueuedObjects();
        gGameObjectFactory->DestroyAllPrefabs();
        // The prefab tables outlive their records and keep the order of their first use: emptied, a
        // bake's tables come in its own build order whatever ran before it.
        ComponentPreFabs().clear();
        ScriptPreFabs().clear();
        // Ids start again from 1, so a bake never depends on what was built before it.
        gGameObjectFactory->ResizeTable(1);
        gGameObjectFactory->SetLastId(0);
        gGameObjectFactory->SetFreeIds({});
        gGameObjectFactory->SetDestroyList({});
    }
    if (gCCSMFactory != nullptr)
        gCCSMFactory->ReplaceTables({});
    SetLevelModuleNames({});
    SetBakeBackground(TextureManager::kWhitePixelName, Vector4{1.0f, 1.0f, 1.0f, 1.0f});
}

std::string BakeLevel(const BakeTarget& target, const std::string& outDir)
{
    try
    {
        ResetBakeWorld();
        target.build();
        const std::filesystem::path folder = std::filesystem::path(outDir) / "Levels";
        std::filesystem::create_directories(folder);
        const std::string path = (folder / (target.name + ".xml")).string();
        const std::string failure = WriteFileChecked(
            path, [](std::ostream& out) { SaveLevelTo(out); },
            [&path](const std::string& bytes) { StageLevel(bytes, true, path); });
        return failure.empty() ? std::string() : target.name + ": " + failure;
    }
    catch (const std::exception& error)
    {
        return target.name + ": " + error.what();
    }
}

GameObject* AddSprite(const std::string& name, const std::string& texture, const Vector2& position,
                      const Vector2& size, int order, std::uint32_t tag)
{
    GameObject* object = gGameObjectFactory->CreateObject();
    object->SetName(name);
    object->tag = tag;
    Renderer sprite;
    sprite.SetUInt(kTextureInput, &TextureManager::GetTexture(texture));
    sprite.material.SetOrder(order);
    object->AddComponent(sprite);
    if (auto* transform = object->GetComponentAs<Transform>(ComponentTypeId::kTransform))
    {
        transform->SetTranslation(Vector3{position.x, position.y, transform->GetTranslation().z});
        transform->SetScale(Vector3{size.x, size.y, 1.0f});
    }
    return object;
}

void AddLabel(GameObject& object, const std::vector<std::string>& labels, float size, const Vector2& offset)
{
    if (labels.empty())
        return;
    // Centred on the label shown first; wide enough for the longest, which then runs on to the right.
    const float shownWidth = MeasureText(labels.front(), size).x;
    float width = shownWidth;
    for (const std::string& label : labels)
        width = std::max(width, MeasureText(label, size).x);
    // A pixel of slack keeps the widest label on one line.
    width += 1.0f;
    const float left = offset.x - shownWidth / 2.0f;
    TextRenderer text;
    text.SetSize(size);
    text.SetTint(kLabelColour);
    text.SetBottomLeft(Vector2{left, offset.y - size * kBaselineDrop});
    text.SetTopRight(Vector2{left + width, offset.y + size * (1.0f - kBaselineDrop)});
    text.SetText(labels.front());
    if (TextRenderer* existing = GetTextRenderer(object))
    {
        existing->SetSize(size);
        existing->SetTint(kLabelColour);
        existing->SetBottomLeft(text.GetBottomLeft());
        existing->SetTopRight(text.GetTopRight());
        existing->SetText(labels.front());
        return;
    }
    object.AddComponent(text);
}

void SetBakeBackground(const std::string& texture, const Vector4& tint)
{
    if (gGraphics == nullptr || gGraphics->GetBackground() == nullptr)
        return;
    BackgroundRenderer& background = *gGraphics->GetBackground();
    background.SetUseTime(false);
    background.SetTexture(&TextureManager::GetTexture(texture));
    background.GetMaterial().data.SetVector4(kTintInput, tint);
}
