#include "MatchLevels.h"

#include "ArenaBlock.h"
#include "BallSpeedScript.h"
#include "BehaviorInput.h"
#include "BoxCollider.h"
#include "CCSMFactory.h"
#include "DestructableScript.h"
#include "DraggingCollisionScript.h"
#include "EventTextScript.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStats.h"
#include "HUDScript.h"
#include "HazardCollisionScript.h"
#include "LevelBaker.h"
#include "LevelBoundsScript.h"
#include "LevelFile.h"
#include "Light.h"
#include "MatchBehaviorTables.h"
#include "MatchWorld.h"
#include "ModuleFile.h"
#include "ModuleWriter.h"
#include "MoveScript.h"
#include "Renderer.h"
#include "RigidBody.h"
#include "SafeFileWriter.h"
#include "StatNames.h"
#include "Substance.h"
#include "TextRenderer.h"
#include "TextureManager.h"
#include "Transform.h"
#include "TypeIds.h"

#include <SDL.h>

#include <algorithm>
#include <exception>
#include <filesystem>
#include <ostream>

namespace
{
constexpr const char* kTextureInput = "texture";
constexpr Vector4 kOrange{1.0f, 0.55f, 0.1f, 1.0f};
constexpr Vector4 kBlue{0.25f, 0.6f, 1.0f, 1.0f};
constexpr Vector4 kWhite{1.0f, 1.0f, 1.0f, 1.0f};
constexpr Vector4 kViolet{0.6f, 0.25f, 1.0f, 1.0f};
constexpr float kHoldingDistance = 24.0f;
constexpr float kBallEmissiveMultiplier = 1.5f;
constexpr int kJumpAction = 4;
constexpr int kUpAction = 0;

// ---- Finding what the build made ----------------------------------------------------------------------

Transform& TransformOf(GameObject& object)
{
    return *object.GetComponentAs<Transform>(ComponentTypeId::kTransform);
}

Vector3 PositionOf(GameObject& object)
{
    return TransformOf(object).GetTranslation();
}

GameStats& StatsOf(GameObject& object)
{
    if (object.GetComponent(ComponentTypeId::kGameStats) == nullptr)
    {
        GameStats stats;
        object.AddComponent(stats);
    }
    return *object.GetComponentAs<GameStats>(ComponentTypeId::kGameStats);
}

std::vector<GameObject*> Tagged(Tag tag)
{
    std::vector<GameObject*> objects = gGameObjectFactory->GetObjectsWithTag(tag);
    std::sort(objects.begin(), objects.end(), [](GameObject* a, GameObject* b) { return a->id < b->id; });
    return objects;
}

// The block of that tag standing at (x, y), or null.
GameObject* BlockAt(Tag tag, float x, float y)
{
    for (GameObject* object : Tagged(tag))
        if (PositionOf(*object).x == x && PositionOf(*object).y == y)
            return object;
    return nullptr;
}

std::vector<std::uint32_t> Ids(const std::vector<GameObject*>& objects)
{
    std::vector<std::uint32_t> ids;
    for (GameObject* object : objects)
        ids.push_back(object->id);
    return ids;
}

void Paint(GameObject& object, const std::string& texture)
{
    if (Renderer* sprite = GetRenderer(object))
    {
        sprite->SetUInt(kTextureInput, &TextureManager::GetTexture(texture));
        sprite->tint = kWhite;
        return;
    }
    Renderer sprite;
    sprite.SetUInt(kTextureInput, &TextureManager::GetTexture(texture));
    object.AddComponent(sprite);
}

template <typename ScriptClass> void AddScript(GameObject& object)
{
    ScriptClass script(object.id);
    object.AddScript(script);
}

// ---- LEVEL_1's additions, in the order they are made ------------------------------------------------

void SetSpawn(GameObject& object, float x, float y)
{
    StatsOf(object).SetStat(kStatGoalSpawnX, x);
    StatsOf(object).SetStat(kStatGoalSpawnY, y);
}

// Jump answers what Up answers: the hold-to-rise rule reads action 4, and without it a jump is too low for
// any platform.
void BindJumpLikeUp(GameObject& player)
{
    auto* input = player.GetComponentAs<BehaviorInput>(ComponentTypeId::kBehaviorInput);
    if (input == nullptr)
        return;
    const InputBinding up = *input->FindBinding(kUpAction);
    input->SetKey(kJumpAction, up.key);
    input->SetAxis(kJumpAction, up.axis, up.controllerIndex, up.axisPositive);
}

void DressPlayers()
{
    for (GameObject* player : Tagged(kTagPlayer))
    {
        const Vector3 start = PositionOf(*player);
        SetSpawn(*player, start.x, start.y);
        StatsOf(*player).SetStat(kStatHoldingDistance, kHoldingDistance);
        BindJumpLikeUp(*player);
        AddScript<DestructableScript>(*player);
    }
}

// The ball kit: spawn, no knockback, the speed and burn scripts, and a glowing violet sprite.
void DressBall(GameObject& ball)
{
    SetSpawn(ball, 0.0f, -20.0f);
    StatsOf(ball).SetStat(kStatGivesKnockback, 0.0f);
    AddScript<BallSpeedScript>(ball);
    AddScript<DestructableScript>(ball);
    if (Renderer* sprite = GetRenderer(ball))
    {
        Texture* orb = &TextureManager::GetTexture(kBallTexture);
        sprite->SetUInt(kTextureInput, orb);
        sprite->SetUInt("emissiveTexture", orb);
        sprite->material.data.SetVector4("emissiveTint", kViolet);
        sprite->material.data.SetFloat("emissiveMultiplier", kBallEmissiveMultiplier);
    }
}

// Each goal shows its particles' colour: the left one orange, the right one blue.
void DressGoals()
{
    for (GameObject* goal : Tagged(kTagGoal))
        Paint(*goal, PositionOf(*goal).x < 0.0f ? "Goal_Orange" : "Goal_Blue");
}

void DressBlocks()
{
    for (GameObject* block : Tagged(kTagSideWall))
        Paint(*block, "Wall_Steel");
    for (GameObject* block : Tagged(kTagPlatform))
    {
        const Vector3 at = PositionOf(*block);
        const Vector3 size = TransformOf(*block).GetScale();
        if (size.x == 1920.0f)
            Paint(*block, "Floor_Rock");
        else if (size.y == 80.0f)
            Paint(*block, "Pedestal_Rock");
        else if (size.x == 100.0f)
            Paint(*block, "Platform_Metal");
        else
            Paint(*block, at.x < 0.0f ? "Platform_Orange" : "Platform_Blue");
    }
}

void PlaceHud(GameObject& object, const char* name, const Vector3& at, const Vector3& size,
              const char* texture)
{
    object.SetName(name);
    TransformOf(object).SetTranslation(at);
    TransformOf(object).SetScale(size);
    Paint(object, texture);
}

void AddHudText(GameObject& object, const std::string& text, const Vector4& tint)
{
    AddLabel(object, {text, "00"}, 34.0f);
    if (TextRenderer* label = GetTextRenderer(object))
        label->SetTint(tint);
}

void DressHud()
{
    GameObject* manager = Tagged(kTagMatchManager).front();
    auto* hud = manager->GetScriptAs<HUDScript>(ScriptTypeId::kHUDScript);
    const auto slot = [hud](std::size_t index) -> GameObject& {
        return *gGameObjectFactory->GetObject(hud->GetSlot(index));
    };
    // The view is only 480 units high on the widest windows: the HUD stays within y 240.
    PlaceHud(slot(0), "p1 score", {-160.0f, 212.0f, 1.0f}, {80.0f, 48.0f, 1.0f}, "HUD_Panel");
    PlaceHud(slot(1), "p2 score", {160.0f, 212.0f, 1.0f}, {80.0f, 48.0f, 1.0f}, "HUD_Panel");
    for (std::size_t marker = 0; marker < 4; ++marker)
        PlaceHud(slot(2 + marker), ("round " + std::to_string(marker + 1)).c_str(),
                 {-66.0f + 44.0f * static_cast<float>(marker), 174.0f, 1.0f}, {26.0f, 26.0f, 1.0f},
                 "HUD_Pip");
    PlaceHud(slot(6), "timer", {0.0f, 212.0f, 1.0f}, {110.0f, 48.0f, 1.0f}, "HUD_Panel");
    AddHudText(slot(0), "0", kOrange);
    AddHudText(slot(1), "0", kBlue);
    AddHudText(slot(6), "90", kWhite);
    GameStats& clock = StatsOf(slot(6));
    clock.SetStat(kStatTimer, 90.0f);
    clock.SetStat(kStatReset, 0.0f);
}

// "Round 1" and the countdown words, centred on the origin; it floats (no gravity) and collides with
// nothing.
void AddEventText()
{
    GameObject& text = *gGameObjectFactory->CreateObject();
    text.SetName("EventText");
    TransformOf(text).SetTranslation({0.0f, 0.0f, 1.0f});
    AddLabel(text, {"Round 1"}, 64.0f);
    // Blank until a round starts: the credits load this level and start no round.
    if (TextRenderer* label = GetTextRenderer(text))
        label->SetText("");
    RigidBody body(text.id, kStaticSubstance);
    body.SetGravityScale(0.0f);
    text.AddComponent(body);
    AddScript<EventTextScript>(text);
}

// Zones a player or ball falls or flies into; clear of y -3000 (hidden) and x -3000 (burning).
void AddBounds()
{
    const struct
    {
        Vector3 at;
        Vector3 size;
    } zones[] = {
        {{0.0f, -420.0f, 1.0f}, {2600.0f, 100.0f, 0.0f}},
        {{-800.0f, 100.0f, 1.0f}, {100.0f, 1400.0f, 0.0f}},
        {{800.0f, 100.0f, 1.0f}, {100.0f, 1400.0f, 0.0f}},
    };
    for (const auto& zone : zones)
    {
        GameObject& bounds = *gGameObjectFactory->CreateObject();
        bounds.SetName("Bounds");
        TransformOf(bounds).SetTranslation(zone.at);
        TransformOf(bounds).SetScale(zone.size);
        RigidBody body(bounds.id, kStaticSubstance);
        body.SetStatic(true);
        bounds.AddComponent(body);
        BoxCollider box(bounds.id);
        box.SetResolution(false);
        bounds.AddComponent(box);
        AddScript<LevelBoundsScript>(bounds);
    }
}

// ---- Modules ---------------------------------------------------------------------------------------

// LEVEL_1's arena and ball, without the menus, for a module to take its objects from.
void BuildArena()
{
    RegisterManagerBehavior(*gCCSMFactory);
    BuildMatchWorld();
    DressPlayers();
    DressBall(*Tagged(kTagBall).front());
    DressGoals();
    DressBlocks();
}

GameObject& PaintedBlock(const Vector3& at, const Vector3& size, const char* texture)
{
    GameObject& block = *CreateBlock(at, size, TextureManager::kWhitePixelName);
    Paint(block, texture);
    return block;
}

std::vector<std::vector<std::uint32_t>> BuildArenaSteps()
{
    BuildArena();
    std::vector<GameObject*> blocks;
    for (GameObject* block : Tagged(kTagPlatform))
        if (TransformOf(*block).GetScale().x != 100.0f || TransformOf(*block).GetScale().y == 80.0f)
            blocks.push_back(block); // floor, pedestal and the four team pads
    for (const float x : {-150.0f, 150.0f})
        blocks.push_back(&PaintedBlock({x, -100.0f, 1.0f}, {80.0f, 20.0f, 0.0f}, "Platform_Metal"));
    blocks.push_back(&PaintedBlock({0.0f, 0.0f, 1.0f}, {140.0f, 20.0f, 0.0f}, "Platform_Metal"));
    return {Ids(blocks)};
}

std::vector<std::vector<std::uint32_t>> BuildArenaHover()
{
    BuildArena();
    GameObject& hover = *BlockAt(kTagPlatform, 0.0f, 60.0f);
    hover.SetName("Hover");
    Paint(hover, "Platform_Hover");
    // Mass 0 keeps it out of gravity and pushes; not static, so the mover may carry it.
    RigidBody* body = GetRigidBody(&hover);
    body->SetStatic(false);
    body->SetCanRotate(false);
    body->ComputeInverseMass();
    body->ComputeInertia();
    GameStats& stats = StatsOf(hover);
    stats.SetStat(kStatPoint1X, -150.0f);
    stats.SetStat(kStatPoint1Y, 40.0f);
    stats.SetStat(kStatPoint2X, 150.0f);
    stats.SetStat(kStatPoint2Y, 40.0f);
    stats.SetStat(kStatMovementSpeed, 60.0f);
    AddScript<MoveScript>(hover);
    AddScript<DraggingCollisionScript>(hover);
    return {Ids(Tagged(kTagPlatform))};
}

std::vector<std::vector<std::uint32_t>> BuildArenaLava()
{
    BuildArena();
    GameObject* floor = BlockAt(kTagPlatform, 0.0f, -220.0f);
    gGameObjectFactory->QueueDestroy(floor->id);
    gGameObjectFactory->DestroyQueuedObjects();
    // Pits at x -185..-115 and 115..185; the floor keeps everything else, spawns included.
    PaintedBlock({-572.5f, -220.0f, 1.0f}, {775.0f, 40.0f, 0.0f}, "Floor_Rock_Ledge");
    PaintedBlock({0.0f, -220.0f, 1.0f}, {230.0f, 40.0f, 0.0f}, "Floor_Rock_Island");
    PaintedBlock({572.5f, -220.0f, 1.0f}, {775.0f, 40.0f, 0.0f}, "Floor_Rock_Ledge");
    for (const float x : {-150.0f, 150.0f})
    {
        GameObject& lava = PaintedBlock({x, -225.0f, 1.0f}, {70.0f, 30.0f, 0.0f}, "Lava");
        lava.SetName("Lava");
        AddScript<HazardCollisionScript>(lava);
    }
    return {Ids(Tagged(kTagPlatform))};
}

std::vector<std::vector<std::uint32_t>> BuildBallGlow()
{
    BuildArena();
    GameObject& ball = *Tagged(kTagBall).front();
    Light glow;
    glow.tint = kViolet;
    glow.size = {160.0f, 160.0f};
    ball.AddComponent(glow);
    return {{ball.id}};
}

std::vector<std::vector<std::uint32_t>> BuildDefaultAll()
{
    BuildArena();
    // The ball first: its group must be merged before the blocks'.
    return {{Tagged(kTagBall).front()->id}, Ids(Tagged(kTagPlatform))};
}
} // namespace

