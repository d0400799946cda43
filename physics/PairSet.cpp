#include "PairSet.h"

#include <algorithm>

void PairSet::Add(std::uint32_t first, std::uint32_t second)
{
    keys.push_back((static_cast<std::uint64_t>(first) << 32) | second);
    ++rawInsertions;
}

void PairSet::Seal()
{
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
}

void PairSet::Clear()
{
    keys.clear();
    rawInsertions = 0;
}
