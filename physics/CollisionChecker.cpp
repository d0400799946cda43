#include "CollisionChecker.h"

#include "CircleCollider.h"
#include "Collider.h"
#include "ContactResponse.h"
#include "DebugDraw.h"
#include "Event.h"
#include "EventManager.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "NarrowPhase.h"
#include "QuadTree.h"
#include "RigidBody.h"
#include "Transform.h"
#include "TypeIds.h"

CollisionChecker* gCollisionChecker = nullptr;

namespace
{
// Objects queued for destruction, hidden, or kept out of the physics step.
constexpr std::uint32_t kSkipFlags = kFlagQueuedForDestruction | kFlagHidden | kFlagNoPhysics;
constexpr Vector4 kContactPointColour{1.0f, 0.0f, 0.0f, 1.0f};
constexpr float kContactPointSize = 5.0f;
constexpr Vector4 kContactNormalColour{1.0f, 0.65f, 0.0f, 1.0f};
constexpr float kContactNormalLength = 25.0f;

// The collider and transform of a live object, looked up afresh at each use.
struct ColliderPlace
{
    Collider* collider = nullptr;
    Transform* transform = nullptr;
};

ColliderPlace FindPlace(std::uint32_t id)
{
    GameObject* object = gGameObjectFactory != nullptr ? gGameObjectFactory->GetObject(id) : nullptr;
    if (object == nullptr)
        return {};
    return {object->GetComponentAs<Collider>(ComponentTypeId::kCollider),
            object->GetComponentAs<Transform>(ComponentTypeId::kTransform)};
}

RigidBody* FindBody(std::uint32_t id)
{
    GameObject* object = gGameObjectFactory != nullptr ? gGameObjectFactory->GetObject(id) : nullptr;
    return object != nullptr ? object->GetComponentAs<RigidBody>(ComponentTypeId::kRigidBody) : nullptr;
}

float RadiusOf(const Collider& collider)
{
    const auto* circle = dynamic_cast<const CircleCollider*>(&collider);
    return circle != nullptr ? circle->GetRadius() : 0.0f;
}

ContactBody ToContactBody(RigidBody& body, const Transform& transform)
{
    ContactBody contact;
    contact.translation = transform.GetTranslation();
    contact.velocity = body.GetVelocity();
    contact.angularVelocity = body.GetAngularVelocity();
    contact.mass = body.ComputeMass();
    contact.inverseMass = body.ComputeInverseMass();
    contact.inverseInertia = body.ComputeInertia();
    contact.restitution = body.GetRestitution();
    contact.staticFriction = body.GetStaticFriction();
    contact.dynamicFriction = body.GetDynamicFriction();
    contact.canRotate = body.GetCanRotate();
    return contact;
}

void WriteBack(const ContactBody& contact, RigidBody& body, Transform& transform)
{
    body.SetVelocity(contact.velocity);
    body.SetAngularVelocity(contact.angularVelocity);
    // Marks the transform and the object dirty.
    transform.SetTranslation(contact.translation);
}
} // namespace

CollisionChecker::CollisionChecker()
    : System(kSystemName, {ComponentTypeId::kCollider, ComponentTypeId::kTransform})
{
    PublishOnce(gCollisionChecker, this);
}

CollisionChecker::~CollisionChecker()
{
    UnpublishIfOwner(gCollisionChecker, this);
}

void CollisionChecker::Update(float)
{
    // Start clean even when the last step ended early (a collision script threw).
    counters = {};
    pairs.Clear();
    QuadTree::BeginStep();

    InsertObjects();
    QuadTree::CollectPairs(pairs);
    pairs.Seal();
    counters.nodes = QuadTree::NodeCount();
    counters.rawPairInsertions = pairs.RawInsertions();
    counters.candidatePairs = pairs.Keys().size();

    // Only our own pair list is walked: scripts called from here may add and remove objects freely.
    for (std::size_t i = 0; i < pairs.Keys().size(); ++i)
    {
        const std::uint64_t key = pairs.Keys()[i];
        CheckPair(PairSet::FirstOf(key), PairSet::SecondOf(key));
    }

    pairs.Clear();
    QuadTree::EndStep();
}

