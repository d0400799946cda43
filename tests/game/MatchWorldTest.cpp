#include "MatchWorld.h"
#include "BehaviorInput.h"
#include "BoxCollider.h"
#include "CCSMFactory.h"
#include "ColorTextures.h"
#include "Event.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStateRequest.h"
#include "GameStats.h"
#include "GameplayDemo.h"
#include "InputRecording.h"
#include "Observer.h"
#include "PlayHarness.h"
#include "Renderer.h"
#include "RigidBody.h"
#include "ShaderData.h"
#include "StatNames.h"
#include "TextureManager.h"
#include "Transform.h"
#include "TypeIds.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// The match built in code, played where no "LEVEL_1" file exists.
namespace
{
class MatchWorld : public PlayTest
{
  protected:
    // The data copy holds the baked level; these tests play the code-built arena alone.
    void SetUp() override
    {
        PlayTest::SetUp();
        std::error_code error;
        if (std::filesystem::exists(kLevel))
            std::filesystem::rename(kLevel, kHiddenLevel, error);
    }
    void TearDown() override
    {
        std::error_code error;
        if (std::filesystem::exists(kHiddenLevel))
            std::filesystem::rename(kHiddenLevel, kLevel, error);
    }

    // A request of the current state changes nothing, so the match is left for the main menu first.
    static void EnterMatch()
    {
        LeaveMatch();
        RequestGameState(GameStateIndex::GameplayDemo);
        Game().Step();
    }
    static void LeaveMatch()
    {
        if (Game().CurrentState() != GameStateIndex::GameplayDemo)
            return;
        RequestGameState(GameStateIndex::MainMenu);
        Game().Step();
    }

    static inline const std::string kLevel = "Levels/LEVEL_1.xml";
    static inline const std::string kHiddenLevel = "Levels/LEVEL_1.xml.hidden";
};

class GoalWatch : public Observer
{
  public:
    GoalWatch() { Subscribe(evGoalScore); }
    void OnNotify(Event* event) override { sides.push_back(static_cast<GoalScoreEvent*>(event)->side); }
    std::vector<float> sides;
};

Transform& TransformOf(std::uint32_t id)
{
    return *gGameObjectFactory->GetObject(id)->GetComponentAs<Transform>(ComponentTypeId::kTransform);
}

std::uint32_t TextureOf(std::uint32_t id)
{
    Renderer* sprite = GetRenderer(*gGameObjectFactory->GetObject(id));
    const Texture* texture = sprite != nullptr ? sprite->material.data.GetUInt("texture") : nullptr;
    return texture != nullptr ? texture->id : 0xFFFFFFFFu;
}

GameStats& StatsOf(GameObject& object)
{
    return *object.GetComponentAs<GameStats>(ComponentTypeId::kGameStats);
}

std::vector<std::uint32_t> ContextCommands(const std::string& name)
{
    return gCCSMFactory->GetContext(name).allowedCommands;
}

int TexturesNamed(const std::string& name)
{
    int count = 0;
    for (std::uint32_t id = 0; id < TextureManager::GetTextureCount(); ++id)
        if (const Texture* texture = TextureManager::FindTextureById(id);
            texture != nullptr && texture->name == name)
            ++count;
    return count;
}
} // namespace

