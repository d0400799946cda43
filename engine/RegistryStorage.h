#pragma once
#include "ObjectIdSet.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

// One object's instances by type id: a fixed slot per type id the classes use, so a lookup is one
// indexing. Iteration goes by ascending type id over the entries that exist; an entry may exist and hold
// null (a failed load). Ids beyond the slots (never handed out by a class) go to a side map.
template <typename T, std::size_t SlotCount> class TypeSlots
{
  public:
    // An entry: first is the type id, second the owned instance (may be null).
    struct Entry
    {
        std::uint32_t first = 0;
        std::unique_ptr<T> second;
    };
    using value_type = Entry;
    using size_type = std::size_t;
    using instance_type = std::unique_ptr<T>;

    template <typename Slots, typename EntryRef> class Iterator
    {
      public:
        using value_type = Entry;
        using difference_type = std::ptrdiff_t;
        using reference = EntryRef&;
        using pointer = EntryRef*;
        using iterator_category = std::forward_iterator_tag;

        Iterator() = default;
        Iterator(Slots* slots, std::uint32_t maskLeft, std::uint32_t beyondKey, bool atEnd)
            : slots(slots), maskLeft(maskLeft), beyondKey(beyondKey), atEnd(atEnd)
        {
        }
        reference operator*() const
        {
            if (maskLeft != 0)
                return slots->entries[static_cast<std::size_t>(std::countr_zero(maskLeft))];
            return slots->beyond->at(beyondKey);
        }
        pointer operator->() const { return &**this; }
        Iterator& operator++()
        {
            if (maskLeft != 0)
            {
                maskLeft &= maskLeft - 1;
                if (maskLeft == 0)
                    FirstBeyond(0, false);
                return *this;
            }
            FirstBeyond(beyondKey, true);
            return *this;
        }
        bool operator==(const Iterator& other) const
        {
            return maskLeft == other.maskLeft && atEnd == other.atEnd && (atEnd || beyondKey == other.beyondKey);
        }
        // Positions on the first side-map entry at or after `key` (after it when `past`).
        void FirstBeyond(std::uint32_t key, bool past)
        {
            atEnd = true;
            if (!slots->beyond)
                return;
            auto next = past ? slots->beyond->upper_bound(key) : slots->beyond->lower_bound(key);
            if (next == slots->beyond->end())
                return;
            beyondKey = next->first;
            atEnd = false;
        }

      private:
        Slots* slots = nullptr;
        std::uint32_t maskLeft = 0;
        std::uint32_t beyondKey = 0;
        bool atEnd = true;
    };
    using iterator = Iterator<TypeSlots, Entry>;
    using const_iterator = Iterator<const TypeSlots, const Entry>;

    TypeSlots()
    {
        for (std::size_t i = 0; i < SlotCount; ++i)
            entries[i].first = static_cast<std::uint32_t>(i);
    }
    TypeSlots(TypeSlots&&) noexcept = default;
    TypeSlots& operator=(TypeSlots&&) noexcept = default;
    // From an ordered map (a staged level's entries).
    explicit TypeSlots(std::map<std::uint32_t, std::unique_ptr<T>>&& instances) : TypeSlots()
    {
        for (auto& [typeId, instance] : instances)
            (*this)[typeId] = std::move(instance);
    }

    // The instance of a type, null when there is no entry or it holds null.
    T* Get(std::uint32_t typeId) const
    {
        if (typeId < SlotCount)
            return entries[typeId].second.get();
        if (!beyond)
            return nullptr;
        const auto found = beyond->find(typeId);
        return found == beyond->end() ? nullptr : found->second.second.get();
    }

    std::size_t count(std::uint32_t typeId) const
    {
        if (typeId < SlotCount)
            return (present & (std::uint32_t{1} << typeId)) != 0 ? 1 : 0;
        return beyond ? beyond->count(typeId) : 0;
    }
    std::size_t size() const { return static_cast<std::size_t>(std::popcount(present)) + (beyond ? beyond->size() : 0); }
    bool empty() const { return size() == 0; }

    // The entry of a type, made (holding null) when absent.
    std::unique_ptr<T>& operator[](std::uint32_t typeId) { return Make(typeId).second; }
    std::unique_ptr<T>& at(std::uint32_t typeId)
    {
        if (count(typeId) == 0)
            throw std::out_of_range("no entry for type id " + std::to_string(typeId));
        return Make(typeId).second;
    }
    const std::unique_ptr<T>& at(std::uint32_t typeId) const { return const_cast<TypeSlots&>(*this).at(typeId); }
    // Stores the instance when the type has no entry yet; the entry and whether it was stored.
    template <typename Instance> std::pair<iterator, bool> emplace(std::uint32_t typeId, Instance&& instance)
    {
        if (count(typeId) != 0)
            return {find(typeId), false};
        Make(typeId).second = std::forward<Instance>(instance);
        return {find(typeId), true};
    }
    // Removes the entry of a type (deleting what it holds); the number removed.
    std::size_t erase(std::uint32_t typeId)
    {
        if (count(typeId) == 0)
            return 0;
        if (typeId < SlotCount)
        {
            auto doomed = std::move(entries[typeId].second);
            present &= ~(std::uint32_t{1} << typeId);
            return 1;
        }
        auto doomed = std::move(beyond->at(typeId).second);
        beyond->erase(typeId);
        return 1;
    }
    void erase(iterator position) { erase(position->first); }
    // Moves every instance out, in ascending type id, and leaves no entry.
    template <typename Instances> void MoveInstancesTo(Instances& out)
    {
        for (std::uint32_t maskLeft = present; maskLeft != 0; maskLeft &= maskLeft - 1)
            out.push_back(std::move(entries[static_cast<std::size_t>(std::countr_zero(maskLeft))].second));
        present = 0;
        if (beyond)
        {
            for (auto& [typeId, entry] : *beyond)
                out.push_back(std::move(entry.second));
            beyond.reset();
        }
    }
    void clear()
    {
        while (!empty())
            erase(begin()->first);
    }

    iterator find(std::uint32_t typeId) { return count(typeId) ? At<iterator>(*this, typeId) : end(); }
    const_iterator find(std::uint32_t typeId) const
    {
        return count(typeId) ? At<const_iterator>(*this, typeId) : end();
    }
    iterator begin() { return Begin<iterator>(*this); }
    iterator end() { return iterator(this, 0, 0, true); }
    const_iterator begin() const { return Begin<const_iterator>(*this); }
    const_iterator end() const { return const_iterator(this, 0, 0, true); }

  private:
    template <typename, typename> friend class Iterator;

    Entry& Make(std::uint32_t typeId)
    {
        if (typeId < SlotCount)
        {
            present |= std::uint32_t{1} << typeId;
            return entries[typeId];
        }
        if (!beyond)
            beyond = std::make_unique<std::map<std::uint32_t, Entry>>();
        Entry& entry = (*beyond)[typeId];
        entry.first = typeId;
        return entry;
    }
    template <typename It, typename Self> static It Begin(Self& self)
    {
        It it(&self, self.present, 0, true);
        if (self.present == 0)
            it.FirstBeyond(0, false);
        return it;
    }
    template <typename It, typename Self> static It At(Self& self, std::uint32_t typeId)
    {
        if (typeId < SlotCount)
        {
            const std::uint32_t fromHere = self.present & ~((std::uint32_t{1} << typeId) - 1);
            return It(&self, fromHere, 0, true);
        }
        return It(&self, 0, typeId, false);
    }

    std::array<Entry, SlotCount> entries;
    std::uint32_t present = 0;
    std::unique_ptr<std::map<std::uint32_t, Entry>> beyond;
};

