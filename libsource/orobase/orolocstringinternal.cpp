#include "orolocstringinternal.h"

#include <cstring>

#include "orolocstringindex.h"

COroLocStringInternal::COroLocStringInternal()
    : m_pBytes(nullptr), m_nUsed(0), m_nCapacity(0), m_nAbandoned(0), m_nCount(0), m_pIndex(nullptr)
{
}

COroLocStringInternal::~COroLocStringInternal()
{
    delete m_pIndex;
    delete[] m_pBytes;
}

COroLocStringIndex& COroLocStringInternal::Index() const
{
    if (m_pIndex == nullptr) {
        // Without an index nothing has been abandoned: the buffer is the order.
        auto* pIndex = new COroLocStringIndex;
        pIndex->Reserve(m_nCount);
        for (size_t nPos = 0; nPos < m_nUsed; nPos += EntryBytes(LengthAt(nPos)))
            pIndex->Add(IdAt(nPos), nPos);
        m_pIndex = pIndex;
    }
    return *m_pIndex;
}

size_t COroLocStringInternal::FindId(int32_t nId) const
{
    if (m_pIndex == nullptr && m_nCount <= kLinearEntries) {
        for (size_t nPos = 0; nPos < m_nUsed; nPos += EntryBytes(LengthAt(nPos))) {
            if (IdAt(nPos) == nId)
                return nPos;
        }
        return kNoEntry;
    }
    const COroLocStringIndex& index = Index();
    const uint32_t nOrdinal = index.Find(nId);
    return nOrdinal == COroLocStringIndex::kNotFound ? kNoEntry : index.PositionOf(nOrdinal);
}

size_t COroLocStringInternal::FindIndex(uint32_t nIndex) const
{
    if (nIndex >= m_nCount)
        return kNoEntry;
    if (m_pIndex == nullptr && m_nCount <= kLinearEntries) {
        size_t nPos = 0;
        for (uint32_t i = 0; i < nIndex; ++i)
            nPos += EntryBytes(LengthAt(nPos));
        return nPos;
    }
    return Index().PositionOf(nIndex);
}

int32_t COroLocStringInternal::IdAt(size_t nPos) const
{
    int32_t nId;
    std::memcpy(&nId, m_pBytes + nPos, sizeof nId);
    return nId;
}

uint32_t COroLocStringInternal::LengthAt(size_t nPos) const
{
    uint32_t nLength;
    std::memcpy(&nLength, m_pBytes + nPos + 4, sizeof nLength);
    return nLength;
}

const char* COroLocStringInternal::TextAt(size_t nPos) const
{
    return m_pBytes + nPos + kHeaderBytes;
}

void COroLocStringInternal::WriteEntry(size_t nPos, int32_t nId, const char* pText, uint32_t nLength)
{
    char* pEntry = m_pBytes + nPos;
    std::memcpy(pEntry, &nId, sizeof nId);
    std::memcpy(pEntry + 4, &nLength, sizeof nLength);
    if (nLength > 0)
        std::memcpy(pEntry + kHeaderBytes, pText, nLength);
    pEntry[kHeaderBytes + nLength] = 0;
}

void COroLocStringInternal::Grow(size_t nNeeded)
{
    if (nNeeded <= m_nCapacity)
        return;
    // Doubling keeps a run of additions linear; a reserved or single entry
    // gets exactly what it needs.
    const size_t nCapacity = nNeeded > m_nCapacity * 2 ? nNeeded : m_nCapacity * 2;
    char* pBytes = new char[nCapacity];
    if (m_nUsed > 0)
        std::memcpy(pBytes, m_pBytes, m_nUsed);
    delete[] m_pBytes;
    m_pBytes = pBytes;
    m_nCapacity = nCapacity;
}

void COroLocStringInternal::Append(int32_t nId, const char* pText, uint32_t nLength)
{
    const size_t nBytes = EntryBytes(nLength);
    const size_t nPos = m_nUsed;
    Grow(nPos + nBytes);
    WriteEntry(nPos, nId, pText, nLength);
    m_nUsed += nBytes;
    ++m_nCount;
    if (m_pIndex != nullptr)
        m_pIndex->Add(nId, nPos);
}

