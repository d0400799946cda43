#include "TypeIdSet.h"

#include <algorithm>

namespace
{
const std::set<std::uint32_t>& NoLargeIds()
{
    static const std::set<std::uint32_t> none;
    return none;
}
} // namespace

TypeIdSet::TypeIdSet(std::initializer_list<std::uint32_t> ids)
{
    for (std::uint32_t id : ids)
        insert(id);
}

TypeIdSet::TypeIdSet(const std::set<std::uint32_t>& ids)
{
    for (std::uint32_t id : ids)
        insert(id);
}

TypeIdSet::TypeIdSet(const TypeIdSet& other)
    : mask(other.mask),
      beyond(other.beyond && !other.beyond->empty() ? std::make_unique<std::set<std::uint32_t>>(*other.beyond)
                                                     : nullptr)
{
}

TypeIdSet& TypeIdSet::operator=(const TypeIdSet& other)
{
    if (this != &other)
        *this = TypeIdSet(other);
    return *this;
}

bool TypeIdSet::insert(std::uint32_t id)
{
    if (id < kMaskBits)
    {
        const std::uint32_t bit = 1u << id;
        const bool added = (mask & bit) == 0;
        mask |= bit;
        return added;
    }
    if (!beyond)
        beyond = std::make_unique<std::set<std::uint32_t>>();
    return beyond->insert(id).second;
}

std::size_t TypeIdSet::erase(std::uint32_t id)
{
    if (id < kMaskBits)
    {
        const std::uint32_t bit = 1u << id;
        const bool present = (mask & bit) != 0;
        mask &= ~bit;
        return present ? 1 : 0;
    }
    return beyond ? beyond->erase(id) : 0;
}

void TypeIdSet::clear()
{
    mask = 0;
    beyond.reset();
}

bool TypeIdSet::ContainsAll(const TypeIdSet& required) const
{
    if ((mask & required.mask) != required.mask)
        return false;
    if (!required.beyond || required.beyond->empty())
        return true;
    const std::set<std::uint32_t>& own = beyond ? *beyond : NoLargeIds();
    return std::includes(own.begin(), own.end(), required.beyond->begin(), required.beyond->end());
}

TypeIdSet::const_iterator TypeIdSet::begin() const
{
    const std::set<std::uint32_t>& large = beyond ? *beyond : NoLargeIds();
    return const_iterator(mask, large.begin());
}

TypeIdSet::const_iterator TypeIdSet::end() const
{
    const std::set<std::uint32_t>& large = beyond ? *beyond : NoLargeIds();
    return const_iterator(0, large.end());
}

bool TypeIdSet::operator==(const TypeIdSet& other) const
{
    if (mask != other.mask)
        return false;
    const std::set<std::uint32_t>& own = beyond ? *beyond : NoLargeIds();
    const std::set<std::uint32_t>& theirs = other.beyond ? *other.beyond : NoLargeIds();
    return own == theirs;
}
