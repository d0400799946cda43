#include "ObjectModelTestSupport.h"

#include "Transform.h"

namespace
{
using TransformTest = ObjectModelTest;

Transform* TransformOf(GameObject* object)
{
    return object->GetComponentAs<Transform>(ComponentTypeId::kTransform);
}

TEST_F(TransformTest, NewObjectHasIdentityWorldMatrix)
{
    GameObject* object = factory->CreateObject();
    Transform* transform = TransformOf(object);
    ASSERT_NE(transform, nullptr);
    EXPECT_EQ(transform->GetTranslation(), (Vector3{0.0f, 0.0f, 1.0f}));
    EXPECT_EQ(transform->GetScale(), (Vector3{1.0f, 1.0f, 0.0f}));
    EXPECT_EQ(transform->GetWorldMatrix(), Matrix3());
}

TEST_F(TransformTest, WorldMatrixScalesThenRotatesCounterClockwiseThenTranslates)
{
    Transform transform;
    transform.SetRotation(90.0f);
    transform.SetScale({2.0f, 1.0f, 0.0f});
    const Vector2 rotated = transform.GetWorldMatrix().TransformPoint({1.0f, 0.0f});
    EXPECT_NEAR(rotated.x, 0.0f, 1e-5f);
    EXPECT_NEAR(rotated.y, 2.0f, 1e-5f);

    transform.SetTranslation({10.0f, 20.0f, 1.0f});
    const Vector2 moved = transform.GetWorldMatrix().TransformPoint({1.0f, 0.0f});
    EXPECT_NEAR(moved.x, 10.0f, 1e-5f);
    EXPECT_NEAR(moved.y, 22.0f, 1e-5f);
}

TEST_F(TransformTest, SetRotationWrapsOnlyOutsideTheOpenCircle)
{
    Transform transform;
    const std::pair<float, float> cases[] = {{360.0f, 0.0f},   {450.0f, 90.0f},   {720.5f, 0.5f},
                                             {-30.0f, -30.0f}, {-390.0f, -30.0f}, {359.0f, 359.0f},
                                             {0.0f, 0.0f},     {45.0f, 45.0f}};
    for (const auto& [given, stored] : cases)
    {
        transform.SetRotation(given);
        EXPECT_FLOAT_EQ(transform.GetRotation(), stored) << given;
    }
}

TEST_F(TransformTest, SettersMarkTheOwnerAndGrandchildrenDirty)
{
    GameObject* parent = factory->CreateObject();
    GameObject* child = factory->CreateObject();
    GameObject* grandchild = factory->CreateObject();
    parent->family.push_back(child->id);
    child->family = {parent->id, grandchild->id};
    grandchild->family = {child->id};
    TransformOf(grandchild)->GetWorldMatrix();
    ASSERT_FALSE(TransformOf(grandchild)->IsDirty());

    TransformOf(parent)->SetTranslation({1.0f, 2.0f, 1.0f});

    EXPECT_TRUE(parent->HasFlag(kFlagDirty));
    EXPECT_TRUE(child->HasFlag(kFlagDirty));
    EXPECT_TRUE(grandchild->HasFlag(kFlagDirty));
    EXPECT_TRUE(TransformOf(grandchild)->IsDirty());

    child->SetDirty(false);
    EXPECT_FALSE(child->HasFlag(kFlagDirty));
    EXPECT_TRUE(grandchild->HasFlag(kFlagDirty));
}

TEST_F(TransformTest, FamilyCycleEnds)
{
    GameObject* first = factory->CreateObject();
    GameObject* second = factory->CreateObject();
    first->family = {second->id, second->id, first->id, 99};
    second->family = {first->id, first->id};
    first->SetDirty(true);
    EXPECT_TRUE(first->HasFlag(kFlagDirty));
    EXPECT_TRUE(second->HasFlag(kFlagDirty));
}

TEST_F(TransformTest, CloneCopiesFieldsAndIsDirty)
{
    Transform transform(1.0f, 2.0f, 3.0f);
    transform.SetDepth(0.5f);
    transform.GetWorldMatrix();
    auto copy = transform.Clone();
    auto& copied = dynamic_cast<Transform&>(*copy);
    EXPECT_EQ(copied.GetTranslation(), (Vector3{1.0f, 2.0f, 3.0f}));
    EXPECT_FLOAT_EQ(copied.GetDepth(), 0.5f);
    EXPECT_TRUE(copied.IsDirty());
}
} // namespace
