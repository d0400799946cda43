#include "QuadTree.h"
#include "PairSet.h"

#include <gtest/gtest.h>

#include <map>

namespace
{
class QuadTreeTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        QuadTree::Reset();
        QuadTree::BeginStep();
    }
    void TearDown() override { QuadTree::Reset(); }

    void Add(std::uint32_t id, Bounds b)
    {
        bounds[id] = b;
        QuadTree::Insert(QuadTree::kRoot, id, [this](std::uint32_t i) { return bounds.at(i); });
    }

    // A small square around (x, y).
    static Bounds Near(float x, float y) { return {x - 1.0f, y - 1.0f, x + 1.0f, y + 1.0f}; }

    std::vector<std::pair<std::uint32_t, std::uint32_t>> Pairs()
    {
        PairSet pairs;
        QuadTree::CollectPairs(pairs);
        pairs.Seal();
        std::vector<std::pair<std::uint32_t, std::uint32_t>> found;
        for (std::uint64_t key : pairs.Keys())
            found.emplace_back(PairSet::FirstOf(key), PairSet::SecondOf(key));
        return found;
    }

    // The leaves holding an id.
    static int LeavesHolding(std::uint32_t id)
    {
        int count = 0;
        for (const QuadNode& node : QuadTree::Nodes())
            for (std::uint32_t held : node.ids)
                count += held == id ? 1 : 0;
        return count;
    }

    std::map<std::uint32_t, Bounds> bounds;
};
} // namespace

TEST_F(QuadTreeTest, SeventhIdSplitsTheRoot)
{
    for (std::uint32_t id = 1; id <= 6; ++id)
        Add(id, Near(100.0f * static_cast<float>(id), 100.0f));
    EXPECT_FALSE(QuadTree::Nodes()[QuadTree::kRoot].subdivided);
    EXPECT_EQ(QuadTree::NodeCount(), 1u);

    Add(7, Near(700.0f, 100.0f));
    const QuadNode& root = QuadTree::Nodes()[QuadTree::kRoot];
    EXPECT_TRUE(root.subdivided);
    EXPECT_EQ(root.depth, 1u);
    EXPECT_TRUE(root.ids.empty());
    EXPECT_GE(QuadTree::NodeCount(), 5u);
}

TEST_F(QuadTreeTest, StraddlingOrTouchingACentreLineReachesSeveralLeaves)
{
    for (std::uint32_t id = 1; id <= 7; ++id)
        Add(id, Near(-500.0f + 20.0f * static_cast<float>(id), -100.0f));
    // Across both centre lines: all four quadrants.
    Add(8, {-10.0f, -10.0f, 10.0f, 10.0f});
    // Touching the vertical centre line from the right, wholly above the horizontal one.
    Add(9, {0.0f, 50.0f, 20.0f, 60.0f});
    EXPECT_EQ(LeavesHolding(8), 4);
    EXPECT_EQ(LeavesHolding(9), 2);
}

TEST_F(QuadTreeTest, FarOutsideObjectsArePairedInTheOuterQuadrant)
{
    for (std::uint32_t id = 1; id <= 6; ++id)
        Add(id, Near(400.0f + 10.0f * static_cast<float>(id), 100.0f));
    Add(7, Near(-500.0f, -3000.0f));
    Add(8, Near(-400.0f, -3000.0f));
    const auto pairs = Pairs();
    EXPECT_NE(std::find(pairs.begin(), pairs.end(), std::make_pair(7u, 8u)), pairs.end());
}

TEST_F(QuadTreeTest, PairInSeveralLeavesIsListedOnceSmallerIdFirst)
{
    for (std::uint32_t id = 1; id <= 7; ++id)
        Add(id, Near(-500.0f + 20.0f * static_cast<float>(id), -100.0f));
    Add(8, {-10.0f, -10.0f, 10.0f, 10.0f});
    Add(9, {-5.0f, -5.0f, 5.0f, 5.0f});
    PairSet pairs;
    QuadTree::CollectPairs(pairs);
    pairs.Seal();
    int count89 = 0;
    for (std::uint64_t key : pairs.Keys())
    {
        EXPECT_LT(PairSet::FirstOf(key), PairSet::SecondOf(key));
        count89 += key == ((8ull << 32) | 9u) ? 1 : 0;
    }
    EXPECT_EQ(count89, 1);
    EXPECT_GT(pairs.RawInsertions(), pairs.Keys().size());
    EXPECT_TRUE(std::is_sorted(pairs.Keys().begin(), pairs.Keys().end()));
}

TEST_F(QuadTreeTest, SevenArenaWideObjectsFillTheWholeTree)
{
    for (std::uint32_t id = 1; id <= 7; ++id)
        Add(id, {-950.0f, -235.0f, 950.0f, 235.0f});
    EXPECT_EQ(QuadTree::NodeCount(), 1365u);
    for (const QuadNode& node : QuadTree::Nodes())
    {
        if (node.inUse && !node.subdivided)
        {
            EXPECT_EQ(node.depth, QuadTree::kMaxDepth);
        }
    }
    // Six arena-wide objects do not split anything.
    QuadTree::BeginStep();
    for (std::uint32_t id = 1; id <= 6; ++id)
        Add(id, {-950.0f, -235.0f, 950.0f, 235.0f});
    EXPECT_EQ(QuadTree::NodeCount(), 1u);
}

TEST_F(QuadTreeTest, EndStepKeepsThePoolCapacity)
{
    for (std::uint32_t id = 1; id <= 7; ++id)
        Add(id, {-950.0f, -235.0f, 950.0f, 235.0f});
    const std::size_t capacity = QuadTree::Capacity();
    QuadTree::EndStep();
    EXPECT_EQ(QuadTree::NodeCount(), 0u);
    EXPECT_EQ(QuadTree::Capacity(), capacity);
    QuadTree::BeginStep();
    EXPECT_EQ(QuadTree::NodeCount(), 1u);
    EXPECT_GE(QuadTree::Capacity(), QuadTree::kReservedNodes);
}
