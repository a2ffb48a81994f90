#pragma once
// COroLocStringIndex: the index a COroLocStringInternal keeps beside its
// packed entries once it holds more than a handful of them. It lists the
// entries' positions in insertion order (so the i-th entry is one step away)
// and finds an entry's ordinal by its id through an open-addressing hash
// table of ordinals, so that a value of many entries is read, searched and
// listed in time linear in its entries.

#include <cstddef>
#include <cstdint>
#include <vector>

class COroLocStringIndex {
public:
    static constexpr uint32_t kNotFound = UINT32_MAX;

    uint32_t GetCount() const { return static_cast<uint32_t>(m_Entries.size()); }
    size_t PositionOf(uint32_t nOrdinal) const { return m_Entries[nOrdinal].nPos; }
    void SetPosition(uint32_t nOrdinal, size_t nPos) { m_Entries[nOrdinal].nPos = nPos; }

    // The ordinal of the entry with the id, or kNotFound.
    uint32_t Find(int32_t nId) const;
    // Adds an entry whose id no listed entry has, at the end of the order.
    void Add(int32_t nId, size_t nPos);
    void Reserve(size_t nEntries) { m_Entries.reserve(nEntries); }

private:
    struct Entry {
        size_t nPos;
        int32_t nId;
    };

    static size_t Hash(int32_t nId);
    void Insert(int32_t nId, uint32_t nOrdinal);
    void Rehash(size_t nSlots);

    // In insertion order.
    std::vector<Entry> m_Entries;
    // Ordinal + 1 of an entry, 0 for an empty slot. The size is a power of
    // two and at most half the slots are used, so every probe ends.
    std::vector<uint32_t> m_Slots;
};
