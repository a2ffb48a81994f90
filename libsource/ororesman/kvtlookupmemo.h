#pragma once
// The latest lookup by label in each of a few struct slots. Reading one field
// looks its label up several times in a row (its type, its value, a list's
// count and every element), so remembering the answer per struct saves the
// search. The owner forgets everything whenever a table changes; between
// changes a lookup's answer cannot change, nor the field record it names.

#include <cstdint>

#include "kvtlabelkey.h"

class CKvtLookupMemo {
public:
    // A field record number that stands for "the answer resolves to no field".
    static constexpr uint32_t kNoField = UINT32_MAX;

    bool Get(uint32_t nStruct, const KvtLabelKey& key, int32_t& nIndex) const
    {
        const Slot* pSlot = Find(nStruct, key);
        if (pSlot == nullptr)
            return false;
        nIndex = pSlot->nIndex;
        return true;
    }

    // The field record the answer was resolved to, once NoteField has told it.
    bool GetField(uint32_t nStruct, const KvtLabelKey& key, uint32_t& nField) const
    {
        const Slot* pSlot = Find(nStruct, key);
        if (pSlot == nullptr || !pSlot->bFieldKnown)
            return false;
        nField = pSlot->nField;
        return true;
    }

    void Put(uint32_t nStruct, const KvtLabelKey& key, int32_t nIndex)
    {
        // Member by member: a whole slot built on the stack first and then
        // copied costs a stalled store-to-load forward on every lookup.
        Slot& slot = m_Slots[nStruct % kSlots];
        slot.nStruct = nStruct;
        slot.nGeneration = m_nGeneration;
        slot.key = key;
        slot.nIndex = nIndex;
        slot.bFieldKnown = false;
    }

    // Adds the field record (or kNoField) to the remembered answer for the
    // key; reading the value after the type then needs no resolving either.
    void NoteField(uint32_t nStruct, const KvtLabelKey& key, uint32_t nField)
    {
        Slot& slot = m_Slots[nStruct % kSlots];
        if (slot.nGeneration == m_nGeneration && slot.nStruct == nStruct && slot.key == key) {
            slot.nField = nField;
            slot.bFieldKnown = true;
        }
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
        uint32_t nField = 0;
        bool bFieldKnown = false;
    };

    const Slot* Find(uint32_t nStruct, const KvtLabelKey& key) const
    {
        const Slot& slot = m_Slots[nStruct % kSlots];
        if (slot.nGeneration != m_nGeneration || slot.nStruct != nStruct || !(slot.key == key))
            return nullptr;
        return &slot;
    }

    Slot m_Slots[kSlots];
    uint32_t m_nGeneration = 1;
};
