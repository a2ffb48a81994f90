#include "KVTBinarySplice.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// Room kept past a value that grows, so that typing byte after byte into a
// large value moves its tail instead of copying it into a new buffer at
// every key: 1/16 of the value, at least 64 KiB.
constexpr uint64_t kLeastRoom = 64 * 1024;

uint64_t RoomToGrow(uint64_t nSize)
{
    return std::max<uint64_t>(nSize / 16, kLeastRoom);
}

} // namespace

bool SpliceBinaryValue(CKvtNodeBINARY& node, uint32_t nOffset, uint32_t nRemove, const uint8_t* pInsert,
                       uint32_t nInsert)
{
    const uint64_t nSize = BinaryValueSize(node);
    if (nOffset > nSize || nRemove > nSize - nOffset || (nInsert > 0 && !pInsert))
        return false;
    const uint64_t nNewSize = nSize - nRemove + nInsert;
    if (nNewSize > UINT32_MAX)
        return false;
    const uint64_t nTail = nSize - nOffset - nRemove;
    const uint64_t nCapacity = node.m_pData && node.m_nCapacity > nSize ? node.m_nCapacity : nSize;
    // In place while the buffer holds the result and is not mostly empty
    // (a large value cut below a quarter gives its memory back).
    const bool bMostlyEmpty = nNewSize < nCapacity / 4 && nCapacity - nNewSize > kLeastRoom;
    if (nNewSize > 0 && nNewSize <= nCapacity && !bMostlyEmpty) {
        if (nInsert != nRemove && nTail > 0)
            std::memmove(node.m_pData + nOffset + nInsert, node.m_pData + nOffset + nRemove, nTail);
        if (nInsert > 0)
            std::memmove(node.m_pData + nOffset, pInsert, nInsert);
        node.m_nDataSize = static_cast<uint32_t>(nNewSize);
        node.m_nCapacity = static_cast<uint32_t>(nCapacity);
        return true;
    }
    uint8_t* pNew = nullptr;
    uint64_t nNewCapacity = 0;
    if (nNewSize > 0) {
        // Only a value that grows gets room; one cut down is held exactly.
        nNewCapacity = nNewSize > nSize ? std::min<uint64_t>(nNewSize + RoomToGrow(nNewSize), UINT32_MAX) : nNewSize;
        pNew = new (std::nothrow) uint8_t[nNewCapacity];
        if (!pNew)
            return false;
        if (nOffset > 0)
            std::memcpy(pNew, node.m_pData, nOffset);
        if (nInsert > 0)
            std::memcpy(pNew + nOffset, pInsert, nInsert);
        if (nTail > 0)
            std::memcpy(pNew + nOffset + nInsert, node.m_pData + nOffset + nRemove, nTail);
    }
    delete[] node.m_pData;
    node.m_pData = pNew;
    node.m_nDataSize = static_cast<uint32_t>(nNewSize);
    node.m_nCapacity = static_cast<uint32_t>(nNewCapacity);
    return true;
}
