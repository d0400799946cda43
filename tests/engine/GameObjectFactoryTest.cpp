#include "ObjectModelTestSupport.h"

#include "TimeManipulator.h"
#include "Transform.h"

#include <sstream>

#include <boost/archive/xml_oarchive.hpp>

#include "LevelIArchive.h"

namespace
{
class GameObjectFactoryTest : public ObjectModelTest
{
  protected:
    void SetUp() override
    {
        ObjectModelTest::SetUp();
        ProbeScript::updates.clear();
        ProbeScript::notified.clear();
        ProbeScript::destroyed = 0;
        ProbeComponent::destroyed = 0;
    }

    GameObject* ObjectWithBody()
    {
        GameObject* object = factory->CreateObject();
        ProbeComponent body(ComponentTypeId::kRigidBody);
        object->AddComponent(body);
        return object;
    }
};

TEST_F(GameObjectFactoryTest, FreedIdsComeBackMostRecentFirst)
{
    for (int i = 0; i < 3; ++i)
        factory->CreateObject();
    factory->QueueDestroy(2);
    factory->QueueDestroy(3);
    factory->Update(0.0f);
    EXPECT_EQ(factory->CreateObject()->id, 3u);
    EXPECT_EQ(factory->CreateObject()->id, 2u);
    EXPECT_EQ(factory->CreateObject()->id, 4u);
}

TEST_F(GameObjectFactoryTest, IdQueuedTwiceIsDestroyedAndFreedOnce)
{
    factory->CreateObject();
    factory->CreateObject();
    factory->QueueDestroy(1);
    factory->QueueDestroy(1);
    factory->Update(0.0f);
    EXPECT_EQ(factory->FreeIds(), std::vector<std::uint32_t>{1});
    EXPECT_TRUE(factory->DestroyList().empty());
    EXPECT_EQ(factory->CreateObject()->id, 1u);
    EXPECT_EQ(factory->CreateObject()->id, 3u);
}

TEST_F(GameObjectFactoryTest, QueueDestroyIgnoresIdsThatNameNoObject)
{
    factory->CreateObject();
    factory->QueueDestroy(0);
    factory->QueueDestroy(7);
    EXPECT_TRUE(factory->DestroyList().empty());
    // A stale id that a file put on the destroy list is skipped by the pass.
    factory->SetDestroyList({1, 99, 1});
    factory->Update(0.0f);
    EXPECT_EQ(factory->GetObject(1), nullptr);
    EXPECT_EQ(factory->FreeIds(), std::vector<std::uint32_t>{1});
}

TEST_F(GameObjectFactoryTest, GetObjectIsNullForZeroAndPastTheEnd)
{
    GameObject* object = factory->CreateObject();
    EXPECT_EQ(factory->GetObject(0), nullptr);
    EXPECT_EQ(factory->GetObject(1), object);
    EXPECT_EQ(factory->GetObject(2), nullptr);
    EXPECT_EQ(factory->GetObject(0xFFFFFFFFu), nullptr);
}

TEST_F(GameObjectFactoryTest, DestroyPassDeletesComponentsScriptsAndSystemMembership)
{
    GameObject* object = ObjectWithBody();
    {
        ProbeScript script;
        object->AddScript(script);
    }
    const std::uint32_t id = object->id;
    ASSERT_EQ(SystemManager::GetSystem(kMotionSystemSlot)->ObjectIds().count(id), 1u);
    const int componentsBefore = ProbeComponent::destroyed;
    const int scriptsBefore = ProbeScript::destroyed;

    factory->QueueDestroy(id);
    factory->Update(0.0f);

    EXPECT_EQ(factory->GetObject(id), nullptr);
    EXPECT_EQ(ComponentRegistry().count(id), 0u);
    EXPECT_EQ(ScriptRegistry().count(id), 0u);
    EXPECT_EQ(ProbeComponent::destroyed, componentsBefore + 1);
    EXPECT_EQ(ProbeScript::destroyed, scriptsBefore + 1);
    for (const auto& system : SystemManager::Systems())
        EXPECT_EQ(system->ObjectIds().count(id), 0u) << system->GetName();
    // The destroyed script no longer hears events.
    GoalScoreEvent event(1.0f);
    EventManager::Dispatch(&event);
    EXPECT_TRUE(ProbeScript::notified.empty());
}

TEST_F(GameObjectFactoryTest, FindersSkipQueuedObjectsButGetObjectDoesNot)
{
    GameObject* first = factory->CreateObject();
    GameObject* second = factory->CreateObject();
    first->tag = kTagBall;
    second->tag = kTagBall;
    first->SetName("Ball");
    second->SetName("Ball");
    factory->QueueDestroy(first->id);

    EXPECT_EQ(factory->GetObjectByName("Ball"), second);
    EXPECT_EQ(factory->GetObjectsWithTag(kTagBall), std::vector<GameObject*>{second});
    EXPECT_EQ(factory->GetObject(first->id), first);
    EXPECT_TRUE(first->IsQueuedForDestruction());
}

TEST_F(GameObjectFactoryTest, SecondComponentOfOneTypeIsRefusedAndCallerKeepsInstance)
{
    GameObject* object = factory->CreateObject();
    ProbeComponent body;
    body.value = 1;
    object->AddComponent(body);
    ProbeComponent other;
    other.value = 2;
    testing::internal::CaptureStdout();
    object->AddComponent(other);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Tried to set a component twice.\n");
    EXPECT_EQ(object->GetComponentAs<ProbeComponent>(ComponentTypeId::kRigidBody)->value, 1);
    EXPECT_EQ(other.GetOwner(), object->id);
    // The stored clone carries its class's data version, the caller's instance keeps its own.
    EXPECT_EQ(object->GetComponent(ComponentTypeId::kRigidBody)->GetDataVersion(), 1u);
    EXPECT_EQ(body.GetDataVersion(), 0u);
}

TEST_F(GameObjectFactoryTest, PrefabPrototypeRefusesComponents)
{
    GameObject prototype;
    prototype.SetFlag(kFlagPrefabPrototype, true);
    ProbeComponent body;
    prototype.AddComponent(body);
    EXPECT_TRUE(prototype.componentTypes.empty());
    EXPECT_TRUE(ComponentRegistry().empty());
}

TEST_F(GameObjectFactoryTest, ObjectFromPrefabGetsOwnCopiesAndSystems)
{
    auto prototype = std::make_unique<GameObject>();
    prototype->tag = kTagMenuButton;
    ProbeComponent body;
    body.value = 42;
    {
        ProbeScript script;
        factory->RegisterPrefab("Button Prefab", std::move(prototype), {&body}, {&script});
    }

    GameObject* first = factory->CreateFromPrefab("Button Prefab");
    GameObject* second = factory->CreateFromPrefab("Button Prefab");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first->id, second->id);
    EXPECT_FALSE(first->HasFlag(kFlagPrefabPrototype));
    EXPECT_EQ(first->tag, kTagMenuButton);
    EXPECT_EQ(first->name, "Object_" + std::to_string(first->id));

