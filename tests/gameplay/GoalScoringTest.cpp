#include "BehaviorSpies.h"
#include "CCSM.h"
#include "CCSMFactory.h"
#include "Event.h"
#include "EventManager.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStats.h"
#include "GameplayPrototypes.h"
#include "GoalCollisionScript.h"
#include "MatchBehaviorTables.h"
#include "MetaHooks.h"
#include "Observer.h"
#include "ParticleComponent.h"
#include "ScoringScript.h"
#include "StatNames.h"
#include "TypeIds.h"

#include <gtest/gtest.h>

#include <vector>

// Goals and the scoring script on hand-built objects: what a ball or a holder touching a goal causes.
namespace
{
class GoalSpy : public Observer
{
  public:
    GoalSpy() { Subscribe(evGoalScore); }
    void OnNotify(Event* event) override { sides.push_back(static_cast<GoalScoreEvent*>(event)->side); }
    std::vector<float> sides;
};

class GoalScoringTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        EventManager::Reset();
        objects.Init();
        behaviors.Init();
        AddMatchBehaviorTables(behaviors);
        RegisterGameplayPrototypes();
    }
    void TearDown() override
    {
        objects.Exit();
        behaviors.Exit();
        MetaHooks::Reset();
        EventManager::Reset();
    }

    GameObject& Goal(bool affiliated)
    {
        GameObject* goal = objects.CreateObject();
        goal->tag = kTagGoal;
        GameStats stats;
        if (affiliated)
            stats.SetStat(kStatPlayerAffiliation, 1.0f);
        goal->AddComponent(stats);
        ParticleComponent particles;
        goal->AddComponent(particles);
        GoalCollisionScript script;
        goal->AddScript(script);
        return *goal;
    }
    GameObject& WithMachine(Tag tag, const char* behavior)
    {
        GameObject* object = objects.CreateObject();
        object->tag = tag;
        GameStats stats;
        object->AddComponent(stats);
        CCSM machine;
        object->AddComponent(machine);
        object->GetComponentAs<CCSM>(ComponentTypeId::kCCSM)->SetBehavior(behavior);
        return *object;
    }
    static GoalCollisionScript& Script(GameObject& goal)
    {
        return *goal.GetScriptAs<GoalCollisionScript>(ScriptTypeId::kGoalCollisionScript);
    }
    static ParticleEmitter& Emitter(GameObject& goal)
    {
        return goal.GetComponentAs<ParticleComponent>(ComponentTypeId::kParticleComponent)->GetEmitter();
    }

    GameObjectFactory objects;
    CCSMFactory behaviors;
};
} // namespace

// A ball in the goal scores for the goal's player, is told it scored, and the particles flare tenfold and
// settle back; a second goal flares from the resting values again. The collision event reaches it.
TEST_F(GoalScoringTest, BallInTheGoalScoresAndFlaresFromTheRestingValues)
{
    GameObject& goal = Goal(true);
    GameObject& ball = WithMachine(kTagBall, "Ball Behavior");
    GoalSpy spy;
    const float restingRate = Emitter(goal).Settings().emissionRate;
    const float restingLife = Emitter(goal).Settings().maxLife;
    Emitter(goal).SetAccumulator(1.0f);

    CollisionEvent contact(goal.id, ball.id);
    EventManager::Dispatch(&contact);
    EXPECT_EQ(spy.sides, std::vector<float>{1.0f});
    EXPECT_EQ(QueuedCommands(ball), std::vector<CommandId>{kCommandScore});
    EXPECT_FLOAT_EQ(Emitter(goal).Settings().emissionRate, 10.0f * restingRate);
    EXPECT_FLOAT_EQ(Emitter(goal).Settings().maxLife, 2.5f * restingLife);
    EXPECT_FLOAT_EQ(Emitter(goal).Accumulator(), 0.1f) << "rescaled by old rate / new rate";

    Script(goal).Update(0.5f);
    EXPECT_FLOAT_EQ(Emitter(goal).Settings().emissionRate, 5.5f * restingRate);
    EXPECT_FLOAT_EQ(Emitter(goal).Settings().maxLife, 0.25f * restingLife + 0.75f * 2.5f * restingLife);

    Script(goal).OnCollision(goal.id, ball.id);
    EXPECT_FLOAT_EQ(Emitter(goal).Settings().emissionRate, 10.0f * restingRate);
    for (int frame = 0; frame < 600; ++frame)
        Script(goal).Update(1.0f / 60.0f);
    EXPECT_NEAR(Emitter(goal).Settings().emissionRate, restingRate, 0.05f);
}

// Without "Player Affiliation" the ball still scores and flares but nobody gets the point; a player holding
// the ball throws it and scores nothing by the touch.
TEST_F(GoalScoringTest, UnaffiliatedGoalsSendNothingAndHoldersThrow)
{
    GameObject& goal = Goal(false);
    GameObject& ball = WithMachine(kTagBall, "Ball Behavior");
    GameObject& holder = WithMachine(kTagPlayer, "Player Behavior");
    GoalSpy spy;
    Script(goal).OnCollision(goal.id, ball.id);
    EXPECT_TRUE(spy.sides.empty());
    EXPECT_EQ(QueuedCommands(ball), std::vector<CommandId>{kCommandScore});
    EXPECT_GT(Emitter(goal).Settings().emissionRate, 50.0f);

    Script(goal).OnCollision(goal.id, holder.id);
    EXPECT_TRUE(QueuedCommands(holder).empty()) << "an empty hand does nothing";
    holder.GetComponentAs<GameStats>(ComponentTypeId::kGameStats)->SetStat(kStatGrabbedObject, ball.id);
    Script(goal).OnCollision(goal.id, holder.id);
    EXPECT_EQ(QueuedCommands(holder), std::vector<CommandId>{kCommandThrow});
    EXPECT_TRUE(spy.sides.empty());
}

// The scoring script keeps the last finished round's scores; goals do not touch them.
TEST_F(GoalScoringTest, ScoringKeepsTheLastRoundsScores)
{
    GameObject* manager = objects.CreateObject();
    ScoringScript scoring;
    manager->AddScript(scoring);
    const auto& kept = *manager->GetScriptAs<ScoringScript>(ScriptTypeId::kScoringScript);
    RoundFinishedEvent first(1, 2, 0);
    EventManager::Dispatch(&first);
    GoalScoreEvent goal(2.0f);
    EventManager::Dispatch(&goal);
    EXPECT_EQ(kept.GetLastRoundScoreOne(), 2u);
    EXPECT_EQ(kept.GetLastRoundScoreTwo(), 0u);
    RoundFinishedEvent second(2, 2, 3);
    EventManager::Dispatch(&second);
    EXPECT_EQ(kept.GetLastRoundScoreTwo(), 3u);
}
