#include "QuadTree.h"
#include "physics_arena_scene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace
{
void ExpectCountersWithinBounds(const CollisionCounters& counters, int bodies)
{
    EXPECT_LE(static_cast<double>(counters.candidatePairs), 8.0 * bodies);
    EXPECT_LE(counters.narrowTests, counters.candidatePairs);
    EXPECT_LE(counters.contacts, counters.narrowTests);
    EXPECT_LE(counters.nodes, QuadTree::kMaxNodes);
}

TEST(ArenaScene, CountersStayWithinTheirBounds)
{
    for (int bodies : {16, 256, 1024})
    {
        ArenaScene scene(bodies);
        scene.Step();
        const std::size_t capacity = QuadTree::Capacity();
        for (int step = 0; step < 20; ++step)
        {
            scene.Step();
            ExpectCountersWithinBounds(scene.Counters(), bodies);
        }
        EXPECT_EQ(QuadTree::Capacity(), capacity) << bodies << " bodies";
    }
}

TEST(ArenaScene, WideCollidersFillTheTreeButStayBounded)
{
    constexpr int kBodies = 256;
    constexpr int kWide = 8;
    ArenaScene scene(kBodies, kWide);
    scene.Step();
    const CollisionCounters& counters = scene.Counters();
    EXPECT_EQ(counters.nodes, 1365u);
    EXPECT_GE(counters.rawPairInsertions, 1024u * kWide * (kWide - 1) / 2);
    EXPECT_GE(counters.contacts, static_cast<std::size_t>(kWide * kBodies + kWide * (kWide - 1) / 2));
    const std::size_t capacity = QuadTree::Capacity();
    scene.Step();
    EXPECT_EQ(QuadTree::Capacity(), capacity);
}

std::vector<float> RunMixedScene()
{
    ArenaScene scene(200, 0, 7u);
    for (int step = 0; step < 600; ++step)
        scene.Step();
    return scene.State();
}

TEST(ArenaScene, SameSceneTwiceGivesBitwiseEqualState)
{
    const std::vector<float> first = RunMixedScene();
    const std::vector<float> second = RunMixedScene();
    ASSERT_EQ(first.size(), second.size());
    EXPECT_EQ(std::memcmp(first.data(), second.data(), first.size() * sizeof(float)), 0);
    for (float value : first)
        ASSERT_TRUE(std::isfinite(value));
}
} // namespace
