// The broad and narrow phases allocate nothing once their first step has sized their storage. This
// program counts every allocation through its own operator new.
#include "NarrowPhase.h"
#include "PairSet.h"
#include "QuadTree.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

namespace
{
std::atomic<std::size_t> gAllocations{0};
} // namespace

void* operator new(std::size_t size)
{
    ++gAllocations;
    if (void* memory = std::malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}

// The deletes stay out of line: inlined into a caller, gcc would take their free for a mismatch with the
// new it sees there.
[[gnu::noinline]] void operator delete(void* memory) noexcept
{
    std::free(memory);
}

[[gnu::noinline]] void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

namespace
{
// A grid of 20 x 20 ten-unit boxes two units apart, each overlapping its right and upper neighbour.
std::vector<Bounds> GridBounds()
{
    std::vector<Bounds> bounds;
    for (int row = 0; row < 20; ++row)
        for (int column = 0; column < 20; ++column)
        {
            const float x = 8.0f * static_cast<float>(column);
            const float y = 8.0f * static_cast<float>(row);
            bounds.push_back({x, y, x + 10.0f, y + 10.0f});
        }
    return bounds;
}

std::size_t BroadPhaseStep(const std::vector<Bounds>& bounds, PairSet& pairs)
{
    const BoundsLookup boundsOf = [&bounds](std::uint32_t id) { return bounds[id]; };
    pairs.Clear();
    QuadTree::BeginStep({0.0f, 0.0f, 162.0f, 162.0f});
    for (std::uint32_t id = 0; id < bounds.size(); ++id)
        QuadTree::Insert(QuadTree::kRoot, id, boundsOf);
    QuadTree::CollectOverlappingPairs(pairs, boundsOf);
    pairs.Seal();
    QuadTree::EndStep();
    return pairs.Keys().size();
}

TEST(StepAllocation, BroadPhaseStepsAfterTheFirstAllocateNothing)
{
    QuadTree::Reset();
    const std::vector<Bounds> bounds = GridBounds();
    PairSet pairs;
    // Right, upper and both diagonal neighbours: 2 * 19 * 20 + 2 * 19 * 19.
    EXPECT_EQ(BroadPhaseStep(bounds, pairs), 1482u);
    const std::size_t before = gAllocations.load();
    EXPECT_EQ(BroadPhaseStep(bounds, pairs), 1482u);
    EXPECT_EQ(gAllocations.load(), before);
    QuadTree::Reset();
}

TEST(StepAllocation, NarrowPhaseAllocatesNothing)
{
    const std::vector<Vector3> boxAxes{{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}};
    const std::vector<Vector3> boxCorners{
        {0.5f, 0.5f, 0.0f}, {0.5f, -0.5f, 0.0f}, {-0.5f, 0.5f, 0.0f}, {-0.5f, -0.5f, 0.0f}};
    const std::vector<Vector3> circleAxes{{0.0f, 0.0f, 0.0f}};
    const std::vector<Vector3> circlePoint{{0.5f, 0.0f, 0.0f}};
    const Matrix3 boxWorld =
        TranslationMatrix(0.0f, 0.0f) * RotationMatrix(30.0f) * ScaleMatrix(10.0f, 10.0f);
    const Matrix3 circleWorld = TranslationMatrix(8.0f, 1.0f) * ScaleMatrix(10.0f, 10.0f);
    const PlacedShape box{boxAxes, boxCorners, 0.5f, boxWorld, {0.0f, 0.0f, 1.0f}, 10.0f};
    const PlacedShape circle{circleAxes, circlePoint, 0.5f, circleWorld, {8.0f, 1.0f, 1.0f}, 10.0f};

    const std::size_t before = gAllocations.load();
    int touching = 0;
    for (const auto& [a, b] : {std::pair{&box, &box}, std::pair{&box, &circle}, std::pair{&circle, &circle}})
    {
        ContactRecord record{1, 2, 0.0f, {}, {}};
        touching += TestShapes(record, *a, *b) ? 1 : 0;
    }
    EXPECT_EQ(gAllocations.load(), before);
    EXPECT_EQ(touching, 3);
}
} // namespace
