#include "HUDScript.h"
#include "Event.h"
#include "EventManager.h"
#include "FrameRateManager.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameplayPrototypes.h"
#include "InputRecording.h"
#include "LevelIArchive.h"
#include "MetaHooks.h"
#include "Observer.h"
#include "Renderer.h"
#include "TextRenderer.h"
#include "TimerScript.h"
#include "TypeIds.h"

#include <boost/archive/xml_oarchive.hpp>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <vector>

// The HUD's counting, round marking and match end, driven by goal events (no GL: no colour textures).
namespace
{
struct Seen
{
    std::uint32_t type, winner, one, two, roundsPlayed, p1Round;
};

// Records each round and game end together with the HUD's counters at that moment.
class EndSpy : public Observer
{
  public:
    EndSpy()
    {
        Subscribe(evRoundFinished);
        Subscribe(evGameFinished);
    }
    void OnNotify(Event* event) override
    {
        std::uint32_t winner = 0, one = 0, two = 0;
        if (event->EventType == evGameFinished)
        {
            const auto* game = static_cast<GameFinishedEvent*>(event);
            winner = game->winner, one = game->scoreOne, two = game->scoreTwo;
        }
        else
        {
            const auto* round = static_cast<RoundFinishedEvent*>(event);
            winner = round->winner, one = round->scoreOne, two = round->scoreTwo;
        }
        seen.push_back({event->EventType, winner, one, two, hud->GetRoundsPlayed(), hud->GetP1RoundScore()});
    }
    const HUDScript* hud = nullptr;
    std::vector<Seen> seen;
};

class HUDScriptTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        EventManager::Reset();
        FrameRateManager::Reset();
        objects.Init();
        RegisterGameplayPrototypes();
    }
    void TearDown() override
    {
        objects.Exit();
        MetaHooks::Reset();
        FrameRateManager::Reset();
        EventManager::Reset();
    }
    HUDScript& NewHUD()
    {
        GameObject* manager = objects.CreateObject();
        manager->tag = 6;
        HUDScript hud;
        manager->AddScript(hud);
        return *manager->GetScriptAs<HUDScript>(ScriptTypeId::kHUDScript);
    }
    static void Goal(float side)
    {
        GoalScoreEvent event(side);
        EventManager::Dispatch(&event);
    }
    GameObject& Slot(const HUDScript& hud, std::size_t index)
    {
        return *objects.GetObject(hud.GetSlot(index));
    }
    Vector4 Tint(const HUDScript& hud, std::size_t index)
    {
        return Slot(hud, index).GetComponentAs<Renderer>(ComponentTypeId::kRenderer)->tint;
    }

    GameObjectFactory objects;
};

bool operator==(const Seen& a, const Seen& b)
{
    return a.type == b.type && a.winner == b.winner && a.one == b.one && a.two == b.two &&
           a.roundsPlayed == b.roundsPlayed && a.p1Round == b.p1Round;
}
} // namespace

// A whole match of four rounds: 2:0, 0:1, a level round and a last round; what the listeners see, the
// markers, the clock read-out and the counters after the end.
TEST_F(HUDScriptTest, FourRoundsCountGoalsMarkRoundsAndEndTheMatch)
{
    HUDScript& hud = NewHUD();
    EndSpy spy;
    spy.hud = &hud;
    hud.Update(0.0f);
    for (std::size_t i = 0; i < HUDScript::kSlotCount; ++i)
        ASSERT_EQ(Slot(hud, i).tag, 7u) << i;
    GameObject& timer = Slot(hud, 6);
    EXPECT_EQ(timer.name, "timer");
    auto* clock = timer.GetScriptAs<TimerScript>(ScriptTypeId::kTimerScript);
    ASSERT_NE(clock, nullptr);
    TextRenderer text;
    timer.AddComponent(text);
    TextRenderer scoreText;
    Slot(hud, 0).AddComponent(scoreText);

    Goal(1.0f);
    Goal(1.0f);
    EXPECT_EQ(Slot(hud, 0).GetComponentAs<TextRenderer>(ComponentTypeId::kTextRenderer)->GetText(), "2");
    FrameRateManager::CountDownTimers(77.8f);
    clock->Update(0.0f);
    hud.Update(0.0f);
    EXPECT_EQ(timer.GetComponentAs<TextRenderer>(ComponentTypeId::kTextRenderer)->GetText(), "13");
    Goal(0.0f);
    EXPECT_EQ(FrameRateManager::GetTimerValue(clock->GetCountdownIndex()), 90.0f) << "the clock restarts";
    EXPECT_EQ(Tint(hud, 2), (Vector4{0.0f, 1.0f, 0.0f, 2.0f}));
    EXPECT_EQ(Tint(hud, 3), (Vector4{1.0f, 1.0f, 1.0f, 1.0f}));

    Goal(2.0f);
    Goal(0.0f);
    EXPECT_EQ(hud.GetP1PointScore(), 2u);
    EXPECT_EQ(hud.GetP2PointScore(), 1u);
    EXPECT_EQ(hud.GetP2RoundScore(), 0u);
    Goal(2.0f);
    Goal(0.0f); // 2:2 level on points: the round goes to player 2
    Goal(std::numeric_limits<float>::quiet_NaN());
    Goal(3.0f);
    Goal(0.0f); // still 2:2: the game goes to player 1
    EXPECT_EQ(spy.seen, (std::vector<Seen>{{evRoundFinished, 1, 2, 0, 0, 2},
                                           {evRoundFinished, 1, 2, 1, 1, 0},
                                           {evRoundFinished, 2, 2, 2, 2, 0},
                                           {evRoundFinished, 2, 2, 2, 3, 0},
                                           {evGameFinished, 1, 2, 2, 4, 0}}));
    for (std::size_t marker = 2; marker < 6; ++marker)
        EXPECT_EQ(Tint(hud, marker), (Vector4{1.0f, 1.0f, 1.0f, 1.0f})) << marker;
    EXPECT_EQ(hud.GetRoundsPlayed(), 0u);
    EXPECT_EQ(hud.GetP1PointScore(), 2u) << "points stay after the match";
}

