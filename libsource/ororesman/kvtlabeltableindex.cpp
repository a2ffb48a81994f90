#include "kvtlabeltableindex.h"

namespace {

constexpr size_t kFirstSlots = 256;

uint32_t TagOf(const KvtLabelKey& key)
{
    return static_cast<uint32_t>(KvtLabelKeyHash{}(key) >> 32);
}

} // namespace

size_t CKvtLabelTableIndex::SlotOf(const uint8_t* pLabels, const KvtLabelKey& key, uint32_t nTag) const
{
    const size_t nMask = m_Slots.size() - 1;
    for (size_t i = nTag & nMask;; i = (i + 1) & nMask) {
        const uint64_t nSlot = m_Slots[i];
        if (nSlot == 0)
            return i;
        if (static_cast<uint32_t>(nSlot >> 32) != nTag)
            continue;
        const uint32_t nLabel = static_cast<uint32_t>(nSlot) - 1;
        if (KvtLabelKey::FromBytes(pLabels + static_cast<size_t>(nLabel) * 16) == key)
            return i;
    }
}

void CKvtLabelTableIndex::Grow()
{
    std::vector<uint64_t> old;
    old.swap(m_Slots);
    m_Slots.assign(old.empty() ? kFirstSlots : old.size() * 2, 0);
    const size_t nMask = m_Slots.size() - 1;
    for (uint64_t nSlot : old) {
        if (nSlot == 0)
            continue;
        size_t i = static_cast<uint32_t>(nSlot >> 32) & nMask;
        while (m_Slots[i] != 0)
            i = (i + 1) & nMask;
        m_Slots[i] = nSlot;
    }
}

int32_t CKvtLabelTableIndex::FindLast(const void* pLabels, uint32_t nCount, const KvtLabelKey& key)
{
    if (nCount < m_nIndexed)
        Clear(); // a different table: start again
    const uint8_t* pBytes = static_cast<const uint8_t*>(pLabels);
    for (; m_nIndexed < nCount; ++m_nIndexed) {
        if ((m_nUsed + 1) * 2 > m_Slots.size())
            Grow();
        const KvtLabelKey label = KvtLabelKey::FromBytes(pBytes + static_cast<size_t>(m_nIndexed) * 16);
        const uint32_t nTag = TagOf(label);
        const size_t nSlot = SlotOf(pBytes, label, nTag);
        // A later equal entry replaces the earlier one: the search runs backwards.
        if (m_Slots[nSlot] == 0)
            ++m_nUsed;
        m_Slots[nSlot] = (static_cast<uint64_t>(nTag) << 32) | (static_cast<uint64_t>(m_nIndexed) + 1);
    }
    if (m_Slots.empty())
        return -1;
    const uint64_t nSlot = m_Slots[SlotOf(pBytes, key, TagOf(key))];
    return nSlot == 0 ? -1 : static_cast<int32_t>(static_cast<uint32_t>(nSlot) - 1);
}

void CKvtLabelTableIndex::Clear()
{
    m_Slots.clear();
    m_nUsed = 0;
    m_nIndexed = 0;
}
