#include "PhysicsTestSupport.h"

#include "EnginePrototypes.h"
#include "LevelFile.h"
#include "Registries.h"

#include <sstream>

TEST(ColliderLevelTest, CollidersComeBackAsTheirOwnClassesThroughALevelFile)
{
    std::string bytes;
    {
        PhysicsWorld world;
        GameObject* crate = world.Place(1.0f, 2.0f, 3.0f, 4.0f);
        BoxCollider box;
        box.SetSize({2.5f, 1.5f});
        crate->AddComponent(box);
        RigidBody body;
        crate->AddComponent(body);
        GameObject* ball = world.Place(5.0f, 6.0f, 1.0f, 1.0f);
        CircleCollider circle;
        circle.SetRadius(0.75f);
        ball->AddComponent(circle);
        std::ostringstream out;
        SaveLevelTo(out);
        bytes = out.str();
    }
    EXPECT_NE(bytes.find("<Component_Type>Collider</Component_Type>"), std::string::npos);

    PhysicsWorld world;
    RegisterEnginePrototypes();
    std::unique_ptr<StagedLevel> level = StageLevel(bytes, true, "physics.xml");
    CommitLevel(*level);
    const auto* box = dynamic_cast<const BoxCollider*>(FindComponent(1, ComponentTypeId::kCollider));
    ASSERT_NE(box, nullptr);
    EXPECT_FLOAT_EQ(box->GetSize().x, 2.5f);
    EXPECT_NE(FindComponent(1, ComponentTypeId::kRigidBody), nullptr);
    const auto* circle = dynamic_cast<const CircleCollider*>(FindComponent(2, ComponentTypeId::kCollider));
    ASSERT_NE(circle, nullptr);
    EXPECT_FLOAT_EQ(circle->GetRadius(), 0.75f);
    EXPECT_EQ(SystemManager::GetSystem(kCollisionCheckerSlot)->ObjectIds(), (std::set<std::uint32_t>{1, 2}));
    EXPECT_EQ(SystemManager::GetSystem(kMotionSystemSlot)->ObjectIds(), (std::set<std::uint32_t>{1}));
}
