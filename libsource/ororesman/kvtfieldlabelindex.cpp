#include "kvtfieldlabelindex.h"

namespace {

// A table is at most half full. A struct's first table is sized for its
// field count but never beyond this, so a damaged count of billions of
// fields reserves nothing up front.
constexpr uint64_t kMaxFirstSlots = 1u << 12;
constexpr uint64_t kMinSlots = 16;
// Abandoned slots beyond this (and beyond the live ones) are repacked.
constexpr uint64_t kPoolSlack = 1u << 12;

} // namespace

CKvtFieldLabelIndex::Entry& CKvtFieldLabelIndex::EntryFor(uint32_t nStruct)
{
    if (nStruct >= m_Entries.size())
        m_Entries.resize(static_cast<size_t>(nStruct) + 1);
    return m_Entries[nStruct];
}

void CKvtFieldLabelIndex::Grow(Entry& entry, uint32_t nFieldCount)
{
    uint64_t nSlots = entry.nMask == 0 ? kMinSlots : (static_cast<uint64_t>(entry.nMask) + 1) * 2;
    if (entry.nMask == 0) {
        while (nSlots < static_cast<uint64_t>(nFieldCount) * 2 && nSlots < kMaxFirstSlots)
            nSlots *= 2;
    }
    // Growing abandons the old slots; repacking once they outweigh the live
    // ones keeps the pool linear in the number of fields indexed.
    if (m_Slots.size() > 2 * m_nLiveSlots + kPoolSlack)
        CompactPool();
    const size_t nOffset = m_Slots.size();
    m_Slots.resize(nOffset + nSlots, 0);
    const size_t nOldOffset = entry.nOffset;
    const uint64_t nOldSlots = entry.nMask == 0 ? 0 : static_cast<uint64_t>(entry.nMask) + 1;
    entry.nOffset = nOffset;
    entry.nMask = static_cast<uint32_t>(nSlots - 1);
    for (uint64_t i = 0; i < nOldSlots; ++i) {
        const uint64_t nSlot = m_Slots[nOldOffset + i];
        if (nSlot == 0)
            continue;
        uint32_t j = static_cast<uint32_t>(nSlot >> 32) & entry.nMask;
        while (m_Slots[nOffset + j] != 0)
            j = (j + 1) & entry.nMask;
        m_Slots[nOffset + j] = nSlot;
    }
    m_nLiveSlots += nSlots - nOldSlots;
}

void CKvtFieldLabelIndex::Insert(Entry& entry, uint32_t nTag, uint32_t nField, uint32_t nFieldCount)
{
    if (entry.nMask == 0 || (static_cast<uint64_t>(entry.nUsed) + 1) * 2 > static_cast<uint64_t>(entry.nMask) + 1)
        Grow(entry, nFieldCount);
    uint32_t i = nTag & entry.nMask;
    while (m_Slots[static_cast<size_t>(entry.nOffset) + i] != 0)
        i = (i + 1) & entry.nMask;
    m_Slots[static_cast<size_t>(entry.nOffset) + i] =
        (static_cast<uint64_t>(nTag) << 32) | (static_cast<uint64_t>(nField) + 1);
    ++entry.nUsed;
}

void CKvtFieldLabelIndex::CompactPool()
{
    std::vector<uint64_t> slots;
    slots.reserve(static_cast<size_t>(m_nLiveSlots));
    for (Entry& entry : m_Entries) {
        if (entry.nMask == 0)
            continue;
        const size_t nOffset = slots.size();
        slots.insert(slots.end(), m_Slots.begin() + entry.nOffset,
                     m_Slots.begin() + entry.nOffset + static_cast<size_t>(entry.nMask) + 1);
        entry.nOffset = nOffset;
    }
    m_Slots.swap(slots);
}

void CKvtFieldLabelIndex::ForgetStopped()
{
    for (uint32_t nStruct : m_Stopped) {
        Entry& entry = m_Entries[nStruct];
        if (entry.nMask != 0)
            m_nLiveSlots -= static_cast<uint64_t>(entry.nMask) + 1;
        entry = Entry{};
    }
    m_Stopped.clear();
}

void CKvtFieldLabelIndex::Clear()
{
    m_Entries.clear();
    m_Slots.clear();
    m_nLiveSlots = 0;
    m_Stopped.clear();
}
