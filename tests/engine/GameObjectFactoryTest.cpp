#include "ObjectModelTestSupport.h"

#include "Transform.h"
#include "TypeIds.h"

namespace
{
using GameObjectFactoryTest = ObjectModelTest;

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

TEST_F(GameObjectFactoryTest, NewObjectHasNameAndTransform)
{
    GameObject* object = factory->CreateObject();
    EXPECT_EQ(object->name, "Object_1");
    ASSERT_NE(object->GetComponentAs<Transform>(ComponentTypeId::kTransform), nullptr);
    EXPECT_EQ(object->GetComponent(ComponentTypeId::kTransform)->GetOwner(), 1u);
}
} // namespace