    auto* firstBody = first->GetComponentAs<ProbeComponent>(ComponentTypeId::kRigidBody);
    auto* secondBody = second->GetComponentAs<ProbeComponent>(ComponentTypeId::kRigidBody);
    ASSERT_NE(firstBody, nullptr);
    ASSERT_NE(secondBody, nullptr);
    EXPECT_NE(firstBody, secondBody);
    EXPECT_EQ(firstBody->value, 42);
    EXPECT_EQ(firstBody->GetOwner(), first->id);
    ASSERT_NE(first->GetScript(ScriptTypeId::kPlayerScript), nullptr);
    EXPECT_EQ(first->GetScript(ScriptTypeId::kPlayerScript)->GetOwner(), first->id);
    // A transform is added when the prefab had none, so the motion system takes it.
    EXPECT_NE(first->GetComponent(ComponentTypeId::kTransform), nullptr);
    EXPECT_EQ(SystemManager::GetSystem(kMotionSystemSlot)->ObjectIds().count(first->id), 1u);

    // Only the live scripts answer events, not the prefab table's template.
    GoalScoreEvent event(1.0f);
    EventManager::Dispatch(&event);
    ASSERT_EQ(ProbeScript::notified.size(), 2u);
}

TEST_F(GameObjectFactoryTest, UnknownPrefabGivesNull)
{
    testing::internal::CaptureStdout();
    EXPECT_EQ(factory->CreateFromPrefab("Nothing"), nullptr);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("Nothing"), std::string::npos);
}

TEST_F(GameObjectFactoryTest, PrefabTransformSavedAndLoadedKeepsItsFields)
{
    Transform transform;
    transform.SetTranslation({3.0f, 4.0f, 1.0f});
    transform.SetRotation(30.0f);
    AddComponentToPreFab("Block", transform);
    const Component* stored = FindComponentPreFab("Block")->components.at(ComponentTypeId::kTransform).get();
    EXPECT_EQ(stored->GetDataVersion(), Transform::kClassVersion);

    std::stringstream stream;
    {
        boost::archive::xml_oarchive archive(stream);
        stored->Save(archive);
    }
    Transform target;
    target.SetDataVersion(Transform::kClassVersion);
    LevelIArchive archive(stream);
    auto loaded = target.Load(archive);
    const auto& loadedTransform = dynamic_cast<const Transform&>(*loaded);
    EXPECT_EQ(loadedTransform.GetTranslation(), (Vector3{3.0f, 4.0f, 1.0f}));
    EXPECT_FLOAT_EQ(loadedTransform.GetRotation(), 30.0f);
}

