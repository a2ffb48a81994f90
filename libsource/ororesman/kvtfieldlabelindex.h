#pragma once
// Lookup of a struct's first field with a given label, for structs with many
// fields. It answers exactly what the linear scan from field 0 answers (first
// match; the scan stops at the first field that does not resolve or names a
// label outside the table) but remembers what it has scanned, so reading every
// field of a wide struct by label costs linear time in total.
//
// The scan is extended lazily: a lookup first consults the fields seen so far
// and only then resolves further fields. Fields are only ever appended, so a
// scanned prefix stays valid; a scan that stopped at an unresolvable field may
// resolve further after the tables grow, so such entries are forgotten then.
//
// Each struct's fields seen so far sit in an open-addressing table of its
// own: slots of (hash tag, field position + 1), all tables in one shared pool,
// so indexing a struct costs no allocation of its own. Labels are compared
// by fetching them again through the probe, which keeps the index valid while
// the label table itself moves.
//
// A reader that is done with a struct may release its table: the slots go
// back to the pool for the next struct's table, so a walk that reads struct
// after struct keeps the pool as small as the structs it is reading at once
// (and in cache) instead of growing it by every struct of the file. A later
// lookup in a released struct simply indexes it again.

#include <cstdint>
#include <vector>

#include "kvtlabelkey.h"

class CKvtFieldLabelIndex {
public:
    // Probe(nField) gives a pointer to the 16 label bytes of field nField of the
    // struct, or null when the linear scan would stop at that field.
    template <typename Probe> int32_t Find(uint32_t nStruct, uint32_t nFieldCount, const KvtLabelKey& key, Probe probe);

    // Call after the tables grew: stopped scans may now go further.
    void ForgetStopped();
    // Gives the struct's table back to the pool; lookups stay exact.
    void Release(uint32_t nStruct);
    void Clear();

private:
    struct Entry {
        uint64_t nOffset = 0; // first slot of the table in the pool
        uint32_t nMask = 0;   // slots - 1; 0 while the struct has no table
        uint32_t nScanned = 0;
        uint32_t nUsed = 0;
        bool bStopped = false;
    };

    // 32 bits of the label's hash: the slot it starts probing at, and a tag
    // that spares most label comparisons.
    static uint32_t Tag(const KvtLabelKey& key) { return static_cast<uint32_t>(KvtLabelKeyHash{}(key) >> 32); }
    Entry& EntryFor(uint32_t nStruct);
    // The position of the first field with the key among those in the table, or -1.
    template <typename Probe>
    int32_t Lookup(const Entry& entry, uint32_t nTag, const KvtLabelKey& key, Probe& probe) const;
    // Adds a field (the first of its label), growing the table when needed.
    void Insert(Entry& entry, uint32_t nTag, uint32_t nField, uint32_t nFieldCount);
    // Gives the table twice the slots (or its first slots) in a new place.
    void Grow(Entry& entry, uint32_t nFieldCount);
    // First slot of nSlots zeroed slots (a power of two): a released table of
    // that size when there is one, else new slots at the end of the pool.
    uint64_t TakeSlots(uint64_t nSlots);
    // Returns a table's slots to the pool for reuse.
    void GiveBackSlots(uint64_t nOffset, uint64_t nSlots);
    void CompactPool();

    static constexpr uint32_t kSizeClasses = 64;

    std::vector<Entry> m_Entries; // by struct index
    std::vector<uint64_t> m_Slots;
    uint64_t m_nLiveSlots = 0;
    std::vector<uint32_t> m_Stopped;
    // Offsets of released tables, by log2 of their slot count.
    std::vector<uint64_t> m_FreeTables[kSizeClasses];
};

template <typename Probe>
int32_t CKvtFieldLabelIndex::Lookup(const Entry& entry, uint32_t nTag, const KvtLabelKey& key, Probe& probe) const
{
    if (entry.nMask == 0)
        return -1;
    for (uint32_t i = nTag & entry.nMask;; i = (i + 1) & entry.nMask) {
        const uint64_t nSlot = m_Slots[static_cast<size_t>(entry.nOffset) + i];
        if (nSlot == 0)
            return -1;
        if (static_cast<uint32_t>(nSlot >> 32) != nTag)
            continue;
        const uint32_t nField = static_cast<uint32_t>(nSlot) - 1;
        const void* pLabel = probe(nField);
        if (pLabel != nullptr && KvtLabelKey::FromBytes(pLabel) == key)
            return static_cast<int32_t>(nField);
    }
}

template <typename Probe>
int32_t CKvtFieldLabelIndex::Find(uint32_t nStruct, uint32_t nFieldCount, const KvtLabelKey& key, Probe probe)
{
    Entry& entry = EntryFor(nStruct);
    const uint32_t nTag = Tag(key);
    // The fields seen so far: the first of each label is in the table.
    const int32_t nKnown = Lookup(entry, nTag, key, probe);
    if (nKnown >= 0 || entry.bStopped)
        return nKnown;
    while (entry.nScanned < nFieldCount) {
        const uint32_t nField = entry.nScanned;
        const void* pLabel = probe(nField);
        if (pLabel == nullptr) {
            entry.bStopped = true;
            m_Stopped.push_back(nStruct);
            return -1;
        }
        const KvtLabelKey fieldKey = KvtLabelKey::FromBytes(pLabel);
        entry.nScanned = nField + 1;
        const bool bMatch = fieldKey == key;
        // Only the first field of each label goes into the table; the key
        // itself is known not to be there yet.
        const uint32_t nFieldTag = bMatch ? nTag : Tag(fieldKey);
        if (bMatch || Lookup(entry, nFieldTag, fieldKey, probe) < 0)
            Insert(entry, nFieldTag, nField, nFieldCount);
        if (bMatch)
            return static_cast<int32_t>(nField);
    }
    return -1;
}
