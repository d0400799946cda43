#include "QuadTree.h"

#include "PairSet.h"

namespace
{
constexpr Vector3 kArenaMin{-960.0f, -240.0f, 0.0f};
constexpr Vector3 kArenaMax{960.0f, 240.0f, 0.0f};

std::vector<QuadNode> gQuadNodes;
std::vector<std::uint64_t> gQuadFreeIndices;
// The emptied leaf lists of earlier steps by node index: a node gets back the list its index had, which a
// like step fills alike, so that a step after the first allocates nothing.
std::vector<std::vector<std::uint32_t>> gSpareIdLists;

bool Overlap(const Bounds& a, const Bounds& b)
{
    return a.minX <= b.maxX && b.minX <= a.maxX && a.minY <= b.maxY && b.minY <= a.maxY;
}
} // namespace

void QuadTree::BeginStep()
{
    BeginStep(Bounds{kArenaMin.x, kArenaMin.y, kArenaMax.x, kArenaMax.y});
}

void QuadTree::BeginStep(const Bounds& rootRegion)
{
    // A step that ended early (a throwing collision script) may have left nodes behind.
    EndStep();
    if (gQuadNodes.capacity() < kReservedNodes)
        gQuadNodes.reserve(kReservedNodes);
    gQuadNodes.emplace_back();
    CreateNode({rootRegion.minX, rootRegion.minY, 0.0f}, {rootRegion.maxX, rootRegion.maxY, 0.0f}, 0);
}

std::uint64_t QuadTree::CreateNode(const Vector3& min, const Vector3& max, std::uint32_t depth)
{
    QuadNode node;
    node.inUse = true;
    node.min = min;
    node.max = max;
    node.centre = Vector3((min.x + max.x) / 2.0f, (min.y + max.y) / 2.0f, 0.0f);
    node.depth = depth;
    if (gQuadFreeIndices.empty() && gQuadNodes.size() < gSpareIdLists.size())
        node.ids = std::move(gSpareIdLists[gQuadNodes.size()]);
    if (!gQuadFreeIndices.empty())
    {
        const std::uint64_t index = gQuadFreeIndices.back();
        gQuadFreeIndices.pop_back();
        gQuadNodes[index] = std::move(node);
        return index;
    }
    gQuadNodes.push_back(std::move(node));
    return gQuadNodes.size() - 1;
}

void QuadTree::Insert(std::uint64_t node, std::uint32_t id, const BoundsLookup& boundsOf)
{
    if (!gQuadNodes[node].inUse)
        return;
    {
        const QuadNode& leaf = gQuadNodes[node];
        if (!leaf.subdivided && leaf.depth < kMaxDepth && leaf.ids.size() >= kSplitCount)
            Split(node, boundsOf);
    }
    if (gQuadNodes[node].subdivided)
        Route(node, id, boundsOf);
    else
        gQuadNodes[node].ids.push_back(id);
}

void QuadTree::Split(std::uint64_t node, const BoundsLookup& boundsOf)
{
    // Copies, because creating the children may move the pool.
    const Vector3 min = gQuadNodes[node].min;
    const Vector3 max = gQuadNodes[node].max;
    const Vector3 centre = gQuadNodes[node].centre;
    const std::uint32_t childDepth = gQuadNodes[node].depth + 1;
    const std::uint64_t children[4] = {
        CreateNode({min.x, centre.y, 1.0f}, {centre.x, max.y, 1.0f}, childDepth),
        CreateNode({min.x, min.y, 1.0f}, {centre.x, centre.y, 1.0f}, childDepth),
        CreateNode({centre.x, min.y, 1.0f}, {max.x, centre.y, 1.0f}, childDepth),
        CreateNode({centre.x, centre.y, 1.0f}, {max.x, max.y, 1.0f}, childDepth),
    };

    QuadNode& parent = gQuadNodes[node];
    for (int i = 0; i < 4; ++i)
        parent.children[i] = children[i];
    parent.depth = childDepth;
    parent.subdivided = true;
    std::vector<std::uint32_t> held = std::move(parent.ids);
    parent.ids.clear();
    for (std::uint32_t id : held)
        Route(node, id, boundsOf);
    held.clear();
    gQuadNodes[node].ids = std::move(held);
}

