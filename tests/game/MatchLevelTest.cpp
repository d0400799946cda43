#include "BackgroundRenderer.h"
#include "BehaviorInput.h"
#include "BehaviorTablesData.h"
#include "CCSM.h"
#include "CCSMFactory.h"
#include "Event.h"
#include "FrameRateManager.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameState.h"
#include "GameStateRequest.h"
#include "GameStats.h"
#include "Graphics.h"
#include "InputRecording.h"
#include "LevelFile.h"
#include "Light.h"
#include "MatchScenario.h"
#include "MenuHooks.h"
#include "ModuleFile.h"
#include "RayCast.h"
#include "Registries.h"
#include "Renderer.h"
#include "RigidBody.h"
#include "ShaderData.h"
#include "SoundPlayLog.h"
#include "StatNames.h"
#include "TextRenderer.h"
#include "Texture.h"
#include "Transform.h"
#include "TypeIds.h"
#include "WindowProvider.h"
#include "WindowRecord.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

// The match screen with its level "LEVEL_1": what the game looks up by name, the modules merged into a
// running match, the pause menu, the restart and the shortcuts.
namespace
{
class MatchLevel : public PlayTest
{
  protected:
    static void EnterMatch()
    {
        if (Game().CurrentState() == GameStateIndex::GameplayDemo)
        {
            RequestGameState(GameStateIndex::MainMenu);
            Game().Step();
        }
        RequestGameState(GameStateIndex::GameplayDemo);
        Game().Step();
    }
    static void PlayFirstRound()
    {
        EnterMatch();
        ASSERT_TRUE(Until(Game(), "first round", 900, [] { return EveryoneAtSpawn() && ClockRuns(); }));
    }
};

std::vector<std::string> RecordingLines()
{
    std::ifstream file(GetReplayLogPath());
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

void PushWindowEvent(std::uint8_t windowEvent)
{
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = windowEvent;
    if (WindowRecord* window = WindowProvider::GetMainWindow())
        event.window.windowID = window->windowId;
    SDL_PushEvent(&event);
}
} // namespace

TEST_F(MatchLevel, PauseFreezesTheMatchRestartReloadsItAndShortcutsLeaveIt)
{
    PlayFirstRound();

    // Escape pauses; nothing moves for 30 updates though a run key is held; the panel shows.
    TapKey(Game(), SDLK_ESCAPE);
    Game().Step(10);
    ASSERT_TRUE(FrameRateManager::IsPaused());
    ASSERT_TRUE(MenuHooks::IsOpen("Pause Menu"));
    // The arrows steer the menu, so player 2's run key is held.
    const Vector3 before = PositionOf("Player 2");
    const std::string clock = TextOf("timer");
    Game().Press(SDLK_a);
    Game().Step(30);
    EXPECT_EQ(PositionOf("Player 2").x, before.x);
    EXPECT_EQ(PositionOf("Player 2").y, before.y);
    EXPECT_EQ(TextOf("timer"), clock);
    Game().Release(SDLK_a);
    const std::vector<std::uint8_t> shot = Game().Shot("match_pause");
    int white = 0;
    for (int y = 60; y < 420; ++y)
        for (int x = 200; x < 440; ++x)
        {
            const std::uint8_t* pixel = PixelAt(shot, x, y);
            white += pixel[0] > 230 && pixel[1] > 230 && pixel[2] > 230 ? 1 : 0;
        }
    EXPECT_GT(white, 300) << "the pause menu's labels";
    // The scores, the clock and the round text lie beneath the pause panel, never written over it.
    const Renderer* panel = GetRenderer(*Named("Pause Menu"));
    ASSERT_NE(panel, nullptr);
    for (const char* overlay : {"p1 score", "p2 score", "timer", "EventText"})
    {
        const TextRenderer* text = GetTextRenderer(*Named(overlay));
        ASSERT_NE(text, nullptr) << overlay;
        ASSERT_FALSE(text->GetCharacterMaterials().empty()) << overlay;
        for (const Material& character : text->GetCharacterMaterials())
            EXPECT_LT(character.GetOrder(), panel->material.GetOrder()) << overlay;
    }
    // The clock must not sit under the title either, and the panel must fit the 480 units of height the
    // widest windows show.
    const auto textBox = [](const char* name) {
        GameObject* object = Named(name);
        const TextRenderer* text = object != nullptr ? GetTextRenderer(*object) : nullptr;
        EXPECT_NE(text, nullptr) << name;
        const Vector3 at = object->GetComponentAs<Transform>(ComponentTypeId::kTransform)->GetTranslation();
        return std::pair{Vector2{at.x + text->GetBottomLeft().x, at.y + text->GetBottomLeft().y},
                         Vector2{at.x + text->GetTopRight().x, at.y + text->GetTopRight().y}};
    };
    const auto [titleLow, titleHigh] = textBox("Pause Menu");
    const auto [clockLow, clockHigh] = textBox("timer");
    const bool apart = titleHigh.y <= clockLow.y || clockHigh.y <= titleLow.y || titleHigh.x <= clockLow.x ||
                       clockHigh.x <= titleLow.x;
    EXPECT_TRUE(apart) << "the title spans y " << titleLow.y << ".." << titleHigh.y << ", the clock "
                       << clockLow.y << ".." << clockHigh.y;
    const auto* panelPlace = Named("Pause Menu")->GetComponentAs<Transform>(ComponentTypeId::kTransform);
    const Vector3 panelAt = panelPlace->GetTranslation();
    const Vector3 panelSize = panelPlace->GetScale();
    EXPECT_LE(std::abs(panelAt.y) + panelSize.y / 2.0f, 240.0f);
    for (const std::string& line : RecordingLines())
        EXPECT_EQ(line.find(" 768 27 "), std::string::npos) << "Escape is never recorded: " << line;
    TapKey(Game(), SDLK_RETURN);
    EXPECT_FALSE(FrameRateManager::IsPaused());
    EXPECT_FALSE(MenuHooks::AnyOpen());

    // Escape, Down, Return opens the restart question; Down, Return confirms: the match starts again.
    Game().Step(30);
    const std::int64_t frameBefore = GetRecordFrame();
    // A menu takes input a few updates after it opens.
    TapKey(Game(), SDLK_ESCAPE);
    Game().Step(10);
    TapKey(Game(), SDLK_DOWN);
    TapKey(Game(), SDLK_RETURN);
    Game().Step(10);
    EXPECT_EQ(MenuHooks::Top(), "CDA");
    TapKey(Game(), SDLK_DOWN);
    Game().Press(SDLK_RETURN);
    Game().Step();
    Game().Release(SDLK_RETURN);
    // The restart closes the recording and starts a fresh one at frame 0.
    ASSERT_TRUE(Until(Game(), "restart", 10, [&] { return GetRecordFrame() < frameBefore; }));
    EXPECT_EQ(Game().CurrentState(), GameStateIndex::GameplayDemo);
    EXPECT_FALSE(FrameRateManager::IsPaused());
    ASSERT_TRUE(IsRecording());
    EXPECT_LT(GetRecordFrame(), 5) << "a fresh recording";
    ASSERT_TRUE(Until(Game(), "hidden on restart", 20, EveryoneHidden));
    ASSERT_TRUE(Until(Game(), "respawn on restart", 900, [] { return EveryoneAtSpawn() && ClockRuns(); }));
    EXPECT_EQ(TextOf("p1 score"), "0");

    // Losing the focus pauses; LShift+4 leaves for player 1's victory screen, menus closed and unpaused.
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    Game().Step(2);
    EXPECT_TRUE(FrameRateManager::IsPaused());
    EXPECT_TRUE(MenuHooks::IsOpen("Pause Menu"));
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    Game().Step();
    PressShortcut(Game(), '4');
    EXPECT_EQ(GetCurrentGameState(), GameStateIndex::WinScreenLevel1);
    EXPECT_FALSE(FrameRateManager::IsPaused());
    EXPECT_FALSE(IsRecording());
}

namespace
{
const std::string kLevelFile = "Levels/LEVEL_1.xml";

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// The values of every <element>N</element> in the text, in order.
std::vector<long> Values(const std::string& text, const std::string& element)
{
    std::vector<long> values;
    const std::string open = "<" + element + ">";
    for (std::size_t at = text.find(open); at != std::string::npos; at = text.find(open, at + 1))
        values.push_back(std::stol(text.substr(at + open.size())));
    return values;
}

bool HasScript(GameObject& object, std::uint32_t script)
{
    return object.GetScript(script) != nullptr;
}

std::vector<GameObject*> Tagged(Tag tag)
{
    return gGameObjectFactory->GetObjectsWithTag(tag);
}

std::vector<std::uint32_t> IdsOf(Tag tag)
{
    std::vector<std::uint32_t> ids;
    for (GameObject* object : Tagged(tag))
        ids.push_back(object->id);
    std::sort(ids.begin(), ids.end());
    return ids;
}

Transform& TransformOf(GameObject& object)
{
    return *object.GetComponentAs<Transform>(ComponentTypeId::kTransform);
}

// Straight down from the point: the first box of tag 1 under it, or null.
GameObject* BlockBelow(float x, float y)
{
    GameObject* nearest = nullptr;
    float nearestTop = -1e9f;
    for (GameObject* block : Tagged(kTagPlatform))
    {
        const Vector3 at = TransformOf(*block).GetTranslation();
        const Vector3 size = TransformOf(*block).GetScale();
        const float top = at.y + size.y / 2.0f;
        if (std::abs(x - at.x) <= size.x / 2.0f && top <= y && top > nearestTop)
        {
            nearest = block;
            nearestTop = top;
        }
    }
    return nearest;
}

void ExpectSpawnStats(Tag tag)
{
    for (GameObject* object : Tagged(tag))
    {
        const auto* stats = object->GetComponentAs<GameStats>(ComponentTypeId::kGameStats);
        ASSERT_NE(stats, nullptr) << object->name;
        EXPECT_TRUE(stats->HasStat(kStatGoalSpawnX) && stats->HasStat(kStatGoalSpawnY)) << object->name;
    }
}

void ExpectBallKit(GameObject& ball)
{
    for (const std::uint32_t script : {ScriptTypeId::kBallCollisionScript, ScriptTypeId::kBallBounceScript,
                                       ScriptTypeId::kBallSpeedScript, ScriptTypeId::kDestructableScript})
        EXPECT_TRUE(HasScript(ball, script)) << "script " << script;
    const auto* machine = ball.GetComponentAs<CCSM>(ComponentTypeId::kCCSM);
    ASSERT_NE(machine, nullptr);
    EXPECT_EQ(machine->GetBehaviorName(), "Ball Behavior");
    const auto* stats = ball.GetComponentAs<GameStats>(ComponentTypeId::kGameStats);
    ASSERT_NE(stats, nullptr);
    EXPECT_EQ(stats->GetStats().at(kStatGivesKnockback), 0.0f);
    EXPECT_EQ(stats->GetStats().at(kStatGoalSpawnY), -20.0f);
    const Renderer* sprite = GetRenderer(ball);
    ASSERT_NE(sprite, nullptr);
    const Texture* glow = sprite->material.data.GetUInt("emissiveTexture");
    ASSERT_NE(glow, nullptr);
    EXPECT_EQ(glow->name, "Balls");
}
} // namespace

TEST_F(MatchLevel, EverythingTheGameLooksUpByNameIsInTheLevel)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EnterMatch();
    Game().Step(5);
    const std::string out = testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr();
    for (const char* complaint :
         {"Could not locate texture", "NOT RECOGNIZED", "NULL COMPONENT", "Engine system error"})
        EXPECT_EQ(out.find(complaint), std::string::npos) << complaint << " in:\n" << out;

