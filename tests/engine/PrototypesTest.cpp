#include "ObjectModelTestSupport.h"

#include "EnginePrototypes.h"
#include "TimeManipulator.h"
#include "Transform.h"

namespace
{
class PrototypesTest : public ObjectModelTest
{
  protected:
    void SetUp() override
    {
        ObjectModelTest::SetUp();
        ProbeScript::notified.clear();
    }
};

void RegisterProbePrototypes()
{
    ProbeScript script;
    ProbeComponent component;
}

TEST_F(PrototypesTest, FirstConstructionIsStoredAsInertPrototype)
{
    ProbeComponent first;
    first.value = 1;
    ProbeComponent second;
    second.value = 2;
    auto* prototype = dynamic_cast<ProbeComponent*>(FindComponentPrototype("ProbeComponent"));
    ASSERT_NE(prototype, nullptr);
    EXPECT_EQ(prototype->value, 0);
    EXPECT_EQ(prototype->GetOwner(), 0u);
    EXPECT_EQ(FindComponentPrototype("Nothing"), nullptr);
}

TEST_F(PrototypesTest, EventReachesLiveScriptOnceAndPrototypeNever)
{
    GameObject* object = factory->CreateObject();
    {
        ProbeScript local;
        object->AddScript(local);
    }
    ASSERT_NE(FindScriptPrototype("ProbeScript"), nullptr);
    EXPECT_TRUE(FindScriptPrototype("ProbeScript")->SubscribedTypes().empty());

    GoalScoreEvent event(2.0f);
    EventManager::Dispatch(&event);
    ASSERT_EQ(ProbeScript::notified.size(), 1u);
    EXPECT_EQ(ProbeScript::notified[0].owner, object->id);
}

TEST_F(PrototypesTest, RegistrationListRunTwiceKeepsOnePrototypePerClass)
{
    EXPECT_EQ(PrototypeRegistrations().front(), &RegisterEnginePrototypes);
    AddPrototypeRegistration(&RegisterEnginePrototypes);
    AddPrototypeRegistration(&RegisterProbePrototypes);
    AddPrototypeRegistration(&RegisterProbePrototypes);
    RunPrototypeRegistrations();
    Component* transform = FindComponentPrototype(Transform::kClassName);
    ASSERT_NE(transform, nullptr);
    RunPrototypeRegistrations();
    EXPECT_EQ(FindComponentPrototype(Transform::kClassName), transform);
    EXPECT_EQ(ComponentPrototypes().size(), 3u);
    EXPECT_EQ(ScriptPrototypes().size(), 1u);
    EXPECT_NE(FindComponentPrototype(TimeManipulator::kClassName), nullptr);
    EXPECT_EQ(FindComponentPrototype(Transform::kClassName)->GetDataVersion(), Transform::kClassVersion);

    ResetPrototypes();
    EXPECT_TRUE(ComponentPrototypes().empty());
    EXPECT_TRUE(ScriptPrototypes().empty());
    RunPrototypeRegistrations();
    EXPECT_EQ(ComponentPrototypes().size(), 3u);
    EXPECT_EQ(ScriptPrototypes().size(), 1u);

    // A prototype never answers events.
    GoalScoreEvent event(1.0f);
    EventManager::Dispatch(&event);
    EXPECT_TRUE(ProbeScript::notified.empty());
}

TEST_F(PrototypesTest, ComponentTypeIdsAreTheFileFormatNumbers)
{
    EXPECT_EQ(ComponentTypeId::kBehaviorInput, 0u);
    EXPECT_EQ(ComponentTypeId::kCollider, 2u);
    EXPECT_EQ(ComponentTypeId::kSoundCue, 8u);
    EXPECT_EQ(ComponentTypeId::kTransform, 11u);
    EXPECT_EQ(Transform().GetTypeId(), 11u);
    EXPECT_EQ(TimeManipulator().GetTypeId(), 10u);
    EXPECT_EQ(ScriptTypeId::kHUDScript, 7u);
    EXPECT_EQ(ScriptTypeId::kLandingScript, 9u);
    EXPECT_EQ(ScriptTypeId::kLevelMusicScript, 21u);
}

TEST_F(PrototypesTest, PrefabEntriesAppendAndReplaceByType)
{
    ProbeComponent body;
    body.value = 1;
    AddComponentToPreFab("A", body);
    AddComponentToPreFab("B", body);
    body.value = 2;
    AddComponentToPreFab("A", body);
    ProbeComponent collider(ComponentTypeId::kCollider, "Collider");
    AddComponentToPreFab("A", collider);
    ASSERT_EQ(ComponentPreFabs().size(), 2u);
    EXPECT_EQ(ComponentPreFabs()[0].name, "A");
    EXPECT_EQ(ComponentPreFabs()[0].components.size(), 2u);
    EXPECT_EQ(dynamic_cast<ProbeComponent&>(*ComponentPreFabs()[0].components.at(ComponentTypeId::kRigidBody))
                  .value,
              2);
    ClearComponentRegistry(false);
    EXPECT_EQ(ComponentPreFabs().size(), 2u);
    ClearComponentRegistry(true);
    EXPECT_TRUE(ComponentPreFabs().empty());
}
} // namespace
