#pragma once
#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <set>
#include <vector>

// A set of object ids as one bit per id (ids are small and reused), iterated in ascending order. Adding
// and removing are constant time; every change bumps a version, so a sorted list of the ids can be kept
// and rebuilt only when the set changed (ObjectIdList).
class ObjectIdSet
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
        // At the first member at or after bit `firstBit` of word `word`.
        const_iterator(const std::vector<std::uint64_t>* words, std::size_t word, unsigned firstBit = 0)
            : words(words), word(word)
        {
            if (words != nullptr && word < words->size())
                bitsLeft = (*words)[word] & (~std::uint64_t{0} << firstBit);
            SkipEmptyWords();
        }
        std::uint32_t operator*() const
        {
            return static_cast<std::uint32_t>(word * 64 + static_cast<std::size_t>(std::countr_zero(bitsLeft)));
        }
        const_iterator& operator++()
        {
            bitsLeft &= bitsLeft - 1;
            SkipEmptyWords();
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
            return word == other.word && bitsLeft == other.bitsLeft;
        }

      private:
        void SkipEmptyWords()
        {
            while (bitsLeft == 0 && words != nullptr && word < words->size())
            {
                ++word;
                bitsLeft = word < words->size() ? (*words)[word] : 0;
            }
        }

        const std::vector<std::uint64_t>* words = nullptr;
        std::size_t word = 0;
        std::uint64_t bitsLeft = 0;
    };
    using iterator = const_iterator;

    // Adds an id; true when it was not there yet.
    bool insert(std::uint32_t id)
    {
        const std::size_t word = id / 64;
        if (word >= words.size())
            words.resize(word + 1, 0);
        const std::uint64_t bit = std::uint64_t{1} << (id % 64);
        if ((words[word] & bit) != 0)
            return false;
        words[word] |= bit;
        ++memberCount;
        version = ++changes;
        return true;
    }
    // Removes an id; the number removed (0 or 1).
    std::size_t erase(std::uint32_t id)
    {
        if (!contains(id))
            return 0;
        words[id / 64] &= ~(std::uint64_t{1} << (id % 64));
        --memberCount;
        version = ++changes;
        return 1;
    }
    bool contains(std::uint32_t id) const
    {
        const std::size_t word = id / 64;
        return word < words.size() && (words[word] & (std::uint64_t{1} << (id % 64))) != 0;
    }
    std::size_t count(std::uint32_t id) const { return contains(id) ? 1 : 0; }
    std::size_t size() const { return memberCount; }
    bool empty() const { return memberCount == 0; }
    void clear()
    {
        words.clear();
        memberCount = 0;
        version = ++changes;
    }
    // Stamped from one process-wide count of changes, so equal versions mean equal contents, copies included.
    std::uint64_t Version() const { return version; }

    const_iterator begin() const { return const_iterator(&words, 0); }
    const_iterator end() const { return const_iterator(&words, words.size()); }
    // At the first member not below id.
    const_iterator From(std::uint32_t id) const
    {
        return id / 64 < words.size() ? const_iterator(&words, id / 64, id % 64) : end();
    }

    // The ids as an ordered set (tests and tools compare against one).
    operator std::set<std::uint32_t>() const { return {begin(), end()}; }
    bool operator==(const std::set<std::uint32_t>& ids) const
    {
        return size() == ids.size() && std::equal(ids.begin(), ids.end(), begin());
    }
    bool operator==(const ObjectIdSet& other) const
    {
        return size() == other.size() && std::equal(begin(), end(), other.begin());
    }

  private:
    std::vector<std::uint64_t> words;
    std::size_t memberCount = 0;
    std::uint64_t version = 0;
    static inline std::uint64_t changes = 0;
};

// The ids of an ObjectIdSet as a sorted list, kept between walks and rebuilt only after the set changed.
// A walk holds the list it started with: changes made during the walk go to a new list, so the walk
// visits exactly the ids that were members when it began.
class ObjectIdList
{
  public:
    using List = std::vector<std::uint32_t>;

    // The current list of `ids`; the same list is handed out again while the set stays unchanged.
    std::shared_ptr<const List> Of(const ObjectIdSet& ids)
    {
        if (list && builtVersion == ids.Version())
            return list;
        // Reuse the storage unless a walk still holds the old list.
        if (!list || list.use_count() > 1)
            list = std::make_shared<List>();
        list->assign(ids.begin(), ids.end());
        builtVersion = ids.Version();
        return list;
    }

  private:
    std::shared_ptr<List> list;
    std::uint64_t builtVersion = 0;
};