    // As many objects as the file holds (prefab prototypes, flag bit 3, aside).
    const std::string level = ReadFile(kLevelFile);
    std::size_t baked = 0;
    for (const long flags : Values(level, "Flags"))
        baked += (flags & 8) == 0 ? 1 : 0;
    std::size_t live = 0;
    // The respawn's markers are made by the running match, not loaded.
    for (const auto& object : gGameObjectFactory->Objects())
        live += object != nullptr && !object->IsQueuedForDestruction() && object->name != "Respawn Marker"
                    ? 1
                    : 0;
    EXPECT_EQ(live, baked);

    // The players: their kit, the one squash stat, jump bound like Up, standing.
    for (const char* name : {"Player 1", "Player 2"})
    {
        SCOPED_TRACE(name);
        GameObject& player = *Named(name);
        for (const std::uint32_t script :
             {ScriptTypeId::kPlayerScript, ScriptTypeId::kLandingScript, ScriptTypeId::kDeformationScript,
              ScriptTypeId::kDestructableScript})
            EXPECT_TRUE(HasScript(player, script)) << "script " << script;
        const auto& stats = player.GetComponentAs<GameStats>(ComponentTypeId::kGameStats)->GetStats();
        EXPECT_EQ(stats.count(kStatDeformScaleMaxMin), 1u);
        EXPECT_EQ(stats.count("Deform Scale Max") + stats.count("Deform Scale Min"), 0u);
        EXPECT_EQ(stats.at(kStatHoldingDistance), 24.0f);
        EXPECT_EQ(stats.at(kStatThrowPower), 400.0f);
        const auto& input = *player.GetComponentAs<BehaviorInput>(ComponentTypeId::kBehaviorInput);
        EXPECT_EQ(*input.FindBinding(4), *input.FindBinding(0));
        EXPECT_NE(input.FindBinding(4)->key, 0);
        EXPECT_EQ(StackOf(name).back(), kStateOnGround);
    }
    EXPECT_EQ(StatOf("Player 1", kStatGoalSpawnX), 250.0f);
    EXPECT_EQ(StatOf("Player 2", kStatGoalSpawnX), -250.0f);
    EXPECT_EQ(StatOf("Player 1", kStatGoalSpawnY), -200.0f);
    ExpectSpawnStats(kTagPlayer);
    ExpectSpawnStats(kTagBall);
    ASSERT_EQ(Tagged(kTagBall).size(), 1u);
    ExpectBallKit(*Tagged(kTagBall).front());
    ASSERT_EQ(Tagged(kTagGoal).size(), 2u);
    for (GameObject* goal : Tagged(kTagGoal))
        EXPECT_EQ(GetLight(*goal), nullptr) << "the round end adds the goal lights";

