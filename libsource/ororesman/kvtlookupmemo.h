#pragma once
// The latest lookup by label in each of a few struct slots. Reading one field
// looks its label up several times in a row (its type, its value, a list's
// count and every element), so remembering the answer per struct saves the
// search. The owner forgets everything whenever a table changes; between
// changes a lookup's answer cannot change.

#include <cstdint>

#include "kvtlabelkey.h"

class CKvtLookupMemo {
public:
    bool Get(uint32_t nStruct, const KvtLabelKey& key, int32_t& nIndex) const
    {
        const Slot& slot = m_Slots[nStruct % kSlots];
        if (slot.nGeneration != m_nGeneration || slot.nStruct != nStruct || !(slot.key == key))
            return false;
        nIndex = slot.nIndex;
        return true;
    }

    void Put(uint32_t nStruct, const KvtLabelKey& key, int32_t nIndex)
    {
        m_Slots[nStruct % kSlots] = Slot{nStruct, m_nGeneration, key, nIndex};
    }

    void Forget()
    {
        // A new generation makes every slot stale at once; after the count
        // wraps the slots are cleared for real.
        if (++m_nGeneration == 0) {
            for (Slot& slot : m_Slots)
                slot = Slot{};
            m_nGeneration = 1;
        }
    }

private:
    static constexpr uint32_t kSlots = 64;
    struct Slot {
        uint32_t nStruct = 0;
        uint32_t nGeneration = 0;
        KvtLabelKey key{};
        int32_t nIndex = -1;
    };

    Slot m_Slots[kSlots];
    uint32_t m_nGeneration = 1;
};
