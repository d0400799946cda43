#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <set>

// A set of component or script type ids, iterated in ascending order. Every id a class holds is below 32
// and lives in one bit mask, so containment of a whole signature is one mask test. A larger id (only a
// hand-edited level file names one) is kept in a side set, so nothing a file says is lost.
class TypeIdSet
{
  public:
    using value_type = std::uint32_t;
    using size_type = std::size_t;

    class const_iterator
    {
      public:
        using value_type = std::uint32_t;
        using difference_type = std::ptrdiff_t;
        using reference = std::uint32_t;
        using pointer = void;
        using iterator_category = std::forward_iterator_tag;

        const_iterator() = default;
        const_iterator(std::uint32_t maskLeft, std::set<std::uint32_t>::const_iterator beyondAt)
            : maskLeft(maskLeft), beyondAt(beyondAt)
        {
        }
        std::uint32_t operator*() const
        {
            return maskLeft != 0 ? static_cast<std::uint32_t>(std::countr_zero(maskLeft)) : *beyondAt;
        }
        const_iterator& operator++()
        {
            if (maskLeft != 0)
                maskLeft &= maskLeft - 1;
            else
                ++beyondAt;
            return *this;
        }
        const_iterator operator++(int)
        {
            const_iterator before = *this;
            ++*this;
            return before;
        }
        bool operator==(const const_iterator& other) const
        {
            return maskLeft == other.maskLeft && beyondAt == other.beyondAt;
        }

      private:
        std::uint32_t maskLeft = 0;
        std::set<std::uint32_t>::const_iterator beyondAt{};
    };
    using iterator = const_iterator;

    static constexpr std::uint32_t kMaskBits = 32;

    TypeIdSet() = default;
    TypeIdSet(std::initializer_list<std::uint32_t> ids);
    // Any ordered set of ids, as level files read them.
    explicit TypeIdSet(const std::set<std::uint32_t>& ids);
    TypeIdSet(const TypeIdSet& other);
    TypeIdSet& operator=(const TypeIdSet& other);
    TypeIdSet(TypeIdSet&&) noexcept = default;
    TypeIdSet& operator=(TypeIdSet&&) noexcept = default;

    // Adds an id; true when it was not there yet.
    bool insert(std::uint32_t id);
    // Removes an id; the number removed (0 or 1).
    std::size_t erase(std::uint32_t id);
    std::size_t count(std::uint32_t id) const { return contains(id) ? 1 : 0; }
    bool contains(std::uint32_t id) const
    {
        if (id < kMaskBits)
            return (mask & (1u << id)) != 0;
        return beyond && beyond->count(id) != 0;
    }
    std::size_t size() const { return static_cast<std::size_t>(std::popcount(mask)) + (beyond ? beyond->size() : 0); }
    bool empty() const { return mask == 0 && (!beyond || beyond->empty()); }
    void clear();

    // True when every id of `required` is in this set: one mask test unless either holds a large id.
    bool ContainsAll(const TypeIdSet& required) const;
    // The ids as an ordered set, as level files write them.
    std::set<std::uint32_t> ToSet() const { return {begin(), end()}; }

    const_iterator begin() const;
    const_iterator end() const;

    bool operator==(const TypeIdSet& other) const;

  private:
    std::uint32_t mask = 0;
    std::unique_ptr<std::set<std::uint32_t>> beyond;
};
