#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

// An object's family: entry 0 is the parent's id, the entries after it the children's. Used like a
// vector of ids; up to four ids live inside the object itself, so most objects own no heap block for it.
class FamilyList
{
  public:
    using value_type = std::uint32_t;
    using size_type = std::size_t;
    using iterator = std::uint32_t*;
    using const_iterator = const std::uint32_t*;
    static constexpr std::uint32_t kInlineIds = 4;

    FamilyList() = default;
    FamilyList(std::initializer_list<std::uint32_t> ids) { Assign(ids.begin(), ids.size()); }
    FamilyList(const FamilyList& other) { Assign(other.data(), other.size()); }
    FamilyList(FamilyList&& other) noexcept { TakeFrom(other); }
    ~FamilyList() { Release(); }
    FamilyList& operator=(const FamilyList& other)
    {
        if (this != &other)
            Assign(other.data(), other.size());
        return *this;
    }
    FamilyList& operator=(FamilyList&& other) noexcept
    {
        if (this != &other)
        {
            Release();
            TakeFrom(other);
        }
        return *this;
    }
    FamilyList& operator=(std::initializer_list<std::uint32_t> ids)
    {
        Assign(ids.begin(), ids.size());
        return *this;
    }
    FamilyList& operator=(const std::vector<std::uint32_t>& ids)
    {
        Assign(ids.data(), ids.size());
        return *this;
    }

    std::size_t size() const { return length; }
    bool empty() const { return length == 0; }
    std::uint32_t* data() { return OnHeap() ? heapIds : inlineIds; }
    const std::uint32_t* data() const { return OnHeap() ? heapIds : inlineIds; }
    std::uint32_t& operator[](std::size_t index) { return data()[index]; }
    const std::uint32_t& operator[](std::size_t index) const { return data()[index]; }
    std::uint32_t& front() { return data()[0]; }
    const std::uint32_t& front() const { return data()[0]; }
    iterator begin() { return data(); }
    iterator end() { return data() + length; }
    const_iterator begin() const { return data(); }
    const_iterator end() const { return data() + length; }

    void push_back(std::uint32_t id)
    {
        if (length == capacity)
            Reserve(capacity * 2);
        data()[length++] = id;
    }
    // The ids as a vector (the file writer's form).
    std::vector<std::uint32_t> ToVector() const { return std::vector<std::uint32_t>(begin(), end()); }

    friend bool operator==(const FamilyList& family, const std::vector<std::uint32_t>& ids)
    {
        return std::equal(family.begin(), family.end(), ids.begin(), ids.end());
    }
    friend bool operator==(const FamilyList& first, const FamilyList& second)
    {
        return std::equal(first.begin(), first.end(), second.begin(), second.end());
    }

  private:
    bool OnHeap() const { return capacity > kInlineIds; }
    void Assign(const std::uint32_t* ids, std::size_t count)
    {
        if (count > capacity)
            Reserve(static_cast<std::uint32_t>(count));
        if (count != 0)
            std::memmove(data(), ids, count * sizeof(std::uint32_t));
        length = static_cast<std::uint32_t>(count);
    }
    void Reserve(std::uint32_t wanted)
    {
        auto* grown = new std::uint32_t[wanted];
        if (length != 0)
            std::memcpy(grown, data(), length * sizeof(std::uint32_t));
        Release();
        heapIds = grown;
        capacity = wanted;
    }
    void Release()
    {
        if (OnHeap())
            delete[] heapIds;
        capacity = kInlineIds;
    }
    void TakeFrom(FamilyList& other)
    {
        length = other.length;
        capacity = other.capacity;
        if (other.OnHeap())
            heapIds = other.heapIds;
        else
            std::memcpy(inlineIds, other.inlineIds, sizeof(inlineIds));
        other.length = 0;
        other.capacity = kInlineIds;
    }

    std::uint32_t length = 0;
    std::uint32_t capacity = kInlineIds;
    union
    {
        std::uint32_t inlineIds[kInlineIds] = {};
        std::uint32_t* heapIds;
    };
};