TEST_F(MatchWorld, BuildsTheArenaInItsOrderWithTheMatchTuningAndScoresAGoal)
{
    EnterMatch();
    ASSERT_EQ(Game().CurrentState(), GameStateIndex::GameplayDemo);

    // Creation order: manager, ball, blocks 1-8, goal 1, blocks 9-11, goal 2, the players, the HUD.
    struct Expected
    {
        Tag tag;
        Vector3 position;
        Vector3 scale;
        const char* texture;
    };
    const std::vector<Expected> arena = {
        {kTagPlatform, {0, -220, 1}, {1920, 40, 0}, kColorTan},
        {kTagPlatform, {0, -200, 1}, {100, 80, 0}, kColorTan},
        {kTagPlatform, {-120, -60, 1}, {100, 20, 0}, kColorGray},
        {kTagPlatform, {120, -60, 1}, {100, 20, 0}, kColorGray},
        {kTagPlatform, {0, 60, 1}, {100, 20, 0}, kColorGray},
        {kTagPlatform, {-260, -60, 1}, {80, 20, 0}, kColorRed},
        {kTagSideWall, {-400, 30, 1}, {200, 460, 0}, kColorLightGray},
        {kTagPlatform, {-260, 60, 1}, {80, 20, 0}, kColorRed},
        {kTagGoal, {-300, 0, 1}, {40, 100, 1}, nullptr},
        {kTagPlatform, {260, -60, 1}, {80, 20, 0}, kColorDarkBlue},
        {kTagSideWall, {400, 30, 1}, {200, 460, 0}, kColorLightGray},
        {kTagPlatform, {260, 60, 1}, {80, 20, 0}, kColorDarkBlue},
        {kTagGoal, {300, 0, 1}, {40, 100, 1}, nullptr},
    };
    const std::uint32_t manager = 1;
    const std::uint32_t ball = 2;
    EXPECT_EQ(gGameObjectFactory->GetObject(manager)->tag, kTagMatchManager);
    EXPECT_NE(gGameObjectFactory->GetObject(manager)->GetScript(ScriptTypeId::kHUDScript), nullptr);
    EXPECT_NE(gGameObjectFactory->GetObject(manager)->GetScript(ScriptTypeId::kScoringScript), nullptr);
    EXPECT_EQ(gGameObjectFactory->GetObject(ball)->tag, kTagBall);
    for (std::size_t i = 0; i < arena.size(); ++i)
    {
        const std::uint32_t id = 3 + static_cast<std::uint32_t>(i);
        SCOPED_TRACE("object " + std::to_string(id));
        GameObject& object = *gGameObjectFactory->GetObject(id);
        EXPECT_EQ(object.tag, arena[i].tag);
        EXPECT_EQ(TransformOf(id).GetTranslation(), arena[i].position);
        EXPECT_EQ(TransformOf(id).GetScale(), arena[i].scale);
        const RigidBody* body = GetRigidBody(&object);
        ASSERT_NE(body, nullptr);
        EXPECT_TRUE(body->GetStatic());
        EXPECT_EQ(body->GetInverseMass(), 0.0f);
        EXPECT_EQ(body->GetStaticFriction(), 0.0f);
        const auto* box = object.GetComponentAs<BoxCollider>(ComponentTypeId::kCollider);
        ASSERT_NE(box, nullptr);
        if (arena[i].texture != nullptr)
        {
            EXPECT_TRUE(box->GetResolution());
            EXPECT_EQ(TextureOf(id), TextureManager::GetTexture(arena[i].texture).id);
        }
        else
        {
            // Goals let bodies through and tell the HUD whose goal it was.
            EXPECT_FALSE(box->GetResolution());
            EXPECT_NE(object.GetScript(ScriptTypeId::kGoalCollisionScript), nullptr);
            EXPECT_EQ(StatsOf(object).GetStat(kStatPlayerAffiliation), id == 11 ? 2.0f : 1.0f);
        }
    }
    // The floor spans x -960..960 and y -240..-200.
    EXPECT_EQ(TransformOf(3).GetTranslation().x - TransformOf(3).GetScale().x / 2, -960.0f);
    EXPECT_EQ(TransformOf(3).GetTranslation().y + TransformOf(3).GetScale().y / 2, -200.0f);

    GameObject* player1 = gGameObjectFactory->GetObject(16);
    GameObject* player2 = gGameObjectFactory->GetObject(17);
    EXPECT_EQ(player1->name, "Player 1");
    EXPECT_EQ(player2->name, "Player 2");
    EXPECT_EQ(Named("Player 1"), player1);
    EXPECT_FLOAT_EQ(TransformOf(16).GetTranslation().x, 250.0f);
    EXPECT_FLOAT_EQ(TransformOf(17).GetTranslation().x, -250.0f);
    EXPECT_EQ(TextureOf(16), TextureManager::GetTexture("Human1.1").id);
    EXPECT_EQ(TextureOf(17), TextureManager::GetTexture("Human2.1").id);
    EXPECT_EQ(TextureOf(ball), TextureManager::GetTexture("Balls").id);
    for (GameObject* player : {player1, player2})
    {
        GameStats& stats = StatsOf(*player);
        EXPECT_EQ(stats.GetStat(kStatThrowPower), 400.0f);
        EXPECT_EQ(stats.GetStat(kStatJumpSpeed), 600.0f);
        EXPECT_EQ(stats.GetStat(kStatGrabRange), 2.0f);
        EXPECT_EQ(stats.GetStat(kStatMovementSpeed), 150.0f);
        EXPECT_EQ(stats.GetStats().count(kStatDeformScaleMaxMin), 1u);
        EXPECT_FALSE(GetRigidBody(player)->GetCanRotate());
    }
    EXPECT_EQ(StatsOf(*player1).GetStat(kStatOrientation), 1.0f);
    EXPECT_EQ(StatsOf(*player2).GetStat(kStatOrientation), 0.0f);
    const auto& keys1 = *player1->GetComponentAs<BehaviorInput>(ComponentTypeId::kBehaviorInput);
    const auto& keys2 = *player2->GetComponentAs<BehaviorInput>(ComponentTypeId::kBehaviorInput);
    EXPECT_EQ(*keys1.FindBinding(0), (InputBinding{SDLK_UP, -1, 1, false, 0}));
    EXPECT_EQ(*keys1.FindBinding(3), (InputBinding{SDLK_RIGHT, -1, 0, true, 0}));
    EXPECT_EQ(*keys1.FindBinding(5), (InputBinding{SDLK_RSHIFT, SDL_CONTROLLER_BUTTON_A, -1, false, 0}));
    EXPECT_EQ(*keys2.FindBinding(1), (InputBinding{SDLK_s, -1, 1, true, 1}));
    EXPECT_EQ(*keys2.FindBinding(2), (InputBinding{SDLK_a, -1, 0, false, 1}));
    EXPECT_EQ(*keys2.FindBinding(5), (InputBinding{SDLK_LSHIFT, SDL_CONTROLLER_BUTTON_A, -1, false, 1}));
    // Jump stays unbound in the code-built match.
    EXPECT_EQ(*keys1.FindBinding(4), InputBinding{});

    // The HUD's seven objects follow the players.
    for (std::uint32_t id = 18; id <= 24; ++id)
        EXPECT_EQ(gGameObjectFactory->GetObject(id)->tag, kTagHud) << id;

    // The tables, exactly: the ball's set keeps its repeated first behaviour.
    const BehaviorSet ballSet = gCCSMFactory->GetBehaviorSet("Ball Behavior");
    EXPECT_EQ(ballSet.initialState, kStateUnGrabbed);
    ASSERT_EQ(ballSet.entries.size(), 4u);
    EXPECT_EQ(ballSet.entries[0].tag, kStateUnGrabbed);
    EXPECT_EQ(ballSet.entries[1].tag, kStateNull);
    EXPECT_EQ(ballSet.entries[3].name, "UnGrabbed Context");
    EXPECT_EQ(ContextCommands("OnGround Context"), (std::vector<std::uint32_t>{4, 1, 2, 7, 5, 6, 8}));
    EXPECT_EQ(ContextCommands("InAir Context"), (std::vector<std::uint32_t>{4, 1, 2, 5, 6, 8}));
    EXPECT_EQ(ContextCommands("Grabbed Context"), (std::vector<std::uint32_t>{9, 10, 11}));
    EXPECT_EQ(gCCSMFactory->GetBehaviorSet("Player Behavior").initialState, kStateOnGround);
    EXPECT_EQ(StackOf("Player 1"), (std::vector<std::uint32_t>{kStateOnGround}));

    // The prefab keeps its own tuning: a later player throws at 200 and jumps at 500.
    GameObject* spare = gGameObjectFactory->CreateFromPrefab(kPlayerPrefabName);
    ASSERT_NE(spare, nullptr);
    EXPECT_EQ(StatsOf(*spare).GetStat(kStatThrowPower), 200.0f);
    EXPECT_EQ(StatsOf(*spare).GetStat(kStatJumpSpeed), 500.0f);
    EXPECT_EQ(TextureOf(spare->id), TextureManager::GetTexture("Human1.1").id);
    gGameObjectFactory->QueueDestroy(spare->id);

    // A ball pushed into the left goal scores for player 2, once.
    GoalWatch goals;
    TransformOf(ball).SetTranslation({-200.0f, 0.0f, 1.0f});
    GetRigidBody(gGameObjectFactory->GetObject(ball))->SetVelocity({-600.0f, 0.0f, 0.0f});
    for (int step = 0; step < 30 && goals.sides.empty(); ++step)
        Game().Step();
    ASSERT_FALSE(goals.sides.empty());
    EXPECT_EQ(goals.sides.front(), 2.0f);

    // The recording runs into the preferences folder and is listed there.
    EXPECT_TRUE(IsRecording());
    EXPECT_EQ(GetRecordingPath(), GetReplayLogPath());
    EXPECT_EQ(GetPreferencesFiles().count(GameplayDemo::kReplayFileStem), 1u);
}