void BuildLevel1()
{
    BuildArena();
    DressHud();
    AddEventText();
    AddBounds();
    AddMenuKit();
    // The splash leaves the tint near 0.09 and the day cycle may run: the match shows BG1 plainly.
    SetBakeBackground(kMatchBackground, kWhite);
    SetLevelModuleNames({"Arena_Steps", "Arena_Hover", "Arena_Lava", "Ball_Glow"});
}

const std::vector<ModuleBakeTarget>& ModuleBakeTargets()
{
    static const std::vector<ModuleBakeTarget> targets = {
        {"Arena_Steps", {kTagPlatform}, &BuildArenaSteps},
        {"Arena_Hover", {kTagPlatform}, &BuildArenaHover},
        {"Arena_Lava", {kTagPlatform}, &BuildArenaLava},
        {"Ball_Glow", {kTagBall}, &BuildBallGlow},
        {"DEFAULT_ALL", {kTagBall, kTagPlatform}, &BuildDefaultAll},
    };
    return targets;
}

const ModuleBakeTarget* FindModuleBakeTarget(const std::string& name)
{
    for (const ModuleBakeTarget& target : ModuleBakeTargets())
        if (target.name == name)
            return &target;
    return nullptr;
}

std::string BakeModule(const ModuleBakeTarget& target, const std::string& outDir)
{
    try
    {
        ResetBakeWorld();
        const std::vector<std::vector<std::uint32_t>> groups = target.build();
        const std::filesystem::path folder = std::filesystem::path(outDir) / "Modules";
        std::filesystem::create_directories(folder);
        const std::string path = (folder / (target.name + ".xml")).string();
        const std::string failure = WriteFileChecked(
            path, [&](std::ostream& out) { SaveModuleTo(out, target.tags, groups); },
            [&path](const std::string& bytes) { StageModule(bytes, true, path); });
        return failure.empty() ? std::string() : target.name + ": " + failure;
    }
    catch (const std::exception& error)
    {
        return target.name + ": " + error.what();
    }
}
