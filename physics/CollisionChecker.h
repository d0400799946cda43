#pragma once
#include "ContactRecord.h"
#include "PairSet.h"
#include "ShapeBounds.h"
#include "System.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class Collider;
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
    void CheckPair(std::uint32_t firstId, std::uint32_t secondId);
    static void DrawContact(const ContactRecord& record);

    PairSet pairs;
    CollisionCounters counters;
    // This step's collider bounds by object id, for routing ids down the tree.
    std::vector<Bounds> stepBounds;
};

extern CollisionChecker* gCollisionChecker;
