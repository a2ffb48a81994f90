#include "kvtfieldindexarrays.h"

#include <cstring>

#include "reskvt.h"

namespace {

constexpr uint32_t kFirstCapacity = 4;
// Pool entries left behind by moved arrays beyond this (and beyond the live
// ones) are repacked.
constexpr size_t kPoolSlack = 1u << 14;

void StoreEntry(uint8_t* pArea, uint64_t nOffset, uint32_t nValue)
{
    std::memcpy(pArea + nOffset, &nValue, 4);
}

} // namespace

CKvtFieldIndexArrays::Array_st& CKvtFieldIndexArrays::ArrayOf(uint32_t nStruct)
{
    if (nStruct >= m_Arrays.size())
        m_Arrays.resize(static_cast<size_t>(nStruct) + 1);
    return m_Arrays[nStruct];
}

void CKvtFieldIndexArrays::Relocate(Array_st& array)
{
    const uint64_t nCapacity = array.nCapacity == 0 ? kFirstCapacity : static_cast<uint64_t>(array.nCapacity) * 2;
    const size_t nOffset = m_Pool.size();
    m_Pool.resize(nOffset + static_cast<size_t>(nCapacity));
    if (array.nCount > 0)
        std::memcpy(&m_Pool[nOffset], &m_Pool[array.nOffset], static_cast<size_t>(array.nCount) * 4);
    m_nLive += static_cast<size_t>(nCapacity) - array.nCapacity;
    array.nOffset = nOffset;
    array.nCapacity = static_cast<uint32_t>(nCapacity);
}

void CKvtFieldIndexArrays::CompactPool()
{
    std::vector<uint32_t> pool;
    pool.reserve(m_nLive);
    for (Array_st& array : m_Arrays) {
        if (array.nCapacity == 0)
            continue;
        const size_t nOffset = pool.size();
        pool.insert(pool.end(), m_Pool.begin() + static_cast<ptrdiff_t>(array.nOffset),
                    m_Pool.begin() + static_cast<ptrdiff_t>(array.nOffset + array.nCount));
        pool.resize(nOffset + array.nCapacity);
        array.nOffset = nOffset;
    }
    m_Pool.swap(pool);
}

void CKvtFieldIndexArrays::Expect(uint32_t nStruct, uint32_t nCount)
{
    Array_st& array = ArrayOf(nStruct);
    if (array.nCapacity != 0 || nCount == 0)
        return;
    array.nOffset = m_Pool.size();
    m_Pool.resize(m_Pool.size() + nCount);
    m_nLive += nCount;
    array.nCapacity = nCount;
}

void CKvtFieldIndexArrays::Start(uint32_t nStruct, uint32_t nFirst, uint32_t nSecond)
{
    Array_st& array = ArrayOf(nStruct);
    array.nCount = 0;
    Append(nStruct, 0, nFirst);
    Append(nStruct, 1, nSecond);
}

void CKvtFieldIndexArrays::Append(uint32_t nStruct, uint32_t nCount, uint32_t nField)
{
    Array_st& array = ArrayOf(nStruct);
    array.nCount = nCount;
    if (nCount >= array.nCapacity) {
        const bool bLast = array.nCapacity != 0 && array.nOffset + array.nCapacity == m_Pool.size();
        if (bLast) {
            // The last array of the pool grows where it stands.
            m_Pool.resize(m_Pool.size() + array.nCapacity);
            m_nLive += array.nCapacity;
            array.nCapacity *= 2;
        } else {
            if (m_Pool.size() > 2 * m_nLive + kPoolSlack)
                CompactPool();
            Relocate(array);
        }
    }
    m_Pool[array.nOffset + nCount] = nField;
    array.nCount = nCount + 1;
}

void CKvtFieldIndexArrays::Abandon(uint32_t nOffset, uint32_t nStruct, uint32_t nCount)
{
    m_Abandoned.push_back(Abandoned_st{nOffset, nStruct, nCount});
}

bool CKvtFieldIndexArrays::LiesInStructOrder(uint32_t nUsed, const KvtStruct_st* pStructs,
                                             uint32_t nStructCount) const
{
    if (!m_Abandoned.empty())
        return false;
    uint64_t nEnd = 0;
    const uint32_t nArrays = static_cast<uint32_t>(m_Arrays.size() < nStructCount ? m_Arrays.size() : nStructCount);
    for (uint32_t s = 0; s < nArrays; ++s) {
        const uint32_t nCount = pStructs[s].fieldCount;
        const uint64_t nOffset = pStructs[s].data;
        // Arrays that Materialize leaves out are left out here as well.
        if (nCount < 2 || nOffset + 4ull * nCount > nUsed || m_Arrays[s].nCount < nCount)
            continue;
        if (nOffset < nEnd)
            return false;
        nEnd = nOffset + 4ull * nCount;
    }
    return true;
}

bool CKvtFieldIndexArrays::WriteInStructOrder(uint32_t nUsed, const KvtStruct_st* pStructs, uint32_t nStructCount,
                                              const std::function<bool(const void*, size_t)>& write) const
{
    static const uint8_t kZeros[4096] = {};
    uint64_t nWritten = 0;
    auto writeZerosTo = [&](uint64_t nTo) {
        while (nWritten < nTo) {
            const size_t nPiece = static_cast<size_t>(nTo - nWritten < sizeof kZeros ? nTo - nWritten : sizeof kZeros);
            if (!write(kZeros, nPiece))
                return false;
            nWritten += nPiece;
        }
        return true;
    };
    const uint32_t nArrays = static_cast<uint32_t>(m_Arrays.size() < nStructCount ? m_Arrays.size() : nStructCount);
    for (uint32_t s = 0; s < nArrays; ++s) {
        const uint32_t nCount = pStructs[s].fieldCount;
        const uint64_t nOffset = pStructs[s].data;
        const Array_st& array = m_Arrays[s];
        if (nCount < 2 || nOffset + 4ull * nCount > nUsed || array.nCount < nCount || nOffset < nWritten)
            continue;
        if (!writeZerosTo(nOffset) || !write(&m_Pool[array.nOffset], static_cast<size_t>(nCount) * 4))
            return false;
        nWritten = nOffset + 4ull * nCount;
    }
    return writeZerosTo(nUsed);
}

void CKvtFieldIndexArrays::Materialize(uint8_t* pArea, uint32_t nUsed, const KvtStruct_st* pStructs,
                                       uint32_t nStructCount) const
{
    std::memset(pArea, 0, nUsed);
    // Copies left behind first: a live array never overlaps one, but the
    // order keeps the live arrays authoritative all the same.
    for (const Abandoned_st& copy : m_Abandoned) {
        const Array_st& array = m_Arrays[copy.nStruct];
        for (uint32_t i = 0; i < copy.nCount && copy.nOffset + 4ull * (i + 1) <= nUsed; ++i)
            StoreEntry(pArea, copy.nOffset + 4ull * i, m_Pool[array.nOffset + i]);
    }
    const uint32_t nArrays = static_cast<uint32_t>(m_Arrays.size() < nStructCount ? m_Arrays.size() : nStructCount);
    for (uint32_t s = 0; s < nArrays; ++s) {
        const uint32_t nCount = pStructs[s].fieldCount;
        if (nCount < 2)
            continue;
        const Array_st& array = m_Arrays[s];
        const uint64_t nOffset = pStructs[s].data;
        if (nOffset + 4ull * nCount > nUsed || array.nCount < nCount)
            continue;
        std::memcpy(pArea + nOffset, &m_Pool[array.nOffset], static_cast<size_t>(nCount) * 4);
    }
}
