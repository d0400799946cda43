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

#include <algorithm>
#include <utility>

CollisionChecker* gCollisionChecker = nullptr;

namespace
{
// Objects queued for destruction, hidden, or kept out of the physics step.
constexpr std::uint32_t kSkipFlags = kFlagQueuedForDestruction | kFlagHidden | kFlagNoPhysics;
constexpr Vector4 kContactPointColour{1.0f, 0.0f, 0.0f, 1.0f};
constexpr float kContactPointSize = 5.0f;
constexpr Vector4 kContactNormalColour{1.0f, 0.65f, 0.0f, 1.0f};
constexpr float kContactNormalLength = 25.0f;

float RadiusOf(const Collider& collider)
{
    const auto* circle = dynamic_cast<const CircleCollider*>(&collider);
    return circle != nullptr ? circle->GetRadius() : 0.0f;
}

// The object's parts, looked up afresh; all null when the object is gone.
CheckedBody LookUpBody(std::uint32_t id)
{
    GameObject* object = gGameObjectFactory != nullptr ? gGameObjectFactory->GetObject(id) : nullptr;
    if (object == nullptr)
        return {};
    CheckedBody found;
    found.collider = object->GetComponentAs<Collider>(ComponentTypeId::kCollider);
    found.transform = object->GetComponentAs<Transform>(ComponentTypeId::kTransform);
    found.body = object->GetComponentAs<RigidBody>(ComponentTypeId::kRigidBody);
    found.radius = found.collider != nullptr ? RadiusOf(*found.collider) : 0.0f;
    return found;
}

// The transform is the body's owner's, so its scale is the one the body would look up itself.
ContactBody ToContactBody(RigidBody& body, const Transform& transform)
{
    const Vector3& scale = transform.GetScale();
    ContactBody contact;
    contact.translation = transform.GetTranslation();
    contact.velocity = body.GetVelocity();
    contact.angularVelocity = body.GetAngularVelocity();
    contact.mass = body.ComputeMass(scale);
    contact.inverseMass = body.ComputeInverseMass(scale);
    contact.inverseInertia = body.ComputeInertia(scale);
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

bool ResolveBodies(const ContactRecord& record, const CheckedBody& first, const CheckedBody& second)
{
    if (first.transform == nullptr || second.transform == nullptr || first.body == nullptr ||
        second.body == nullptr)
        return false;
    ContactBody a = ToContactBody(*first.body, *first.transform);
    ContactBody b = ToContactBody(*second.body, *second.transform);
    if (!ResolveContactBodies(record, a, b))
        return false;
    WriteBack(a, *first.body, *first.transform);
    WriteBack(b, *second.body, *second.transform);
    return true;
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
    ForgetStepBodies();

    InsertObjects();
    QuadTree::CollectOverlappingPairs(pairs, [this](std::uint32_t id) { return stepBounds[id]; });
    pairs.Seal();
    counters.nodes = QuadTree::NodeCount();
    counters.rawPairInsertions = pairs.RawInsertions();
    counters.candidatePairs = pairs.Keys().size();

    // Without a collision listener nothing but this step touches the objects until it ends, so the parts
    // found by the insert pass stay valid; a listener may change anything, so after one has run every
    // pair looks its objects up again.
    const bool listened = !EventManager::ObserversOf(evCollision).empty();
    stepBodiesCurrent = true;
    // Only our own pair list is walked: scripts called from here may add and remove objects freely.
    for (std::size_t i = 0; i < pairs.Keys().size(); ++i)
    {
        const std::uint64_t key = pairs.Keys()[i];
        const std::size_t eventsBefore = counters.events;
        CheckPair(PairSet::FirstOf(key), PairSet::SecondOf(key));
        if (listened && counters.events != eventsBefore)
            stepBodiesCurrent = false;
    }

    pairs.Clear();
    ForgetStepBodies();
    QuadTree::EndStep();
}

void CollisionChecker::InsertObjects()
{
    Bounds region;
    bool anyInserted = false;
    if (gGameObjectFactory != nullptr)
    {
        const auto members = MemberList();
        for (std::uint32_t id : *members)
        {
            const GameObject* object = gGameObjectFactory->GetObject(id);
            if (object == nullptr || (object->flags & kSkipFlags) != 0)
                continue;
            const CheckedBody found = LookUpBody(id);
            if (found.collider == nullptr || found.transform == nullptr)
                continue;
            // Refreshes the world points too; bounds that are not finite would land in every leaf.
            const Bounds bounds = found.collider->ComputeBounds(found.transform->GetWorldMatrix());
            if (!bounds.IsFinite())
                continue;
            if (stepBounds.size() <= id)
            {
                stepBounds.resize(static_cast<std::size_t>(id) + 1);
                stepBodies.resize(static_cast<std::size_t>(id) + 1);
            }
            stepBounds[id] = bounds;
            stepBodies[id] = found;
            insertedIds.push_back(id);
            region = anyInserted
                         ? Bounds{std::min(region.minX, bounds.minX), std::min(region.minY, bounds.minY),
                                  std::max(region.maxX, bounds.maxX), std::max(region.maxY, bounds.maxY)}
                         : bounds;
            anyInserted = true;
        }
    }

    // The root covers every collider, so the tree divides the space the objects are actually in.
    if (anyInserted)
        QuadTree::BeginStep(region);
    else
        QuadTree::BeginStep();
    // Routing asks for the bounds at every level of the tree; nothing moves while the tree is built, so the
    // ones just computed are the ones a recomputation would give.
    const BoundsLookup boundsOf = [this](std::uint32_t routed) { return stepBounds[routed]; };
    for (std::uint32_t id : insertedIds)
    {
        QuadTree::Insert(QuadTree::kRoot, id, boundsOf);
        ++counters.objectsInserted;
    }
}

void CollisionChecker::ForgetStepBodies()
{
    for (std::uint32_t id : insertedIds)
        stepBodies[id] = {};
    insertedIds.clear();
    stepBodiesCurrent = false;
}

bool CollisionChecker::FindStepBody(std::uint32_t id, CheckedBody& found) const
{
    found = stepBodiesCurrent ? stepBodies[id] : LookUpBody(id);
    return found.collider != nullptr && found.transform != nullptr;
}

void CollisionChecker::CheckPair(std::uint32_t firstId, std::uint32_t secondId)
{
    CheckedBody first;
    CheckedBody second;
    if (!FindStepBody(firstId, first) || !FindStepBody(secondId, second))
        return;
    if ((first.collider->GetLayer() & second.collider->GetLayer()) == 0)
        return;
    if (first.body != nullptr && second.body != nullptr)
    {
        const bool bothStatic = first.body->GetStatic() && second.body->GetStatic();
        const bool bothImmovable = first.body->ComputeInverseMass(first.transform->GetScale()) == 0.0f &&
                                   second.body->ComputeInverseMass(second.transform->GetScale()) == 0.0f;
        if (bothStatic || bothImmovable)
            return;
    }

    ++counters.narrowTests;
    const Matrix3 firstWorld = first.transform->GetWorldMatrix();
    const Matrix3 secondWorld = second.transform->GetWorldMatrix();
    const PlacedShape firstShape{
        first.collider->GetAxes(),         first.collider->GetLocalPoints(), first.radius, firstWorld,
        first.transform->GetTranslation(), first.transform->GetScale().x};
    const PlacedShape secondShape{
        second.collider->GetAxes(),         second.collider->GetLocalPoints(), second.radius, secondWorld,
        second.transform->GetTranslation(), second.transform->GetScale().x};
    // A working copy: the narrow phase may swap the ids, and the response, event and drawing use its order.
    ContactRecord record{firstId, secondId, 0.0f, {}, {}};
    if (!TestShapes(record, firstShape, secondShape))
        return;
    ++counters.contacts;

    const bool resolves = first.collider->GetResolution() && second.collider->GetResolution();
    if (record.first != firstId)
        std::swap(first, second);
    if (resolves && ResolveBodies(record, first, second))
        ++counters.resolutions;
    CollisionEvent event(record.first, record.second);
    ++counters.events;
    EventManager::Dispatch(&event);
    DrawContact(record);
}

bool CollisionChecker::ResolveContact(const ContactRecord& record)
{
    return ResolveBodies(record, LookUpBody(record.first), LookUpBody(record.second));
}

void CollisionChecker::DrawContact(const ContactRecord& record)
{
    DebugDraw& draw = GetDebugDraw();
    draw.Point(record.point, kContactPointSize, kContactPointColour);
    draw.Line(record.point, record.point + record.normal * kContactNormalLength, kContactNormalColour);
}