    // The manager plays: top state 6, which allows the round commands, with its six scripts.
    ASSERT_EQ(Tagged(kTagMatchManager).size(), 1u);
    GameObject& manager = *Tagged(kTagMatchManager).front();
    EXPECT_EQ(manager.scriptTypes.size(), 6u);
    const auto* machine = manager.GetComponentAs<CCSM>(ComponentTypeId::kCCSM);
    ASSERT_NE(machine, nullptr);
    ASSERT_NE(machine->GetTopState(), nullptr);
    EXPECT_EQ(machine->GetStateStack().back(), kStatePlayMode);
    EXPECT_EQ(gCCSMFactory->GetContext("ManagerModePlay Context").allowedCommands,
              (std::vector<std::uint32_t>{12, 16, 17, 18, 19, 20}));

    // The HUD's seven objects, text on the scores and the clock; the event text; three bounds zones.
    const std::vector<std::string> hud = {"p1 score", "p2 score", "round 1", "round 2",
                                          "round 3",  "round 4",  "timer"};
    for (std::size_t slot = 0; slot < hud.size(); ++slot)
    {
        GameObject* object = Named(hud[slot]);
        ASSERT_NE(object, nullptr) << hud[slot];
        EXPECT_EQ(object->tag, kTagHud);
        EXPECT_EQ(GetTextRenderer(*object) != nullptr, slot == 0 || slot == 1 || slot == 6) << hud[slot];
        // The widest windows show only 480 units of height: the HUD must fit in them.
        const Vector3 at = TransformOf(*object).GetTranslation();
        const Vector3 size = TransformOf(*object).GetScale();
        EXPECT_LE(std::abs(at.y) + size.y / 2.0f, 240.0f) << hud[slot];
        EXPECT_LE(std::abs(at.x) + size.x / 2.0f, 450.0f) << hud[slot];
    }
    EXPECT_EQ(TextOf("p1 score"), "0");
    EXPECT_EQ(StatOf("timer", kStatTimer), 90.0f);
    ASSERT_NE(Named("EventText"), nullptr);
    EXPECT_NE(GetTextRenderer(*Named("EventText")), nullptr);
    EXPECT_TRUE(HasScript(*Named("EventText"), ScriptTypeId::kEventTextScript));
    int bounds = 0;
    for (const auto& object : gGameObjectFactory->Objects())
        bounds += object != nullptr && HasScript(*object, ScriptTypeId::kLevelBoundsScript) ? 1 : 0;
    EXPECT_EQ(bounds, 3);

