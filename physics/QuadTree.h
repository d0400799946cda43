#pragma once
#include "Math.h"
#include "ShapeBounds.h"

#include <cstdint>
#include <functional>
#include <vector>

class PairSet;

// One node of the broad-phase tree. Nodes live in one pooled array and name each other by index, because
// creating children may reallocate the array: never keep a node's address across an insertion.
struct QuadNode
{
    bool inUse = false;
    Vector3 min;
    Vector3 max;
    Vector3 centre;
    std::uint32_t depth = 0;
    bool subdivided = false;
    std::vector<std::uint32_t> ids; // a leaf's object ids, in insertion order
    std::uint64_t children[4] = {0, 0, 0, 0};
};

// Gives the current world bounds of an object's collider.
using BoundsLookup = std::function<Bounds(std::uint32_t id)>;

// The quadtree of one collision step over the process-wide node pool. Index 0 is a dummy so that no child
// index is 0; the root is index 1 and covers the arena unless the step gives it a region, though objects
// outside the root still go into its outer quadrants. Leaf lists keep their memory from step to step.
class QuadTree
{
  public:
    static constexpr std::uint64_t kRoot = 1;
    // A leaf splits when an id arrives while it holds this many, unless it is at the deepest level.
    static constexpr std::size_t kSplitCount = 6;
    static constexpr std::uint32_t kMaxDepth = 5;
    // The most nodes a full tree of six levels holds, the dummy not counted.
    static constexpr std::size_t kMaxNodes = 1365;
    // Room for a full tree from the first step on, so the pool never grows between steps.
    static constexpr std::size_t kReservedNodes = kMaxNodes + 1;

    // Empties the pool, keeps room for a full tree, and adds the dummy and the root over the arena.
    static void BeginStep();
    // The same with the root over the given region (the collision step passes all colliders' bounds, so
    // that the tree spreads the objects whatever the world's extent).
    static void BeginStep(const Bounds& rootRegion);
    // Inserts an id below a node, splitting full leaves and routing by the object's bounds.
    static void Insert(std::uint64_t node, std::uint32_t id, const BoundsLookup& boundsOf);
    // Adds every pair of ids that share a leaf, depth first, children in index order.
    static void CollectPairs(PairSet& pairs);
    // The same, but only pairs whose bounds overlap (touching counts).
    static void CollectOverlappingPairs(PairSet& pairs, const BoundsLookup& boundsOf);
    // Releases every node and the free stack; the pool's capacity stays for the next step.
    static void EndStep();
    // EndStep and also gives the memory back: a clean start for tests.
    static void Reset();

    // Nodes in use, the dummy not counted.
    static std::size_t NodeCount();
    static std::size_t Capacity();
    static const std::vector<QuadNode>& Nodes();

  private:
    static std::uint64_t CreateNode(const Vector3& min, const Vector3& max, std::uint32_t depth);
    static void Split(std::uint64_t node, const BoundsLookup& boundsOf);
    static void Route(std::uint64_t node, std::uint32_t id, const BoundsLookup& boundsOf);
    static void CollectFrom(std::uint64_t node, PairSet& pairs, const BoundsLookup* boundsOf);
};
