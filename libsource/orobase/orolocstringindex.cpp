#include "orolocstringindex.h"

size_t COroLocStringIndex::Hash(int32_t nId)
{
    // Fibonacci hashing spreads runs of neighbouring ids over the table.
    return static_cast<size_t>((static_cast<uint64_t>(static_cast<uint32_t>(nId)) * 0x9E3779B97F4A7C15ull) >> 32);
}

uint32_t COroLocStringIndex::Find(int32_t nId) const
{
    if (m_Slots.empty())
        return kNotFound;
    const size_t nMask = m_Slots.size() - 1;
    for (size_t nSlot = Hash(nId) & nMask;; nSlot = (nSlot + 1) & nMask) {
        const uint32_t nEntry = m_Slots[nSlot];
        if (nEntry == 0)
            return kNotFound;
        if (m_Entries[nEntry - 1].nId == nId)
            return nEntry - 1;
    }
}

void COroLocStringIndex::Add(int32_t nId, size_t nPos)
{
    m_Entries.push_back(Entry{nPos, nId});
    if (m_Entries.size() * 2 > m_Slots.size())
        Rehash(m_Slots.empty() ? 16 : m_Slots.size() * 2);
    else
        Insert(nId, static_cast<uint32_t>(m_Entries.size()));
}

void COroLocStringIndex::Insert(int32_t nId, uint32_t nEntry)
{
    const size_t nMask = m_Slots.size() - 1;
    size_t nSlot = Hash(nId) & nMask;
    while (m_Slots[nSlot] != 0)
        nSlot = (nSlot + 1) & nMask;
    m_Slots[nSlot] = nEntry;
}

void COroLocStringIndex::Rehash(size_t nSlots)
{
    while (nSlots < m_Entries.size() * 2)
        nSlots *= 2;
    m_Slots.assign(nSlots, 0);
    for (size_t i = 0; i < m_Entries.size(); ++i)
        Insert(m_Entries[i].nId, static_cast<uint32_t>(i + 1));
}