// Every object's entry, indexed by object id (ids are small and reused, so the table is dense), iterated
// in ascending object id over the entries that exist. References to an entry stay valid only until the
// next entry is made: hold ids, not references, across calls that may add objects.
template <typename Slots> class ObjectTable
{
  public:
    struct Entry
    {
        std::uint32_t first = 0;
        Slots second;
    };
    using value_type = Entry;
    using size_type = std::size_t;
    using slots_type = Slots;

    template <typename Table, typename EntryRef> class Iterator
    {
      public:
        using value_type = Entry;
        using difference_type = std::ptrdiff_t;
        using reference = EntryRef&;
        using pointer = EntryRef*;
        using iterator_category = std::forward_iterator_tag;

        Iterator() = default;
        Iterator(Table* table, ObjectIdSet::const_iterator at) : table(table), at(at) {}
        reference operator*() const { return table->entries[*at]; }
        pointer operator->() const { return &table->entries[*at]; }
        Iterator& operator++()
        {
            ++at;
            return *this;
        }
        bool operator==(const Iterator& other) const { return at == other.at; }

      private:
        Table* table = nullptr;
        ObjectIdSet::const_iterator at;
    };
    using iterator = Iterator<ObjectTable, Entry>;
    using const_iterator = Iterator<const ObjectTable, const Entry>;

    ObjectTable() = default;
    ObjectTable(ObjectTable&&) noexcept = default;
    ObjectTable& operator=(ObjectTable&&) noexcept = default;

    // The entry of an object, or null; two indexings.
    Slots* Find(std::uint32_t objectId)
    {
        return objectIds.contains(objectId) ? &entries[objectId].second : nullptr;
    }
    const Slots* Find(std::uint32_t objectId) const
    {
        return objectIds.contains(objectId) ? &entries[objectId].second : nullptr;
    }

    std::size_t count(std::uint32_t objectId) const { return objectIds.count(objectId); }
    std::size_t size() const { return objectIds.size(); }
    bool empty() const { return objectIds.empty(); }
    // The ids that have an entry, ascending; its version changes whenever an entry is made or erased.
    const ObjectIdSet& ObjectIds() const { return objectIds; }

    // The entry of an object, made empty when absent.
    Slots& operator[](std::uint32_t objectId)
    {
        if (objectId >= entries.size())
            Grow(objectId);
        if (objectIds.insert(objectId))
            entries[objectId].first = objectId;
        return entries[objectId].second;
    }
    Slots& at(std::uint32_t objectId)
    {
        if (!objectIds.contains(objectId))
            throw std::out_of_range("no entry for object " + std::to_string(objectId));
        return entries[objectId].second;
    }
    const Slots& at(std::uint32_t objectId) const { return const_cast<ObjectTable&>(*this).at(objectId); }
    // Takes an object's entry out (its instances go with the returned value) and erases it.
    Slots Take(std::uint32_t objectId)
    {
        if (!objectIds.contains(objectId))
            return Slots();
        Slots taken = std::move(entries[objectId].second);
        entries[objectId].second = Slots();
        objectIds.erase(objectId);
        return taken;
    }
    // Takes every instance out, in ascending object id then type id, and empties the table (keeping its
    // storage, so a table refilled to the same size allocates nothing).
    template <typename Instances> void MoveAllInstancesTo(Instances& out)
    {
        // One pass over the entries: a large world's entries are not all in cache, and the caller keeps
        // the list's storage from the last clear.
        for (std::uint32_t objectId : objectIds)
            entries[objectId].second.MoveInstancesTo(out);
        objectIds.clear();
    }
    std::size_t erase(std::uint32_t objectId)
    {
        if (!objectIds.contains(objectId))
            return 0;
        Take(objectId);
        return 1;
    }

    iterator find(std::uint32_t objectId)
    {
        return objectIds.contains(objectId) ? iterator(this, IdAt(objectId)) : end();
    }
    const_iterator find(std::uint32_t objectId) const
    {
        return objectIds.contains(objectId) ? const_iterator(this, IdAt(objectId)) : end();
    }
    iterator begin() { return iterator(this, objectIds.begin()); }
    iterator end() { return iterator(this, objectIds.end()); }
    const_iterator begin() const { return const_iterator(this, objectIds.begin()); }
    const_iterator end() const { return const_iterator(this, objectIds.end()); }

  private:
    void Grow(std::uint32_t objectId)
    {
        // Doubling keeps a growing world's cost per object flat.
        std::size_t length = std::max<std::size_t>(entries.size() * 2, 64);
        while (length <= objectId)
            length *= 2;
        entries.resize(length);
    }
    ObjectIdSet::const_iterator IdAt(std::uint32_t objectId) const { return objectIds.From(objectId); }

    std::vector<Entry> entries;
    ObjectIdSet objectIds;
};