    // Five menus and 19 labelled buttons, each once.
    for (const char* menu : {"Main Menu", "Settings Menu", "Pause Menu", "Controls Menu", "CDA"})
        EXPECT_NE(Named(menu), nullptr) << menu;
    std::set<std::string> buttons;
    int labelled = 0;
    for (GameObject* button : Tagged(kTagMenuButton))
    {
        buttons.insert(button->name);
        labelled += GetTextRenderer(*button) != nullptr ? 1 : 0;
    }
    EXPECT_EQ(labelled, 19);
    EXPECT_EQ(buttons.size(), 19u);

    // The file: the sound system's events, one table of each name, the plain backdrop, the modules.
    const std::size_t tables = level.find("<CMDContexts_Size>");
    ASSERT_NE(tables, std::string::npos);
    const std::size_t sounds = level.rfind("<Observer_Size>", tables);
    EXPECT_EQ(Values(level.substr(sounds, tables - sounds), "Observer_EventType"),
              (std::vector<long>{1, 2, 3, 4, 5, 6, 7, 8, 9, 15, 16, 17}));
    const BehaviorTablesData data = gCCSMFactory->GetTables();
    std::set<std::string> names;
    for (const CommandContextData& context : data.contexts)
        EXPECT_TRUE(names.insert("context " + context.name).second) << context.name;
    for (const auto& set : data.sets)
        EXPECT_TRUE(names.insert("set " + set.name).second) << set.name;
    BackgroundRenderer& background = *gGraphics->GetBackground();
    EXPECT_FALSE(background.GetUseTime());
    EXPECT_EQ(background.GetMaterial().data.GetUInt("texture")->name, "BG1");
    EXPECT_EQ(background.GetMaterial().data.GetVector4("tint").value_or(Vector4{}),
              (Vector4{1.0f, 1.0f, 1.0f, 1.0f}));
    EXPECT_EQ(GetLevelModuleNames(),
              (std::vector<std::string>{"Arena_Steps", "Arena_Hover", "Arena_Lava", "Ball_Glow"}));
}

