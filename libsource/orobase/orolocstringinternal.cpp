#include "orolocstringinternal.h"

#include <cstring>

COroLocStringInternal::COroLocStringInternal() : m_pBytes(nullptr), m_nUsed(0), m_nCapacity(0), m_nCount(0) {}

COroLocStringInternal::~COroLocStringInternal()
{
    delete[] m_pBytes;
}

size_t COroLocStringInternal::FindId(int32_t nId) const
{
    for (size_t nPos = 0; nPos < m_nUsed; nPos += EntryBytes(LengthAt(nPos))) {
        if (IdAt(nPos) == nId)
            return nPos;
    }
    return kNoEntry;
}

size_t COroLocStringInternal::FindIndex(uint32_t nIndex) const
{
    if (nIndex >= m_nCount)
        return kNoEntry;
    size_t nPos = 0;
    for (uint32_t i = 0; i < nIndex; ++i)
        nPos += EntryBytes(LengthAt(nPos));
    return nPos;
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
    Grow(m_nUsed + nBytes);
    WriteEntry(m_nUsed, nId, pText, nLength);
    m_nUsed += nBytes;
    ++m_nCount;
}

void COroLocStringInternal::Replace(size_t nPos, const char* pText, uint32_t nLength)
{
    const size_t nOldEnd = nPos + EntryBytes(LengthAt(nPos));
    const size_t nNewEnd = nPos + EntryBytes(nLength);
    const size_t nTail = m_nUsed - nOldEnd;
    const size_t nUsed = nNewEnd + nTail;
    Grow(nUsed);
    // The entries behind this one move up or down to make room for the text.
    if (nTail > 0 && nNewEnd != nOldEnd)
        std::memmove(m_pBytes + nNewEnd, m_pBytes + nOldEnd, nTail);
    WriteEntry(nPos, IdAt(nPos), pText, nLength);
    m_nUsed = nUsed;
}

void COroLocStringInternal::Remove(size_t nPos)
{
    const size_t nEnd = nPos + EntryBytes(LengthAt(nPos));
    std::memmove(m_pBytes + nPos, m_pBytes + nEnd, m_nUsed - nEnd);
    m_nUsed -= nEnd - nPos;
    --m_nCount;
}

void COroLocStringInternal::Clear()
{
    delete[] m_pBytes;
    m_pBytes = nullptr;
    m_nUsed = 0;
    m_nCapacity = 0;
    m_nCount = 0;
}

void COroLocStringInternal::CopyFrom(const COroLocStringInternal& other)
{
    if (this == &other)
        return;
    Clear();
    if (other.m_nUsed == 0)
        return;
    Grow(other.m_nUsed);
    std::memcpy(m_pBytes, other.m_pBytes, other.m_nUsed);
    m_nUsed = other.m_nUsed;
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