void COroLocStringInternal::Replace(size_t nPos, const char* pText, uint32_t nLength)
{
    const int32_t nId = IdAt(nPos);
    const size_t nOldBytes = EntryBytes(LengthAt(nPos));
    const size_t nNewBytes = EntryBytes(nLength);
    // A text of the same length, or one in the last entry of the buffer,
    // changes where it stands.
    if (nNewBytes == nOldBytes) {
        WriteEntry(nPos, nId, pText, nLength);
        return;
    }
    if (nPos + nOldBytes == m_nUsed) {
        Grow(nPos + nNewBytes);
        WriteEntry(nPos, nId, pText, nLength);
        m_nUsed = nPos + nNewBytes;
        return;
    }
    // Otherwise the entry is written anew at the end and keeps its place in
    // the order through the index; moving every entry behind it instead
    // would make a run of replacements quadratic.
    COroLocStringIndex& index = Index();
    const uint32_t nOrdinal = index.Find(nId);
    const size_t nNewPos = m_nUsed;
    Grow(nNewPos + nNewBytes);
    WriteEntry(nNewPos, nId, pText, nLength);
    m_nUsed += nNewBytes;
    m_nAbandoned += nOldBytes;
    index.SetPosition(nOrdinal, nNewPos);
    if (m_nAbandoned > m_nUsed / 2)
        Repack();
}

void COroLocStringInternal::Repack()
{
    const size_t nLive = m_nUsed - m_nAbandoned;
    char* pBytes = nLive > 0 ? new char[nLive] : nullptr;
    size_t nTo = 0;
    for (uint32_t i = 0; i < m_nCount; ++i) {
        const size_t nFrom = m_pIndex->PositionOf(i);
        const size_t nBytes = EntryBytes(LengthAt(nFrom));
        std::memcpy(pBytes + nTo, m_pBytes + nFrom, nBytes);
        m_pIndex->SetPosition(i, nTo);
        nTo += nBytes;
    }
    delete[] m_pBytes;
    m_pBytes = pBytes;
    m_nUsed = nLive;
    m_nCapacity = nLive;
    m_nAbandoned = 0;
}

void COroLocStringInternal::Remove(size_t nPos)
{
    // Rare (a user's edit): the entries are put back in order without an
    // index, and the entries behind this one move up.
    if (m_pIndex != nullptr) {
        const uint32_t nOrdinal = m_pIndex->Find(IdAt(nPos));
        if (m_nAbandoned > 0)
            Repack();
        nPos = m_pIndex->PositionOf(nOrdinal);
        delete m_pIndex;
        m_pIndex = nullptr;
    }
    const size_t nEnd = nPos + EntryBytes(LengthAt(nPos));
    std::memmove(m_pBytes + nPos, m_pBytes + nEnd, m_nUsed - nEnd);
    m_nUsed -= nEnd - nPos;
    --m_nCount;
}

void COroLocStringInternal::Clear()
{
    delete m_pIndex;
    m_pIndex = nullptr;
    delete[] m_pBytes;
    m_pBytes = nullptr;
    m_nUsed = 0;
    m_nCapacity = 0;
    m_nAbandoned = 0;
    m_nCount = 0;
}

void COroLocStringInternal::CopyFrom(const COroLocStringInternal& other)
{
    if (this == &other)
        return;
    Clear();
    const size_t nLive = other.m_nUsed - other.m_nAbandoned;
    if (nLive == 0)
        return;
    Grow(nLive);
    if (other.m_nAbandoned == 0) {
        std::memcpy(m_pBytes, other.m_pBytes, nLive);
    } else {
        size_t nTo = 0;
        for (uint32_t i = 0; i < other.m_nCount; ++i) {
            const size_t nFrom = other.m_pIndex->PositionOf(i);
            const size_t nBytes = EntryBytes(other.LengthAt(nFrom));
            std::memcpy(m_pBytes + nTo, other.m_pBytes + nFrom, nBytes);
            nTo += nBytes;
        }
    }
    m_nUsed = nLive;
    m_nCount = other.m_nCount;
}

void COroLocStringInternal::Reserve(uint64_t nEntries, uint64_t nTextBytes)
{
    // The numbers come from a value's declared size, which the caller has
    // checked against its bytes; the sum is still kept from wrapping.
    const uint64_t nLimit = SIZE_MAX / 2;
    const uint64_t nPerEntry = kHeaderBytes + 1;
    if (m_nUsed > nLimit || nEntries > nLimit / nPerEntry)
        return;
    const uint64_t nEntryBytes = nEntries * nPerEntry;
    if (nTextBytes > nLimit - nEntryBytes || nEntryBytes + nTextBytes > nLimit - m_nUsed)
        return;
    Grow(m_nUsed + static_cast<size_t>(nEntryBytes + nTextBytes));
}

void COroLocStringInternal::ShrinkToFit()
{
    if (m_nAbandoned > 0) {
        Repack();
        return;
    }
    if (m_nCapacity == m_nUsed)
        return;
    char* pBytes = m_nUsed > 0 ? new char[m_nUsed] : nullptr;
    if (m_nUsed > 0)
        std::memcpy(pBytes, m_pBytes, m_nUsed);
    delete[] m_pBytes;
    m_pBytes = pBytes;
    m_nCapacity = m_nUsed;
}