TEST_F(MatchWorld, EnteringAgainAddsTheTexturesAgainAndTunesOnlyTheNewPlayers)
{
    EnterMatch();
    const std::uint32_t firstTan = TextureManager::GetTexture(kColorTan).id;
    const int tans = TexturesNamed(kColorTan);
    const int players = TexturesNamed(kPlayer1TextureName);
    LeaveMatch();

    // Players of the screen before are still in the table, queued, while the match builds.
    std::vector<std::uint32_t> leftovers;
    for (const char* name : {"Player 1", "Player 2"})
    {
        GameObject* leftover = gGameObjectFactory->CreateObject();
        leftover->tag = kTagPlayer;
        leftover->SetName(name);
        GameStats stats;
        stats.SetStat(kStatThrowPower, 5.0f);
        leftover->AddComponent(stats);
        leftovers.push_back(leftover->id);
    }
    RequestGameState(GameStateIndex::GameplayDemo);
    Game().Step();
    EXPECT_EQ(TexturesNamed(kColorTan), tans + 1);
    EXPECT_EQ(TexturesNamed(kPlayer1TextureName), players + 1);
    EXPECT_EQ(TextureManager::GetTexture(kColorTan).id, firstTan);
    const std::vector<GameObject*> live = gGameObjectFactory->GetObjectsWithTag(kTagPlayer);
    ASSERT_EQ(live.size(), 2u);
    for (GameObject* player : live)
    {
        EXPECT_EQ(std::count(leftovers.begin(), leftovers.end(), player->id), 0);
        EXPECT_EQ(StatsOf(*player).GetStat(kStatThrowPower), 400.0f);
        EXPECT_NE(player->GetComponent(ComponentTypeId::kBehaviorInput), nullptr);
    }
    EXPECT_EQ(StatOf("Player 1", kStatOrientation), 1.0f);

    // Leaving closes the recording.
    LeaveMatch();
    EXPECT_FALSE(IsRecording());
}

