#pragma once
// Lookup of a label in the label table as the writer's backward search finds
// it: the last entry equal in all 16 bytes. The table only grows at its end,
// so the index catches up with new entries on each lookup.

#include <cstdint>
#include <unordered_map>

#include "kvtlabelkey.h"

class CKvtLabelTableIndex {
public:
    // Index of the last of the first nCount 16-byte labels equal to the key, or -1.
    int32_t FindLast(const void* pLabels, uint32_t nCount, const KvtLabelKey& key);
    void Clear();

private:
    std::unordered_map<KvtLabelKey, uint32_t, KvtLabelKeyHash> m_Last;
    uint32_t m_nIndexed = 0;
};
