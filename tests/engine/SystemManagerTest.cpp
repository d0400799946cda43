#include "ObjectModelTestSupport.h"

#include "GameObject.h"

#include <stdexcept>

namespace
{
using SystemManagerTest = ObjectModelTest;

std::vector<std::string> updateJournal;

// Records its updates; throws when told to.
class JournalSystem : public System
{
  public:
    JournalSystem(std::string name_, std::set<std::uint32_t> required, int throwKind_ = 0)
        : System(std::move(name_), std::move(required)), throwKind(throwKind_)
    {
    }
    void Update(float) override
    {
        updateJournal.push_back(name);
        if (throwKind == 1)
            throw std::out_of_range("index 9");
        if (throwKind == 2)
            throw std::runtime_error("bad body");
        if (throwKind == 3)
            throw 7;
    }
    int throwKind;
};

bool InSystem(std::size_t slot, std::uint32_t id)
{
    return SystemManager::GetSystem(slot)->ObjectIds().count(id) != 0;
}

TEST_F(SystemManagerTest, InitCreatesTheSevenSystemsWithTheirSignatures)
{
    using namespace ComponentTypeId;
    const auto& systems = SystemManager::Systems();
    ASSERT_EQ(systems.size(), kComponentSystemCount);
    EXPECT_EQ(systems[kMotionSystemSlot]->RequiredTypes(), (std::set<std::uint32_t>{kRigidBody, kTransform}));
    EXPECT_EQ(systems[kCollisionCheckerSlot]->RequiredTypes(),
              (std::set<std::uint32_t>{kCollider, kTransform}));
    EXPECT_EQ(systems[kCCSMSystemSlot]->RequiredTypes(), (std::set<std::uint32_t>{kCCSM}));
    EXPECT_EQ(systems[kBasicRendererSlot]->RequiredTypes(), (std::set<std::uint32_t>{kRenderer, kTransform}));
    EXPECT_EQ(systems[kParticleSystemSlot]->RequiredTypes(),
              (std::set<std::uint32_t>{kParticleComponent, kTransform}));
    EXPECT_EQ(systems[kLightRendererSlot]->RequiredTypes(), (std::set<std::uint32_t>{kLight, kTransform}));
    EXPECT_EQ(systems[kTextRendererSystemSlot]->RequiredTypes(),
              (std::set<std::uint32_t>{kTextRenderer, kTransform}));
    for (std::size_t slot = 0; slot < kComponentSystemCount; ++slot)
        EXPECT_TRUE(SystemManager::IsPlaceholder(slot));
}

TEST_F(SystemManagerTest, ObjectsJoinEverySystemWhoseSignatureTheyContain)
{
    GameObject* object = factory->CreateObject();
    for (std::size_t slot = 0; slot < kComponentSystemCount; ++slot)
        EXPECT_FALSE(InSystem(slot, object->id));

    ProbeComponent body(ComponentTypeId::kRigidBody);
    object->AddComponent(body);
    EXPECT_TRUE(InSystem(kMotionSystemSlot, object->id));
    EXPECT_FALSE(InSystem(kCollisionCheckerSlot, object->id));

    ProbeComponent collider(ComponentTypeId::kCollider, "Collider");
    object->AddComponent(collider);
    EXPECT_TRUE(InSystem(kMotionSystemSlot, object->id));
    EXPECT_TRUE(InSystem(kCollisionCheckerSlot, object->id));

    SystemManager::RegisterObject(object);
    EXPECT_EQ(SystemManager::GetSystem(kMotionSystemSlot)->ObjectIds().size(), 1u);
}

TEST_F(SystemManagerTest, RemovedComponentKeepsTypeAndMembershipButGetComponentIsNull)
{
    GameObject* object = factory->CreateObject();
    ProbeComponent body(ComponentTypeId::kRigidBody);
    object->AddComponent(body);
    RemoveComponent(object->id, ComponentTypeId::kRigidBody);
    EXPECT_EQ(object->componentTypes.count(ComponentTypeId::kRigidBody), 1u);
    EXPECT_EQ(object->GetComponent(ComponentTypeId::kRigidBody), nullptr);
    EXPECT_TRUE(InSystem(kMotionSystemSlot, object->id));
}

TEST_F(SystemManagerTest, ObjectWithIdZeroIsNeverRegistered)
{
    GameObject unregistered;
    unregistered.componentTypes = {ComponentTypeId::kRigidBody, ComponentTypeId::kTransform};
    SystemManager::RegisterObject(&unregistered);
    SystemManager::RegisterObject(nullptr);
    SystemManager::UnregisterObject(nullptr);
    EXPECT_TRUE(SystemManager::GetSystem(kMotionSystemSlot)->ObjectIds().empty());
}

TEST_F(SystemManagerTest, ReplaceSystemKeepsRegisteredIdsAndUpdateOrder)
{
    GameObject* object = factory->CreateObject();
    ProbeComponent renderer(ComponentTypeId::kRenderer, "Renderer");
    object->AddComponent(renderer);
    updateJournal.clear();
    for (std::size_t slot = kCCSMSystemSlot; slot < kComponentSystemCount; ++slot)
    {
        const System* old = SystemManager::GetSystem(slot);
        SystemManager::ReplaceSystem(slot,
                                     std::make_unique<JournalSystem>(old->GetName(), old->RequiredTypes()));
    }
    EXPECT_FALSE(SystemManager::IsPlaceholder(kBasicRendererSlot));
    EXPECT_TRUE(InSystem(kBasicRendererSlot, object->id));

    factory->Update(0.0f);
    EXPECT_EQ(updateJournal, (std::vector<std::string>{"CCSMSystem", "BasicRenderer", "ParticleSystem",
                                                       "LightRenderer", "TextRendererSystem"}));
    EXPECT_THROW(SystemManager::ReplaceSystem(kComponentSystemCount, nullptr), std::out_of_range);
}

TEST_F(SystemManagerTest, PhysicsUpdateRunsMotionThenCollision)
{
    SystemManager::ReplaceSystem(kMotionSystemSlot,
                                 std::make_unique<JournalSystem>("Motion", std::set<std::uint32_t>{}));
    SystemManager::ReplaceSystem(kCollisionCheckerSlot,
                                 std::make_unique<JournalSystem>("Collision", std::set<std::uint32_t>{}));
    updateJournal.clear();
    PhysicsUpdate(0.016f);
    EXPECT_EQ(updateJournal, (std::vector<std::string>{"Motion", "Collision"}));
    // The factory's own update leaves the physics systems alone.
    updateJournal.clear();
    factory->Update(0.016f);
    EXPECT_TRUE(updateJournal.empty());
}

TEST_F(SystemManagerTest, ThrowingMotionSkipsCollisionForThatStepOnly)
{
    auto motion = std::make_unique<JournalSystem>("Motion", std::set<std::uint32_t>{}, 2);
    JournalSystem* motionSystem = motion.get();
    SystemManager::ReplaceSystem(kMotionSystemSlot, std::move(motion));
    SystemManager::ReplaceSystem(kCollisionCheckerSlot,
                                 std::make_unique<JournalSystem>("Collision", std::set<std::uint32_t>{}));
    updateJournal.clear();
    testing::internal::CaptureStderr();
    PhysicsUpdate(0.016f);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Engine system error in: PhysicsUpdate.  Exception thrown: bad body\n");
    EXPECT_EQ(updateJournal, std::vector<std::string>{"Motion"});

    motionSystem->throwKind = 0;
    updateJournal.clear();
    PhysicsUpdate(0.016f);
    EXPECT_EQ(updateJournal, (std::vector<std::string>{"Motion", "Collision"}));
}

TEST_F(SystemManagerTest, OutOfRangeAndUnknownFailuresGetTheirOwnMessages)
{
    auto motion = std::make_unique<JournalSystem>("Motion", std::set<std::uint32_t>{}, 1);
    JournalSystem* motionSystem = motion.get();
    SystemManager::ReplaceSystem(kMotionSystemSlot, std::move(motion));
    testing::internal::CaptureStderr();
    PhysicsUpdate(0.016f);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Something in Physics Update went horribly wrong.  index 9\n");

    motionSystem->throwKind = 3;
    testing::internal::CaptureStderr();
    PhysicsUpdate(0.016f);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Engine system error in: PhysicsUpdate.  Exception thrown: UNKOWN\n");

    // With no systems at all, the missing index is an out-of-range failure.
    SystemManager::DestroyAll();
    testing::internal::CaptureStderr();
    PhysicsUpdate(0.016f);
    EXPECT_EQ(
        testing::internal::GetCapturedStderr().rfind("Something in Physics Update went horribly wrong.  ", 0),
        0u);
}
} // namespace