TEST_F(GameObjectFactoryTest, TimeManipulatorScalesOnlyItsOwnObjectsScripts)
{
    GameObject* slowed = factory->CreateObject();
    GameObject* normal = factory->CreateObject();
    TimeManipulator manipulator;
    manipulator.SetSpeed(0.5f);
    manipulator.SetPersistent(true);
    slowed->AddComponent(manipulator);
    ProbeScript script;
    slowed->AddScript(script);
    normal->AddScript(script);

    factory->Update(0.1f);

    ASSERT_EQ(ProbeScript::updates.size(), 2u);
    EXPECT_EQ(ProbeScript::updates[0].owner, slowed->id);
    EXPECT_FLOAT_EQ(ProbeScript::updates[0].value, 0.05f);
    EXPECT_EQ(ProbeScript::updates[1].owner, normal->id);
    EXPECT_FLOAT_EQ(ProbeScript::updates[1].value, 0.1f);
}

TEST_F(GameObjectFactoryTest, InactiveTimeManipulatorLeavesDtAlone)
{
    GameObject* object = factory->CreateObject();
    TimeManipulator manipulator;
    manipulator.SetSpeed(0.5f);
    object->AddComponent(manipulator);
    EXPECT_FALSE(manipulator.IsActive());
    ProbeScript script;
    object->AddScript(script);
    factory->Update(0.1f);
    ASSERT_EQ(ProbeScript::updates.size(), 1u);
    EXPECT_FLOAT_EQ(ProbeScript::updates[0].value, 0.1f);

    manipulator.SetRemainingTime(1.0f);
    EXPECT_TRUE(manipulator.IsActive());
}

TEST_F(GameObjectFactoryTest, ScriptPassSurvivesScriptsThatChangeTheWorld)
{
    GameObject* first = factory->CreateObject();
    GameObject* second = factory->CreateObject();
    GameObject* third = factory->CreateObject();
    const std::uint32_t secondId = second->id;
    ProbeScript changer;
    // Removes the next object's script, replaces its own object's transform and creates objects.
    changer.action = [this, secondId](ProbeScript& self)
    {
        RemoveScript(secondId, ScriptTypeId::kPlayerScript);
        RemoveComponent(self.GetOwner(), ComponentTypeId::kTransform);
        factory->CreateObject();
        GameObject* created = factory->CreateObject();
        ProbeScript plain;
        created->AddScript(plain);
        factory->QueueDestroy(self.GetOwner());
    };
    first->AddScript(changer);
    ProbeScript plain;
    second->AddScript(plain);
    third->AddScript(plain);

    factory->Update(0.0f);

    // The first and third ran; the second was removed before its turn; the object created during the
    // pass may run or not, but nothing is touched after deletion (ASan).
    ASSERT_GE(ProbeScript::updates.size(), 2u);
    EXPECT_EQ(ProbeScript::updates[0].owner, first->id);
    EXPECT_EQ(ProbeScript::updates[1].owner, third->id);
    factory->Update(0.0f);
    EXPECT_EQ(factory->GetObject(1), nullptr);
}

TEST_F(GameObjectFactoryTest, ANewHolderOfAnIdInheritsNothingLeftUnderIt)
{
    factory->CreateObject();
    factory->CreateObject();
    factory->QueueDestroy(2);
    factory->Update(0.0f);
    factory->RegisterPrefab("Crate", std::make_unique<GameObject>(), {}, {});
    // What a file or a destructor can leave behind: entries under the free id 2 and the next new id 3.
    for (std::uint32_t id : {2u, 3u})
    {
        ComponentRegistry()[id].emplace(ComponentTypeId::kRigidBody, std::make_unique<ProbeComponent>());
        ScriptRegistry()[id].emplace(ScriptTypeId::kPlayerScript, std::make_unique<ProbeScript>());
    }
    const int componentsBefore = ProbeComponent::destroyed;
    const int scriptsBefore = ProbeScript::destroyed;

    GameObject* created = factory->CreateObject();
    GameObject* fromPrefab = factory->CreateFromPrefab("Crate");

    ASSERT_EQ(created->id, 2u);
    ASSERT_EQ(fromPrefab->id, 3u);
    for (GameObject* object : {created, fromPrefab})
    {
        EXPECT_EQ(FindComponent(object->id, ComponentTypeId::kRigidBody), nullptr);
        EXPECT_NE(FindComponent(object->id, ComponentTypeId::kTransform), nullptr);
        EXPECT_EQ(ScriptRegistry().count(object->id), 0u);
        EXPECT_EQ(SystemManager::GetSystem(kMotionSystemSlot)->ObjectIds().count(object->id), 0u);
    }
    EXPECT_EQ(ProbeComponent::destroyed, componentsBefore + 2);
    EXPECT_EQ(ProbeScript::destroyed, scriptsBefore + 2);
    // No ghost runs or listens.
    factory->Update(0.1f);
    GoalScoreEvent event(1.0f);
    EventManager::Dispatch(&event);
    EXPECT_TRUE(ProbeScript::updates.empty());
    EXPECT_TRUE(ProbeScript::notified.empty());
}

