#pragma once
#include <cstdint>
#include <vector>

// The candidate pairs of one collision step: unique, ordered by first id, then second id. Pairs are
// gathered as 64-bit keys and sorted once, which beats a node-based set at every crowd size.
class PairSet
{
  public:
    // Gathers one pair; the same pair may be added again (it is found in several leaves).
    void Add(std::uint32_t first, std::uint32_t second);
    // Sorts the gathered pairs and drops the repeats; call once before walking Keys().
    void Seal();
    // Forgets every pair but keeps the memory for the next step.
    void Clear();

    // The pairs, in order once sealed.
    const std::vector<std::uint64_t>& Keys() const { return keys; }
    // How many times Add was called since the last Clear.
    std::size_t RawInsertions() const { return rawInsertions; }

    static std::uint32_t FirstOf(std::uint64_t key) { return static_cast<std::uint32_t>(key >> 32); }
    static std::uint32_t SecondOf(std::uint64_t key) { return static_cast<std::uint32_t>(key & 0xFFFFFFFFu); }

  private:
    std::vector<std::uint64_t> keys;
    std::size_t rawInsertions = 0;
};
