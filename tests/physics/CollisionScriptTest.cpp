#include "CollisionScript.h"
#include "Event.h"
#include "EventManager.h"
#include "PhysicsTestSupport.h"
#include "Prototypes.h"

#include <utility>
#include <vector>

namespace
{
// Records every OnCollision call.
class RecordingScript : public CollisionScript
{
  public:
    explicit RecordingScript(std::uint32_t owner = 0) : CollisionScript("RecordingCollisionScript", 30, owner)
    {
        RegisterScriptPrototype(*this);
    }
    std::unique_ptr<Script> Clone() const override { return std::make_unique<RecordingScript>(*this); }
    void OnCollision(std::uint32_t own, std::uint32_t other) override { calls.emplace_back(own, other); }

    std::vector<std::pair<std::uint32_t, std::uint32_t>> calls;
};

using CollisionScriptTest = PhysicsTest;

void Send(std::uint32_t a, std::uint32_t b)
{
    CollisionEvent event(a, b);
    EventManager::Dispatch(&event);
}

TEST_F(CollisionScriptTest, OwnerNamedEitherWayGetsTheOtherId)
{
    RecordingScript script(5);
    Send(5, 9);
    Send(9, 5);
    ASSERT_EQ(script.calls.size(), 2u);
    EXPECT_EQ(script.calls[0], std::make_pair(5u, 9u));
    EXPECT_EQ(script.calls[1], std::make_pair(5u, 9u));
}

TEST_F(CollisionScriptTest, UnrelatedAndForeignEventsCallNothing)
{
    RecordingScript script(5);
    Send(1, 2);
    // Type 12 on an event of another class.
    Event impostor(evCollision);
    EventManager::Dispatch(&impostor);
    script.OnNotify(nullptr);
    BallBounceEvent bounce;
    script.OnNotify(&bounce);
    EXPECT_TRUE(script.calls.empty());
}

TEST_F(CollisionScriptTest, NothingArrivesAfterExitOrDestruction)
{
    RecordingScript script(5);
    script.Exit();
    Send(5, 9);
    EXPECT_TRUE(script.calls.empty());
    script.Init();
    Send(5, 9);
    EXPECT_EQ(script.calls.size(), 1u);

    auto gone = std::make_unique<RecordingScript>(5);
    gone.reset();
    EXPECT_NO_THROW(Send(5, 9));
}

TEST_F(CollisionScriptTest, ClonesAreSubscribedAndPrototypesSilent)
{
    RecordingScript script(5);
    std::unique_ptr<Script> clone = script.Clone();
    Send(5, 9);
    EXPECT_EQ(static_cast<RecordingScript*>(clone.get())->calls.size(), 1u);

    auto* prototype = static_cast<RecordingScript*>(FindScriptPrototype("RecordingCollisionScript"));
    ASSERT_NE(prototype, nullptr);
    prototype->SetOwner(5);
    Send(5, 9);
    EXPECT_TRUE(prototype->calls.empty());
}

TEST_F(CollisionScriptTest, AttachedScriptHearsItsObjectsContacts)
{
    GameObject* a = world.Box(0.0f, 0.0f, 10.0f, 10.0f, 0);
    GameObject* b = world.Box(8.0f, 0.0f, 10.0f, 10.0f, 0);
    RecordingScript script;
    b->AddScript(script);
    auto* attached = b->GetScriptAs<RecordingScript>(30);
    ASSERT_NE(attached, nullptr);
    world.Step();
    ASSERT_EQ(attached->calls.size(), 1u);
    EXPECT_EQ(attached->calls[0], std::make_pair(b->id, a->id));
}
} // namespace