// Runs its action when the registry deletes it (its clone is armed, the caller's instance is not).
class DyingWishComponent : public Component
{
  public:
    DyingWishComponent() : Component("DyingWishComponent", ComponentTypeId::kRigidBody) {}
    DyingWishComponent(const DyingWishComponent&) = default;
    ~DyingWishComponent() override
    {
        if (wish)
            wish();
    }
    std::unique_ptr<Component> Clone() const override { return std::make_unique<DyingWishComponent>(*this); }

    std::function<void()> wish;
};

TEST_F(GameObjectFactoryTest, AnObjectCreatedByADestructorNeverGetsTheDyingObjectsId)
{
    GameObject* dying = factory->CreateObject();
    factory->CreateObject();
    dying->AddComponent(*std::make_unique<DyingWishComponent>());
    std::uint32_t debrisId = 0;
    dying->GetComponentAs<DyingWishComponent>(ComponentTypeId::kRigidBody)->wish = [this, &debrisId] {
        GameObject* debris = factory->CreateObject();
        debris->SetName("Debris");
        ProbeScript script;
        debris->AddScript(script);
        debrisId = debris->id;
    };

    factory->QueueDestroy(1);
    factory->Update(0.5f);

    // The debris took a new id and kept everything it was given; id 1 is free only now.
    EXPECT_EQ(debrisId, 3u);
    ASSERT_NE(factory->GetObject(3), nullptr);
    EXPECT_EQ(factory->GetObject(3)->name, "Debris");
    EXPECT_NE(FindComponent(3, ComponentTypeId::kTransform), nullptr);
    ASSERT_EQ(ProbeScript::updates.size(), 1u);
    EXPECT_EQ(ProbeScript::updates[0].owner, 3u);
    EXPECT_EQ(factory->GetObject(1), nullptr);
    EXPECT_EQ(factory->FreeIds(), std::vector<std::uint32_t>{1});
    EXPECT_EQ(factory->CreateObject()->id, 1u);
    factory->Update(0.5f);
    EXPECT_EQ(ProbeScript::updates.size(), 2u);
}

TEST_F(GameObjectFactoryTest, MovingTheRootOfAVeryDeepFamilyMarksEveryGeneration)
{
    // A parent chain as deep as a level file under the size cap can make, closed into a cycle.
    constexpr std::uint32_t kGenerations = 150000;
    for (std::uint32_t id = 1; id <= kGenerations; ++id)
    {
        GameObject* object = factory->CreateObject();
        object->family = {id - 1, id == kGenerations ? 1 : id + 1};
    }
    const auto transformOf = [this](std::uint32_t id) {
        return factory->GetObject(id)->GetComponentAs<Transform>(ComponentTypeId::kTransform);
    };
    for (std::uint32_t id = 1; id <= kGenerations; ++id)
    {
        factory->GetObject(id)->SetDirty(false);
        transformOf(id)->GetWorldMatrix();
    }

    transformOf(1)->SetTranslation({1.0f, 2.0f, 0.0f});

    std::uint32_t dirtyObjects = 0;
    std::uint32_t dirtyTransforms = 0;
    for (std::uint32_t id = 1; id <= kGenerations; ++id)
    {
        dirtyObjects += factory->GetObject(id)->HasFlag(kFlagDirty) ? 1 : 0;
        dirtyTransforms += transformOf(id)->IsDirty() ? 1 : 0;
    }
    EXPECT_EQ(dirtyObjects, kGenerations);
    EXPECT_EQ(dirtyTransforms, kGenerations);
    // Clearing touches only the object itself.
    factory->GetObject(1)->SetDirty(false);
    EXPECT_FALSE(factory->GetObject(1)->HasFlag(kFlagDirty));
    EXPECT_TRUE(factory->GetObject(2)->HasFlag(kFlagDirty));
}

TEST_F(GameObjectFactoryTest, ExitDeletesEverythingItOwns)
{
    ObjectWithBody();
    ProbeComponent body;
    AddComponentToPreFab("Thing", body);
    factory->RegisterPrefab("Thing", std::make_unique<GameObject>(), {}, {});
    factory->Exit();
    EXPECT_TRUE(ComponentRegistry().empty());
    EXPECT_TRUE(ComponentPreFabs().empty());
    EXPECT_TRUE(ComponentPrototypes().empty());
    EXPECT_TRUE(SystemManager::Systems().empty());
    EXPECT_TRUE(factory->Prefabs().empty());
    factory->Init();
}
} // namespace
