#pragma once
#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <set>

// The event types one observer is subscribed to, iterated in ascending order. Every type an event class
// uses lies in 0..31 and lives in one bit mask, so subscribing and clearing a whole level's scripts
// allocates nothing; any other value a caller passes is kept in a side set, so nothing is lost.
class EventTypeSet
{
  public:
    using value_type = std::int32_t;
    using size_type = std::size_t;
    using Beyond = std::set<std::int32_t>;

    class const_iterator
    {
      public:
        using value_type = std::int32_t;
        using difference_type = std::ptrdiff_t;
        using reference = std::int32_t;
        using pointer = void;
        using iterator_category = std::forward_iterator_tag;

        const_iterator() = default;
        const_iterator(std::uint32_t maskLeft, Beyond::const_iterator beyondAt, Beyond::const_iterator beyondEnd)
            : maskLeft(maskLeft), beyondAt(beyondAt), beyondEnd(beyondEnd)
        {
        }
        // Negative side-set values come before the mask's, the large ones after.
        std::int32_t operator*() const
        {
            return FromBeyond() ? *beyondAt : static_cast<std::int32_t>(std::countr_zero(maskLeft));
        }
        const_iterator& operator++()
        {
            if (FromBeyond())
                ++beyondAt;
            else
                maskLeft &= maskLeft - 1;
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
        bool FromBeyond() const { return beyondAt != beyondEnd && (maskLeft == 0 || *beyondAt < 0); }

        std::uint32_t maskLeft = 0;
        Beyond::const_iterator beyondAt{};
        Beyond::const_iterator beyondEnd{};
    };
    using iterator = const_iterator;

    static constexpr std::int32_t kMaskBits = 32;

    EventTypeSet() = default;
    EventTypeSet(const EventTypeSet& other)
        : mask(other.mask), beyond(other.beyond ? std::make_unique<Beyond>(*other.beyond) : nullptr)
    {
    }
    EventTypeSet& operator=(const EventTypeSet& other)
    {
        if (this != &other)
        {
            mask = other.mask;
            beyond = other.beyond ? std::make_unique<Beyond>(*other.beyond) : nullptr;
        }
        return *this;
    }
    EventTypeSet(EventTypeSet&&) noexcept = default;
    EventTypeSet& operator=(EventTypeSet&&) noexcept = default;

    // Adds a type; true when it was not there yet.
    bool insert(std::int32_t type)
    {
        if (InMask(type))
        {
            const bool added = (mask & Bit(type)) == 0;
            mask |= Bit(type);
            return added;
        }
        if (!beyond)
            beyond = std::make_unique<Beyond>();
        return beyond->insert(type).second;
    }
    // Removes a type; the number removed (0 or 1).
    std::size_t erase(std::int32_t type)
    {
        if (InMask(type))
        {
            const bool present = (mask & Bit(type)) != 0;
            mask &= ~Bit(type);
            return present ? 1 : 0;
        }
        return beyond ? beyond->erase(type) : 0;
    }
    bool contains(std::int32_t type) const
    {
        if (InMask(type))
            return (mask & Bit(type)) != 0;
        return beyond && beyond->count(type) != 0;
    }
    std::size_t count(std::int32_t type) const { return contains(type) ? 1 : 0; }
    std::size_t size() const { return static_cast<std::size_t>(std::popcount(mask)) + (beyond ? beyond->size() : 0); }
    bool empty() const { return mask == 0 && (!beyond || beyond->empty()); }
    void clear()
    {
        mask = 0;
        beyond.reset();
    }

    const_iterator begin() const
    {
        return beyond ? const_iterator(mask, beyond->begin(), beyond->end())
                      : const_iterator(mask, NoBeyond().begin(), NoBeyond().end());
    }
    const_iterator end() const
    {
        return beyond ? const_iterator(0, beyond->end(), beyond->end())
                      : const_iterator(0, NoBeyond().end(), NoBeyond().end());
    }

    // The types as an ordered set, as callers and tests compare them.
    operator std::set<std::int32_t>() const { return {begin(), end()}; }
    bool operator==(const EventTypeSet& other) const
    {
        return size() == other.size() && std::equal(begin(), end(), other.begin());
    }
    bool operator==(const std::set<std::int32_t>& types) const
    {
        return size() == types.size() && std::equal(types.begin(), types.end(), begin());
    }

  private:
    static bool InMask(std::int32_t type) { return type >= 0 && type < kMaskBits; }
    static std::uint32_t Bit(std::int32_t type) { return std::uint32_t{1} << type; }
    static const Beyond& NoBeyond()
    {
        static const Beyond none;
        return none;
    }

    std::uint32_t mask = 0;
    std::unique_ptr<Beyond> beyond;
};
