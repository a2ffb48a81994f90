#include "kvtfieldlabelindex.h"

#include <algorithm>
#include <bit>
#include <cstddef>

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
    // Structs are indexed in rising order during a load: growing by half
    // the entries at a time keeps that from resizing at every struct.
    if (nStruct >= m_Entries.size())
        m_Entries.resize(std::max(static_cast<size_t>(nStruct) + 1, m_Entries.size() + m_Entries.size() / 2));
    return m_Entries[nStruct];
}

uint64_t CKvtFieldLabelIndex::TakeSlots(uint64_t nSlots)
{
    std::vector<uint64_t>& free = m_FreeTables[std::countr_zero(nSlots)];
    if (!free.empty()) {
        const uint64_t nOffset = free.back();
        free.pop_back();
        std::fill_n(m_Slots.begin() + static_cast<std::ptrdiff_t>(nOffset), nSlots, 0);
        return nOffset;
    }
    const size_t nOffset = m_Slots.size();
    m_Slots.resize(nOffset + nSlots, 0);
    return nOffset;
}

void CKvtFieldLabelIndex::GiveBackSlots(uint64_t nOffset, uint64_t nSlots)
{
    m_FreeTables[std::countr_zero(nSlots)].push_back(nOffset);
}

void CKvtFieldLabelIndex::Grow(Entry& entry, uint32_t nFieldCount)
{
    uint64_t nSlots = entry.nMask == 0 ? kMinSlots : (static_cast<uint64_t>(entry.nMask) + 1) * 2;
    if (entry.nMask == 0) {
        while (nSlots < static_cast<uint64_t>(nFieldCount) * 2 && nSlots < kMaxFirstSlots)
            nSlots *= 2;
    }
    // Slots that no table uses (outgrown, or not reused yet) are repacked
    // once they outweigh the live ones: the pool stays linear in the number
    // of fields indexed.
    if (m_Slots.size() > 2 * m_nLiveSlots + kPoolSlack)
        CompactPool();
    const uint64_t nOldOffset = entry.nOffset;
    const uint64_t nOldSlots = entry.nMask == 0 ? 0 : static_cast<uint64_t>(entry.nMask) + 1;
    const uint64_t nOffset = TakeSlots(nSlots);
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
    if (nOldSlots != 0)
        GiveBackSlots(nOldOffset, nOldSlots);
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
    // Every free table lay in the old pool.
    for (std::vector<uint64_t>& free : m_FreeTables)
        free.clear();
}

void CKvtFieldLabelIndex::Release(uint32_t nStruct)
{
    if (nStruct >= m_Entries.size())
        return;
    Entry& entry = m_Entries[nStruct];
    if (entry.nMask != 0) {
        const uint64_t nSlots = static_cast<uint64_t>(entry.nMask) + 1;
        GiveBackSlots(entry.nOffset, nSlots);
        m_nLiveSlots -= nSlots;
    }
    entry = Entry{};
}

void CKvtFieldLabelIndex::ForgetStopped()
{
    // A struct may be listed twice (stopped, released, stopped again):
    // Release finds nothing left to give back the second time.
    for (uint32_t nStruct : m_Stopped)
        Release(nStruct);
    m_Stopped.clear();
}

void CKvtFieldLabelIndex::Clear()
{
    m_Entries.clear();
    m_Slots.clear();
    m_nLiveSlots = 0;
    m_Stopped.clear();
    for (std::vector<uint64_t>& free : m_FreeTables)
        free.clear();
}