void QuadTree::Route(std::uint64_t node, std::uint32_t id, const BoundsLookup& boundsOf)
{
    const Bounds b = boundsOf(id);
    const Vector3 c = gQuadNodes[node].centre;
    std::uint64_t children[4];
    for (int i = 0; i < 4; ++i)
        children[i] = gQuadNodes[node].children[i];

    // Strict comparisons: bounds touching a centre line count as straddling it.
    auto insertInto = [&](std::initializer_list<int> quadrants) {
        for (int quadrant : quadrants)
            Insert(children[quadrant], id, boundsOf);
    };
    if (b.minX > c.x)
    {
        if (b.minY > c.y)
            insertInto({3});
        else if (c.y > b.maxY)
            insertInto({2});
        else
            insertInto({3, 2});
    }
    else if (c.x > b.maxX)
    {
        if (b.minY > c.y)
            insertInto({0});
        else if (c.y > b.maxY)
            insertInto({1});
        else
            insertInto({0, 1});
    }
    else
    {
        if (b.minY > c.y)
            insertInto({0, 3});
        else if (c.y > b.maxY)
            insertInto({1, 2});
        else
            insertInto({0, 1, 2, 3});
    }
}

void QuadTree::CollectPairs(PairSet& pairs)
{
    if (gQuadNodes.size() > kRoot)
        CollectFrom(kRoot, pairs, nullptr);
}

void QuadTree::CollectOverlappingPairs(PairSet& pairs, const BoundsLookup& boundsOf)
{
    if (gQuadNodes.size() > kRoot)
        CollectFrom(kRoot, pairs, &boundsOf);
}

void QuadTree::CollectFrom(std::uint64_t node, PairSet& pairs, const BoundsLookup* boundsOf)
{
    const QuadNode& current = gQuadNodes[node];
    if (current.subdivided)
    {
        for (std::uint64_t child : current.children)
            CollectFrom(child, pairs, boundsOf);
        return;
    }
    const std::vector<std::uint32_t>& ids = current.ids;
    for (std::size_t i = 0; i < ids.size(); ++i)
    {
        const Bounds first = boundsOf != nullptr ? (*boundsOf)(ids[i]) : Bounds{};
        for (std::size_t j = i + 1; j < ids.size(); ++j)
            if (boundsOf == nullptr || Overlap(first, (*boundsOf)(ids[j])))
                pairs.Add(ids[i], ids[j]);
    }
}

void QuadTree::EndStep()
{
    if (gSpareIdLists.size() < gQuadNodes.size())
        gSpareIdLists.resize(gQuadNodes.size());
    for (std::size_t i = 0; i < gQuadNodes.size(); ++i)
    {
        std::vector<std::uint32_t>& ids = gQuadNodes[i].ids;
        if (ids.capacity() <= gSpareIdLists[i].capacity())
            continue;
        ids.clear();
        gSpareIdLists[i] = std::move(ids);
    }
    gQuadNodes.clear();
    gQuadFreeIndices.clear();
}

void QuadTree::Reset()
{
    std::vector<QuadNode>().swap(gQuadNodes);
    std::vector<std::uint64_t>().swap(gQuadFreeIndices);
    std::vector<std::vector<std::uint32_t>>().swap(gSpareIdLists);
}

std::size_t QuadTree::NodeCount()
{
    return gQuadNodes.empty() ? 0 : gQuadNodes.size() - 1;
}

std::size_t QuadTree::Capacity()
{
    return gQuadNodes.capacity();
}

const std::vector<QuadNode>& QuadTree::Nodes()
{
    return gQuadNodes;
}
