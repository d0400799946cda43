#include "CollisionScript.h"
#include "Event.h"
#include "Observer.h"
#include "PhysicsTestSupport.h"
#include "Registries.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>
#include <vector>

namespace
{
// Records every collision event's ids.
class CollisionLog : public Observer
{
  public:
    CollisionLog() { Subscribe(evCollision); }
    void OnNotify(Event* event) override
    {
        if (auto* collision = dynamic_cast<CollisionEvent*>(event))
            pairs.emplace_back(collision->A, collision->B);
    }
    std::vector<std::pair<std::uint32_t, std::uint32_t>> pairs;
};

class CollisionCheckerTest : public PhysicsTest
{
  protected:
    // Two overlapping boxes without gravity.
    std::pair<GameObject*, GameObject*> OverlappingBoxes(std::int32_t substance = 0)
    {
        GameObject* a = world.Box(0.0f, 0.0f, 10.0f, 10.0f, substance);
        GameObject* b = world.Box(8.0f, 0.0f, 10.0f, 10.0f, substance);
        PhysicsWorld::BodyOf(a)->SetGravityScale(0.0f);
        PhysicsWorld::BodyOf(b)->SetGravityScale(0.0f);
        return {a, b};
    }

    CollisionLog log;
};

TEST_F(CollisionCheckerTest, OverlappingBodiesAreSeparatedAndReported)
{
    auto [a, b] = OverlappingBoxes();
    world.Step();
    ASSERT_EQ(log.pairs.size(), 1u);
    EXPECT_EQ(log.pairs[0], std::make_pair(a->id, b->id));
    EXPECT_NEAR(PhysicsWorld::PositionOf(b).x - PhysicsWorld::PositionOf(a).x, 10.0f, 1e-4f);
    const CollisionCounters& counters = world.Checker().Counters();
    EXPECT_EQ(counters.objectsInserted, 2u);
    EXPECT_EQ(counters.candidatePairs, 1u);
    EXPECT_EQ(counters.contacts, 1u);
    EXPECT_EQ(counters.resolutions, 1u);
    EXPECT_EQ(counters.events, 1u);
}

TEST_F(CollisionCheckerTest, DisjointLayerMasksNeverTouch)
{
    auto [a, b] = OverlappingBoxes();
    PhysicsWorld::ColliderOf(a)->SetLayer(1);
    PhysicsWorld::ColliderOf(b)->SetLayer(2);
    world.Step();
    EXPECT_TRUE(log.pairs.empty());
    PhysicsWorld::ColliderOf(b)->SetLayer(0);
    world.Step();
    EXPECT_TRUE(log.pairs.empty());
    PhysicsWorld::ColliderOf(b)->SetLayer(3);
    world.Step();
    EXPECT_EQ(log.pairs.size(), 1u);
}

TEST_F(CollisionCheckerTest, TwoStaticOrTwoImmovableBodiesAreNeverTested)
{
    auto [a, b] = OverlappingBoxes();
    PhysicsWorld::BodyOf(a)->SetStatic(true);
    PhysicsWorld::BodyOf(b)->SetStatic(true);
    world.Step();
    EXPECT_TRUE(log.pairs.empty());
    EXPECT_EQ(world.Checker().Counters().narrowTests, 0u);

    PhysicsWorld::BodyOf(a)->SetStatic(false);
    PhysicsWorld::BodyOf(b)->SetStatic(false);
    PhysicsWorld::BodyOf(a)->ChangeSubstance(7);
    PhysicsWorld::BodyOf(b)->ChangeSubstance(7);
    world.Step();
    EXPECT_TRUE(log.pairs.empty());
}

TEST_F(CollisionCheckerTest, OneResolutionFlagOffReportsWithoutMoving)
{
    auto [a, b] = OverlappingBoxes();
    PhysicsWorld::ColliderOf(b)->SetResolution(false);
    world.Step();
    EXPECT_EQ(log.pairs.size(), 1u);
    EXPECT_FLOAT_EQ(PhysicsWorld::PositionOf(a).x, 0.0f);
    EXPECT_FLOAT_EQ(PhysicsWorld::PositionOf(b).x, 8.0f);
    EXPECT_EQ(world.Checker().Counters().resolutions, 0u);
}

TEST_F(CollisionCheckerTest, ObjectWithoutABodyCollidesButIsNeverResolved)
{
    GameObject* body = world.Box(0.0f, 0.0f, 10.0f, 10.0f, 0);
    PhysicsWorld::BodyOf(body)->SetGravityScale(0.0f);
    GameObject* sensor = world.Place(8.0f, 0.0f, 10.0f, 10.0f);
    BoxCollider box(sensor->id);
    sensor->AddComponent(box);
    world.Step(2);
    EXPECT_EQ(log.pairs.size(), 2u);
    EXPECT_FLOAT_EQ(PhysicsWorld::PositionOf(body).x, 0.0f);
}

TEST_F(CollisionCheckerTest, SkipFlagsKeepObjectsOutOfTheTree)
{
    auto [a, b] = OverlappingBoxes();
    b->SetFlag(kFlagNoPhysics, true);
    world.Step();
    EXPECT_TRUE(log.pairs.empty());
    EXPECT_EQ(world.Checker().Counters().objectsInserted, 1u);
    b->SetFlag(kFlagNoPhysics, false);
    b->SetFlag(kFlagHidden, true);
    world.Step();
    EXPECT_TRUE(log.pairs.empty());
}

TEST_F(CollisionCheckerTest, CheckerRunsWhilePaused)
{
    OverlappingBoxes();
    FrameRateManager::TogglePause();
    world.Step();
    EXPECT_EQ(log.pairs.size(), 1u);
}

TEST_F(CollisionCheckerTest, ReferenceAxisOfTheFirstObjectSwapsTheEventIds)
{
    GameObject* box = world.Box(0.0f, 0.0f, 10.0f, 10.0f, 0);
    GameObject* diamond = world.Box(11.9f, 0.0f, 10.0f, 10.0f, 0, 45.0f);
    PhysicsWorld::BodyOf(box)->SetGravityScale(0.0f);
    PhysicsWorld::BodyOf(diamond)->SetGravityScale(0.0f);
    world.Step();
    ASSERT_EQ(log.pairs.size(), 1u);
    EXPECT_EQ(log.pairs[0], std::make_pair(diamond->id, box->id));
}

TEST_F(CollisionCheckerTest, ContactIsDrawnWithPointNormalTangentAndCircleAxis)
{
    GameObject* floor = world.Floor(0.0f, 0.0f, 100.0f, 20.0f);
    GameObject* ball = world.Ball(0.0f, 19.0f, 20.0f, 5);
    PhysicsWorld::BodyOf(ball)->SetGravityScale(0.0f);
    world.Step();
    ASSERT_EQ(log.pairs.size(), 1u);
    (void)floor;

    ASSERT_EQ(recorder.points.size(), 1u);
    EXPECT_FLOAT_EQ(recorder.points[0].size, 5.0f);
    EXPECT_EQ(recorder.points[0].colour, Vector4(1.0f, 0.0f, 0.0f, 1.0f));
    const Vector3 contact = recorder.points[0].at;
    EXPECT_NEAR(contact.y, 9.0f, 1e-4f);

    const auto normals = recorder.LinesOf({1.0f, 0.65f, 0.0f, 1.0f});
    ASSERT_EQ(normals.size(), 1u);
    EXPECT_EQ(normals[0].from, contact);
    EXPECT_NEAR(normals[0].to.y - normals[0].from.y, 25.0f, 1e-4f);

    EXPECT_EQ(recorder.LinesOf({0.0f, 1.0f, 0.0f, 1.0f}).size(), 1u);
    const auto axes = recorder.LinesOf({1.0f, 0.35f, 0.0f, 1.0f});
    ASSERT_EQ(axes.size(), 1u);
    // From the ball's centre toward the floor's nearest corner, 30 long.
    EXPECT_NEAR(axes[0].from.y, 19.0f, 1e-4f);
    EXPECT_NEAR(std::hypot(axes[0].to.x - axes[0].from.x, axes[0].to.y - axes[0].from.y), 30.0f, 1e-3f);
}

TEST_F(CollisionCheckerTest, QuadtreeCountersRepeatStepAfterStep)
{
    // Seven arena-wide sensors fill the tree.
    for (int i = 0; i < 7; ++i)
    {
        GameObject* wide = world.Place(0.0f, 0.0f, 1900.0f, 470.0f);
        BoxCollider box(wide->id);
        box.SetResolution(false);
        wide->AddComponent(box);
    }
    world.Step();
    const CollisionCounters first = world.Checker().Counters();
    EXPECT_EQ(first.nodes, 1365u);
    EXPECT_EQ(first.candidatePairs, 21u);
    EXPECT_EQ(first.rawPairInsertions, 1024u * 21u);
    EXPECT_EQ(first.contacts, 21u);
    const std::size_t capacity = QuadTree::Capacity();
    world.Step();
    const CollisionCounters second = world.Checker().Counters();
    EXPECT_EQ(second.nodes, first.nodes);
    EXPECT_EQ(second.rawPairInsertions, first.rawPairInsertions);
    EXPECT_EQ(second.events, first.events);
    EXPECT_EQ(QuadTree::Capacity(), capacity);
}

TEST_F(CollisionCheckerTest, NonFiniteBoundsStayOutOfTheTree)
{
    auto [a, b] = OverlappingBoxes();
    PhysicsWorld::TransformOf(b)->SetScale({NAN, 10.0f, 0.0f});
    world.Step();
    EXPECT_EQ(world.Checker().Counters().objectsInserted, 1u);
    EXPECT_TRUE(log.pairs.empty());
    (void)a;
}

// Throws from its collision call once, then behaves.
class ThrowingScript : public CollisionScript
{
  public:
    explicit ThrowingScript(std::uint32_t owner) : CollisionScript("ThrowingScript", 30, owner) {}
    std::unique_ptr<Script> Clone() const override { return std::make_unique<ThrowingScript>(*this); }
    void OnCollision(std::uint32_t, std::uint32_t) override
    {
        if (throwNext)
        {
            throwNext = false;
            throw std::runtime_error("script failed");
        }
    }
    bool throwNext = true;
};

TEST_F(CollisionCheckerTest, ThrowingScriptLeavesTheNextStepClean)
{
    auto [a, b] = OverlappingBoxes();
    ThrowingScript script(a->id);
    world.Step();
    EXPECT_EQ(log.pairs.size(), 1u);
    EXPECT_FALSE(script.throwNext);
    PhysicsWorld::TransformOf(b)->SetTranslation({8.0f, 0.0f, 1.0f});
    world.Step();
    EXPECT_EQ(log.pairs.size(), 2u);
    EXPECT_EQ(world.Checker().Counters().candidatePairs, 1u);
    EXPECT_EQ(world.Checker().Counters().events, 1u);
}

// Removes the other object's collider from inside the event.
class RemovingScript : public CollisionScript
{
  public:
    explicit RemovingScript(std::uint32_t owner) : CollisionScript("RemovingScript", 31, owner) {}
    std::unique_ptr<Script> Clone() const override { return std::make_unique<RemovingScript>(*this); }
    void OnCollision(std::uint32_t, std::uint32_t other) override
    {
        RemoveComponent(other, ComponentTypeId::kCollider);
        if (gGameObjectFactory->CreateObject() == nullptr)
            throw std::logic_error("no object");
    }
};

TEST_F(CollisionCheckerTest, ScriptsMayRemoveComponentsAndCreateObjectsMidStep)
{
    GameObject* hub = world.Box(0.0f, 0.0f, 10.0f, 10.0f, 0);
    PhysicsWorld::BodyOf(hub)->SetGravityScale(0.0f);
    std::vector<GameObject*> spokes;
    for (float x : {-8.0f, 8.0f})
    {
        spokes.push_back(world.Box(x, 0.0f, 10.0f, 10.0f, 0));
        PhysicsWorld::BodyOf(spokes.back())->SetGravityScale(0.0f);
    }
    RemovingScript script(hub->id);
    world.Step();
    EXPECT_EQ(log.pairs.size(), 2u);
    EXPECT_EQ(PhysicsWorld::ColliderOf(spokes[0]), nullptr);
    EXPECT_EQ(PhysicsWorld::ColliderOf(spokes[1]), nullptr);
    EXPECT_NO_THROW(world.Step());
}
} // namespace