void CollisionChecker::InsertObjects()
{
    if (gGameObjectFactory == nullptr)
        return;
    for (std::uint32_t id : SnapshotIds())
    {
        const GameObject* object = gGameObjectFactory->GetObject(id);
        if (object == nullptr || (object->flags & kSkipFlags) != 0)
            continue;
        const ColliderPlace place = FindPlace(id);
        if (place.collider == nullptr || place.transform == nullptr)
            continue;
        // Refreshes the world points too; bounds that are not finite would land in every leaf.
        const Bounds bounds = place.collider->ComputeBounds(place.transform->GetWorldMatrix());
        if (!bounds.IsFinite())
            continue;
        // Routing asks for the bounds at every level of the tree; nothing moves while the tree is built,
        // so the ones just computed are the ones a recomputation would give.
        if (stepBounds.size() <= id)
            stepBounds.resize(static_cast<std::size_t>(id) + 1);
        stepBounds[id] = bounds;
        QuadTree::Insert(QuadTree::kRoot, id, [this](std::uint32_t routed) { return stepBounds[routed]; });
        ++counters.objectsInserted;
    }
}

void CollisionChecker::CheckPair(std::uint32_t firstId, std::uint32_t secondId)
{
    // Earlier pairs and their scripts may have moved, removed or destroyed anything: look up afresh.
    const ColliderPlace first = FindPlace(firstId);
    const ColliderPlace second = FindPlace(secondId);
    if (first.collider == nullptr || second.collider == nullptr || first.transform == nullptr ||
        second.transform == nullptr)
        return;
    if ((first.collider->GetLayer() & second.collider->GetLayer()) == 0)
        return;
    RigidBody* firstBody = FindBody(firstId);
    RigidBody* secondBody = FindBody(secondId);
    if (firstBody != nullptr && secondBody != nullptr)
    {
        const bool bothStatic = firstBody->GetStatic() && secondBody->GetStatic();
        const bool bothImmovable =
            firstBody->ComputeInverseMass() == 0.0f && secondBody->ComputeInverseMass() == 0.0f;
        if (bothStatic || bothImmovable)
            return;
    }

    ++counters.narrowTests;
    const Matrix3 firstWorld = first.transform->GetWorldMatrix();
    const Matrix3 secondWorld = second.transform->GetWorldMatrix();
    const PlacedShape firstShape{first.collider->GetAxes(),         first.collider->GetLocalPoints(),
                                 RadiusOf(*first.collider),         firstWorld,
                                 first.transform->GetTranslation(), first.transform->GetScale().x};
    const PlacedShape secondShape{second.collider->GetAxes(),         second.collider->GetLocalPoints(),
                                  RadiusOf(*second.collider),         secondWorld,
                                  second.transform->GetTranslation(), second.transform->GetScale().x};
    // A working copy: the narrow phase may swap the ids, and the response, event and drawing use its order.
    ContactRecord record{firstId, secondId, 0.0f, {}, {}};
    if (!TestShapes(record, firstShape, secondShape))
        return;
    ++counters.contacts;

    if (first.collider->GetResolution() && second.collider->GetResolution() && ResolveContact(record))
        ++counters.resolutions;
    CollisionEvent event(record.first, record.second);
    ++counters.events;
    EventManager::Dispatch(&event);
    DrawContact(record);
}

bool CollisionChecker::ResolveContact(const ContactRecord& record)
{
    const ColliderPlace first = FindPlace(record.first);
    const ColliderPlace second = FindPlace(record.second);
    RigidBody* firstBody = FindBody(record.first);
    RigidBody* secondBody = FindBody(record.second);
    if (first.transform == nullptr || second.transform == nullptr || firstBody == nullptr ||
        secondBody == nullptr)
        return false;

    ContactBody a = ToContactBody(*firstBody, *first.transform);
    ContactBody b = ToContactBody(*secondBody, *second.transform);
    if (!ResolveContactBodies(record, a, b))
        return false;
    WriteBack(a, *firstBody, *first.transform);
    WriteBack(b, *secondBody, *second.transform);
    return true;
}

void CollisionChecker::DrawContact(const ContactRecord& record)
{
    DebugDraw& draw = GetDebugDraw();
    draw.Point(record.point, kContactPointSize, kContactPointColour);
    draw.Line(record.point, record.point + record.normal * kContactNormalLength, kContactNormalColour);
}