// A level's own HUD objects are used, however few; a destroyed slot only loses its step.
TEST_F(HUDScriptTest, ExistingHUDObjectsAreUsedAndMissingSlotsAreSkipped)
{
    std::vector<std::uint32_t> levelObjects;
    for (int i = 0; i < 3; ++i)
    {
        GameObject* object = objects.CreateObject();
        object->tag = 7;
        levelObjects.push_back(object->id);
    }
    HUDScript& hud = NewHUD();
    EndSpy spy;
    spy.hud = &hud;
    Goal(1.0f);
    EXPECT_EQ(hud.GetSlot(0), levelObjects[0]);
    EXPECT_EQ(hud.GetSlot(2), levelObjects[2]);
    EXPECT_EQ(hud.GetSlot(3), 0u);
    EXPECT_EQ(objects.GetObjectsWithTag(7).size(), 3u) << "none created";
    objects.QueueDestroy(levelObjects[0]);
    objects.DestroyQueuedObjects();
    Goal(1.0f);
    for (int round = 0; round < 4; ++round)
        Goal(0.0f);
    hud.Update(0.0f);
    EXPECT_EQ(spy.seen.size(), 5u);
    EXPECT_EQ(hud.GetP1PointScore(), 2u);
}

// Save writes the point scores before the round scores; a loaded or cloned HUD keeps only the round
// scores and binds nothing until it runs.
TEST_F(HUDScriptTest, SavesPointScoresFirstAndClonesKeepOnlyRoundScores)
{
    HUDScript& hud = NewHUD();
    Goal(1.0f);
    Goal(2.0f);
    Goal(2.0f);
    std::ostringstream output;
    {
        boost::archive::xml_oarchive archive(output);
        hud.Save(archive);
    }
    const std::string text = output.str();
    const auto p1Point = text.find("<P1PointScore>1<");
    const auto p2Point = text.find("<P2PointScore>2<");
    const auto p1Round = text.find("<P1RoundScore>1<");
    const auto p2Round = text.find("<P2RoundScore>2<");
    ASSERT_NE(p2Round, std::string::npos) << text;
    EXPECT_LT(p1Point, p2Point);
    EXPECT_LT(p2Point, p1Round);
    EXPECT_LT(p1Round, p2Round);

    std::istringstream input(text);
    LevelIArchive archive(input);
    HUDScript reader;
    const std::unique_ptr<Script> loaded = reader.Load(archive);
    const auto& copy = static_cast<const HUDScript&>(*loaded);
    EXPECT_EQ(copy.GetP1PointScore(), 0u);
    EXPECT_EQ(copy.GetP1RoundScore(), 1u);
    EXPECT_EQ(copy.GetP2RoundScore(), 2u);
    EXPECT_EQ(copy.GetSlot(0), 0u);
}

// A replayed match ends its fourth round like a live one but never announces the winner.
TEST_F(HUDScriptTest, ReplayedMatchEndsWithoutAnnouncingTheWinner)
{
    InitPrefsFolder();
    std::ofstream(GetReplayLogPath()) << "";
    StartReplay();
    ASSERT_TRUE(IsReplaying());
    HUDScript& hud = NewHUD();
    EndSpy spy;
    spy.hud = &hud;
    Goal(1.0f);
    for (int round = 0; round < 4; ++round)
        Goal(0.0f);
    StopReplay();
    ResetInputRecording();
    EXPECT_EQ(spy.seen.size(), 4u) << "four round ends, no game end";
    EXPECT_EQ(hud.GetRoundsPlayed(), 0u);
    EXPECT_EQ(hud.GetP1PointScore(), 1u);
}