TEST_F(MatchLevel, ModulesMergeIntoARunningMatchAndKeepItPlayable)
{
    PlayFirstRound();
    SetSoundPlayLogging(true);
    const auto spawnsStand = [] {
        for (const float x : {250.0f, -250.0f})
            EXPECT_NE(BlockBelow(x, -200.0f + 1.0f), nullptr) << "floor under the spawn at " << x;
        GameObject* pedestal = BlockBelow(0.0f, -20.0f);
        ASSERT_NE(pedestal, nullptr);
        EXPECT_EQ(TransformOf(*pedestal).GetScale().y, 80.0f) << "the pedestal under the ball's spawn";
    };
    spawnsStand();

    for (const std::string name : {"Arena_Steps", "Arena_Hover", "Arena_Lava", "Ball_Glow", "DEFAULT_ALL"})
    {
        SCOPED_TRACE(name);
        std::map<Tag, std::vector<std::uint32_t>> before;
        for (Tag tag : {kTagPlatform, kTagPlayer, kTagBall, kTagGoal, kTagSideWall, kTagHud})
            before[tag] = IdsOf(tag);
        MatchWatch loaded;
        LoadModule(name, true);
        Game().Step();
        ASSERT_EQ(loaded.modulesLoaded, 1);
        const std::vector<std::uint32_t>& tags = loaded.moduleTags.front();
        for (const auto& [tag, ids] : before)
        {
            const bool replaced = std::find(tags.begin(), tags.end(), tag) != tags.end();
            const std::vector<std::uint32_t> now = IdsOf(tag);
            if (!replaced)
            {
                EXPECT_EQ(now, ids) << "tag " << tag << " untouched";
                continue;
            }
            // All new objects: none of the old ones is left under the tag.
            EXPECT_FALSE(now.empty()) << "tag " << tag;
            for (const std::uint32_t id : ids)
                EXPECT_EQ(std::count(now.begin(), now.end(), id), 0) << "tag " << tag << " kept " << id;
        }
        Game().Shot("match_module_" + name);
        spawnsStand();
        ExpectSpawnStats(kTagBall);
        ASSERT_EQ(Tagged(kTagBall).size(), 1u);
        ExpectBallKit(*Tagged(kTagBall).front());

        if (name == "Arena_Hover")
        {
            // Player 1 rides the pad: the pad's move carries the player along.
            GameObject* pad = Named("Hover");
            ASSERT_NE(pad, nullptr);
            const Vector3 at = TransformOf(*pad).GetTranslation();
            TransformOf(*Named("Player 1")).SetTranslation({at.x, at.y + 35.0f, 1.0f});
            Game().Step(40);
            const float padBefore = TransformOf(*pad).GetTranslation().x;
            const float riderBefore = PositionOf("Player 1").x;
            Game().Step(60);
            const float padMoved = TransformOf(*pad).GetTranslation().x - padBefore;
            EXPECT_GT(std::abs(padMoved), 20.0f) << "the pad moves";
            EXPECT_NEAR(PositionOf("Player 1").x - riderBefore, padMoved, 6.0f) << "and carries its rider";
            EXPECT_GT(PositionOf("Player 1").y, TransformOf(*pad).GetTranslation().y);
        }
        if (name == "Arena_Lava")
        {
            // Player 2 drops into the left pit and comes back at its spawn.
            TransformOf(*Named("Player 2")).SetTranslation({-150.0f, -150.0f, 1.0f});
            ASSERT_TRUE(Until(Game(), "lava burn", 120, [] { return PositionOf("Player 2").x < -1000.0f; }));
            Game().Step(20);
            Game().Shot("match_lava_burn");
            ASSERT_TRUE(Until(Game(), "back at the spawn", 600,
                              [] { return std::abs(PositionOf("Player 2").x + 250.0f) < 1.0f; }));
        }
        if (name == "Ball_Glow")
        {
            // The glowing ball sounds its own bounce.
            GameObject& ball = *Tagged(kTagBall).front();
            EXPECT_NE(GetLight(ball), nullptr);
            TransformOf(ball).SetTranslation({0.0f, 0.0f, 1.0f});
            ClearSoundPlayLog();
            ASSERT_TRUE(Until(Game(), "bounce", 200, [] {
                const auto& log = SoundPlayLog();
                return std::find(log.begin(), log.end(), "LightBallBounce") != log.end();
            }));
        }
        Game().Step(30);
    }
    SetSoundPlayLogging(false);
}

