#include "KVTBinarySplice.h"

#include <cstring>
#include <new>

bool SpliceBinaryValue(CKvtNodeBINARY& node, uint32_t nOffset, uint32_t nRemove, const uint8_t* pInsert,
                       uint32_t nInsert)
{
    const uint64_t nSize = BinaryValueSize(node);
    if (nOffset > nSize || nRemove > nSize - nOffset || (nInsert > 0 && !pInsert))
        return false;
    const uint64_t nNewSize = nSize - nRemove + nInsert;
    if (nNewSize > UINT32_MAX)
        return false;
    if (nRemove == nInsert) {
        if (nInsert > 0)
            std::memmove(node.m_pData + nOffset, pInsert, nInsert);
        return true;
    }
    uint8_t* pNew = nullptr;
    if (nNewSize > 0) {
        pNew = new (std::nothrow) uint8_t[nNewSize];
        if (!pNew)
            return false;
        const uint64_t nTail = nSize - nOffset - nRemove;
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
    return true;
}