TEST_F(MatchWorld, ABrokenLevelIsReportedOnceAndTheBuiltArenaPlays)
{
    std::filesystem::create_directories("Levels");
    {
        std::ofstream broken(kLevel, std::ios::binary | std::ios::trunc);
        broken << "<?xml version=\"1.0\"?>\n<boost_serialization signature=\"nonsense\"";
    }
    testing::internal::CaptureStdout();
    EnterMatch();
    const std::string out = testing::internal::GetCapturedStdout();
    std::filesystem::remove(kLevel);

    const std::string line = "ERROR: level LEVEL_1 failed to load: ";
    ASSERT_NE(out.find(line), std::string::npos) << out;
    EXPECT_EQ(out.find(line, out.find(line) + 1), std::string::npos) << "reported once";
    // Init went on: the arena built in code stands, the round started and the recording runs.
    EXPECT_EQ(Game().CurrentState(), GameStateIndex::GameplayDemo);
    EXPECT_NE(Named("Player 1"), nullptr);
    EXPECT_EQ(gGameObjectFactory->GetObjectsWithTag(kTagGoal).size(), 2u);
    EXPECT_TRUE(IsRecording());
    Game().Step(30);
    EXPECT_EQ(Game().CurrentState(), GameStateIndex::GameplayDemo);
}