TEST_F(MatchLevel, RoughInputNeverStopsTheMatchOrLeavesAPauseWithoutAMenu)
{
    PlayFirstRound();
    const auto pausedWithoutMenu = [] { return FrameRateManager::IsPaused() && !MenuHooks::AnyOpen(); };

    // Both directions at once, for both players, with jumps and grabs.
    for (const std::int32_t key : {SDLK_LEFT, SDLK_RIGHT, SDLK_a, SDLK_d, SDLK_UP, SDLK_w})
        Game().Press(key);
    for (int step = 0; step < 60; ++step)
    {
        if (step % 7 == 0)
        {
            TapKey(Game(), SDLK_RSHIFT);
            TapKey(Game(), SDLK_LSHIFT);
        }
        Game().Step();
    }
    for (const std::int32_t key : {SDLK_LEFT, SDLK_RIGHT, SDLK_a, SDLK_d, SDLK_UP, SDLK_w})
        Game().Release(key);
    Game().Step();
    EXPECT_FALSE(pausedWithoutMenu());

    // A round end, with Escape pressed while it runs and again during the respawn: the pause always shows
    // its menu, and Escape closes it again.
    PressShortcut(Game(), '2');
    Game().Step(100);
    TapKey(Game(), SDLK_ESCAPE);
    EXPECT_FALSE(pausedWithoutMenu());
    Game().Step(15);
    TapKey(Game(), SDLK_ESCAPE);
    EXPECT_FALSE(pausedWithoutMenu());
    ASSERT_TRUE(Until(Game(), "hidden for the respawn", 600, EveryoneHidden));
    TapKey(Game(), SDLK_ESCAPE);
    EXPECT_TRUE(MenuHooks::IsOpen("Pause Menu"));
    Game().Step(15);
    TapKey(Game(), SDLK_ESCAPE);
    EXPECT_FALSE(FrameRateManager::IsPaused());

    // The round-end shortcut during a respawn: the new round still starts with a full clock.
    ASSERT_TRUE(Until(Game(), "hidden for the respawn", 600, EveryoneHidden));
    PressShortcut(Game(), '2');
    ASSERT_TRUE(Until(Game(), "play again", 900, [] { return EveryoneAtSpawn() && ClockRuns(); }));
    EXPECT_GE(std::stoi(TextOf("timer")), 80);
    EXPECT_FALSE(pausedWithoutMenu());

    // LShift+3 leaves for the credits; Escape there hands back to the main menu.
    PressShortcut(Game(), '3');
    EXPECT_EQ(GetCurrentGameState(), GameStateIndex::CreditsScreen);
    EXPECT_FALSE(IsRecording());
    TapKey(Game(), SDLK_ESCAPE);
    EXPECT_EQ(GetCurrentGameState(), GameStateIndex::MainMenu);
    EXPECT_FALSE(FrameRateManager::IsPaused());
}
