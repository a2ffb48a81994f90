#pragma once
// Lookup of a label in the label table as the writer's backward search finds
// it: the last entry equal in all 16 bytes. The table only grows at its end,
// so the index catches up with new entries on each lookup.
//
// An open-addressing table of (hash tag, label index + 1) slots: an entry is
// compared by its bytes in the label table itself, which may have moved
// since, so the index holds no pointers into it.

#include <cstdint>
#include <vector>

#include "kvtlabelkey.h"

class CKvtLabelTableIndex {
public:
    // Index of the last of the first nCount 16-byte labels equal to the key, or -1.
    int32_t FindLast(const void* pLabels, uint32_t nCount, const KvtLabelKey& key);
    void Clear();

private:
    // The slot holding the label equal to key, or the empty slot where it goes.
    size_t SlotOf(const uint8_t* pLabels, const KvtLabelKey& key, uint32_t nTag) const;
    void Grow();

    std::vector<uint64_t> m_Slots;
    uint64_t m_nUsed = 0;
    uint32_t m_nIndexed = 0;
};
