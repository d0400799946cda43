#pragma once
#include "ContactRecord.h"
#include "PairSet.h"
#include "ShapeBounds.h"
#include "System.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class Collider;
class RigidBody;
class Transform;

// What one collision step did, for tests and benchmarks; read after Update.
struct CollisionCounters
{
    std::size_t objectsInserted = 0;
    std::size_t nodes = 0;
    std::size_t rawPairInsertions = 0;
    std::size_t candidatePairs = 0;
    std::size_t narrowTests = 0;
    std::size_t contacts = 0;
    std::size_t resolutions = 0;
    std::size_t events = 0;
};

// One object's parts as the collision step uses them.
struct CheckedBody
{
    Collider* collider = nullptr;
    Transform* transform = nullptr;
    RigidBody* body = nullptr; // null for an object without a RigidBody
    float radius = 0.0f;       // circles only
};

// Finds the touching pairs among the objects with a Collider and a Transform, pushes overlapping rigid
// bodies apart, reports every touching pair as a CollisionEvent and draws it: the second half of the
// physics step. It runs while the game is paused too.
class CollisionChecker : public System
{
  public:
    static constexpr const char* kSystemName = "CollisionChecker";

    // Published through gCollisionChecker while that is empty.
    CollisionChecker();
    ~CollisionChecker() override;

    // One step: quadtree broad phase, separating-axis narrow phase, response, events; dt is not used.
    void Update(float dt) override;

    // Impulses and positional correction for a touching pair; false when a body or transform is missing
    // or both bodies are immovable.
    static bool ResolveContact(const ContactRecord& record);

    const CollisionCounters& Counters() const { return counters; }

  private:
    void InsertObjects();
    void ForgetStepBodies();
    void CheckPair(std::uint32_t firstId, std::uint32_t secondId);
    // The object's parts: from the insert pass while no collision listener may have changed anything,
    // else looked up afresh.
    bool FindStepBody(std::uint32_t id, CheckedBody& found) const;
    static void DrawContact(const ContactRecord& record);

    PairSet pairs;
    CollisionCounters counters;
    // This step's collider bounds by object id, for routing ids down the tree and for the overlap test.
    std::vector<Bounds> stepBounds;
    // This step's inserted objects by object id; an id without a collider this step holds a null collider.
    std::vector<CheckedBody> stepBodies;
    std::vector<std::uint32_t> insertedIds;
    // False once a collision listener has run this step: it may have removed or replaced components.
    bool stepBodiesCurrent = false;
};

extern CollisionChecker* gCollisionChecker;
