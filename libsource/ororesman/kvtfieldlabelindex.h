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

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "kvtlabelkey.h"

class CKvtFieldLabelIndex {
public:
    // Probe(nField) gives a pointer to the 16 label bytes of field nField of the
    // struct, or null when the linear scan would stop at that field.
    template <typename Probe> int32_t Find(uint32_t nStruct, uint32_t nFieldCount, const KvtLabelKey& key, Probe probe);

    // Call after the tables grew: stopped scans may now go further.
    void ForgetStopped();
    void Clear();

private:
    struct Entry {
        std::unordered_map<KvtLabelKey, int32_t, KvtLabelKeyHash> first;
        uint32_t scanned = 0;
        bool stopped = false;
    };

    Entry& EntryFor(uint32_t nStruct);

    std::unordered_map<uint32_t, std::unique_ptr<Entry>> m_Entries;
    std::vector<uint32_t> m_Stopped;
};

template <typename Probe>
int32_t CKvtFieldLabelIndex::Find(uint32_t nStruct, uint32_t nFieldCount, const KvtLabelKey& key, Probe probe)
{
    Entry& entry = EntryFor(nStruct);
    auto found = entry.first.find(key);
    if (found != entry.first.end())
        return found->second;
    if (entry.stopped)
        return -1;
    while (entry.scanned < nFieldCount) {
        const uint32_t nField = entry.scanned;
        const void* pLabel = probe(nField);
        if (pLabel == nullptr) {
            entry.stopped = true;
            m_Stopped.push_back(nStruct);
            return -1;
        }
        const KvtLabelKey fieldKey = KvtLabelKey::FromBytes(pLabel);
        entry.first.try_emplace(fieldKey, static_cast<int32_t>(nField));
        entry.scanned = nField + 1;
        if (fieldKey == key)
            return static_cast<int32_t>(nField);
    }
    return -1;
}