namespace
{
TEST_F(CollisionCheckerTest, AFarFlungRowPairsOnlyItsNeighbours)
{
    // Forty boxes in a row far outside the arena, each overlapping the next by one unit.
    std::vector<GameObject*> row;
    for (int i = 0; i < 40; ++i)
    {
        row.push_back(world.Box(50000.0f + 9.0f * static_cast<float>(i), 20000.0f, 10.0f, 10.0f, 0));
        PhysicsWorld::BodyOf(row.back())->SetGravityScale(0.0f);
    }
    world.Step();
    const CollisionCounters& counters = world.Checker().Counters();
    EXPECT_EQ(counters.objectsInserted, 40u);
    EXPECT_EQ(counters.candidatePairs, 39u);
    EXPECT_EQ(counters.contacts, 39u);
    ASSERT_EQ(log.pairs.size(), 39u);
    for (std::size_t i = 0; i < log.pairs.size(); ++i)
    {
        const auto [first, second] = log.pairs[i];
        EXPECT_EQ(std::min(first, second), row[i]->id);
        EXPECT_EQ(std::max(first, second), row[i + 1]->id);
    }
}

TEST_F(CollisionCheckerTest, AColliderRemovedByAListenerDropsItsLaterPairs)
{
    // a touches b, b touches c; a's script removes b's collider when a and b meet.
    GameObject* a = world.Box(0.0f, 0.0f, 10.0f, 10.0f, 0);
    GameObject* b = world.Box(8.0f, 0.0f, 10.0f, 10.0f, 0);
    GameObject* c = world.Box(16.0f, 0.0f, 10.0f, 10.0f, 0);
    for (GameObject* object : {a, b, c})
        PhysicsWorld::BodyOf(object)->SetGravityScale(0.0f);
    RemovingScript script(a->id);
    world.Step();
    ASSERT_EQ(log.pairs.size(), 1u);
    EXPECT_EQ(std::min(log.pairs[0].first, log.pairs[0].second), a->id);
    EXPECT_EQ(PhysicsWorld::ColliderOf(b), nullptr);
    EXPECT_EQ(world.Checker().Counters().candidatePairs, 2u);
    EXPECT_EQ(world.Checker().Counters().narrowTests, 1u);
    EXPECT_NEAR(PhysicsWorld::PositionOf(c).x, 16.0f, 1e-4f);
}
} // namespace
