// CResKVT: the size of the file image, compaction of the two index areas, and
// writing the image to disk.

#include <cstdio>
#include <cstring>
#include <memory>

#include "filefaults.h"
#include "kvtfieldindexarrays.h"
#include "kvtfieldlabelindex.h"
#include "orobase.h"
#include "reskvt.h"
#include "reskvtinternal.h"

using namespace reskvt;

uint64_t CResKVT::GetTotalSize() const
{
    if (m_pHeader == nullptr)
        return 0;
    return kHeaderSize + 12ull * m_pHeader->structCount + 12ull * m_pHeader->fieldCount +
           16ull * m_pHeader->labelCount + m_pHeader->fieldDataSize + m_pHeader->fieldIndicesSize +
           m_pHeader->listIndicesSize;
}

void CResKVT::CompactFieldIndices()
{
    const uint32_t nUsed = m_pHeader->fieldIndicesSize;
    if (m_nFieldIndicesAbandoned >= nUsed) {
        m_pHeader->fieldIndicesSize = 0;
        m_nFieldIndicesAbandoned = 0;
        return;
    }
    const uint32_t nExpected = nUsed - m_nFieldIndicesAbandoned;
    uint8_t* pNew = new uint8_t[nExpected];
    uint32_t nCopied = 0;
    for (uint32_t i = 0; i < m_pHeader->structCount; ++i) {
        KvtStruct_st& record = m_pStructs[i];
        const uint32_t nCount = record.fieldCount;
        if (nCount < 2)
            continue;
        const uint64_t nBytes = 4ull * nCount;
        // Arrays outside the area, or more than the live bytes can hold (two
        // damaged structs sharing one array), are dropped rather than copied.
        if (static_cast<uint64_t>(record.data) + nBytes > nUsed || nCopied + nBytes > nExpected) {
            record.data = kNone;
            record.fieldCount = 0;
            continue;
        }
        std::memcpy(pNew + nCopied, m_pFieldIndices + record.data, static_cast<size_t>(nBytes));
        record.data = nCopied;
        nCopied += static_cast<uint32_t>(nBytes);
    }
    if (nCopied != nExpected)
        OroWarning(kModule, kLineCompactFieldIndices);
    delete[] m_pFieldIndices;
    m_pFieldIndices = pNew;
    m_pHeader->fieldIndicesSize = nCopied;
    m_nFieldIndicesCapacity = nCopied;
    m_nFieldIndicesAbandoned = 0;
}

void CResKVT::CompactBuiltFieldIndices()
{
    // CompactFieldIndices on the area's numbers; the arrays themselves stay
    // where they are, only their offsets in the area change.
    const uint32_t nUsed = m_pHeader->fieldIndicesSize;
    m_pBuiltFieldIndices->ForgetAbandoned();
    if (m_nFieldIndicesAbandoned >= nUsed) {
        m_pHeader->fieldIndicesSize = 0;
        m_nFieldIndicesAbandoned = 0;
        return;
    }
    const uint32_t nExpected = nUsed - m_nFieldIndicesAbandoned;
    uint32_t nCopied = 0;
    for (uint32_t i = 0; i < m_pHeader->structCount; ++i) {
        KvtStruct_st& record = m_pStructs[i];
        const uint32_t nCount = record.fieldCount;
        if (nCount < 2)
            continue;
        const uint64_t nBytes = 4ull * nCount;
        if (static_cast<uint64_t>(record.data) + nBytes > nUsed || nCopied + nBytes > nExpected) {
            record.data = kNone;
            record.fieldCount = 0;
            continue;
        }
        record.data = nCopied;
        nCopied += static_cast<uint32_t>(nBytes);
    }
    if (nCopied != nExpected)
        OroWarning(kModule, kLineCompactFieldIndices);
    m_pHeader->fieldIndicesSize = nCopied;
    m_nFieldIndicesCapacity = nCopied;
    m_nFieldIndicesAbandoned = 0;
}

void CResKVT::CompactListIndices()
{
    const uint32_t nUsed = m_pHeader->listIndicesSize;
    if (m_nListIndicesAbandoned >= nUsed) {
        m_pHeader->listIndicesSize = 0;
        m_nListIndicesAbandoned = 0;
        return;
    }
    const uint32_t nExpected = nUsed - m_nListIndicesAbandoned;
    uint8_t* pNew = new uint8_t[nExpected];
    uint32_t nCopied = 0;
    for (uint32_t i = 0; i < m_pHeader->fieldCount; ++i) {
        KvtField_st& field = m_pFields[i];
        if (field.type != KVT_LIST)
            continue;
        uint64_t nBytes = 0;
        const bool bCountInside = static_cast<uint64_t>(field.data) + 4 <= nUsed;
        if (bCountInside)
            nBytes = 4 + 4ull * LoadU32(m_pListIndices + field.data);
        if (!bCountInside || static_cast<uint64_t>(field.data) + nBytes > nUsed || nCopied + nBytes > nExpected) {
            field.data = kNone;
            continue;
        }
        std::memcpy(pNew + nCopied, m_pListIndices + field.data, static_cast<size_t>(nBytes));
        field.data = nCopied;
        nCopied += static_cast<uint32_t>(nBytes);
    }
    if (nCopied != nExpected)
        OroWarning(kModule, kLineCompactListIndices);
    delete[] m_pListIndices;
    m_pListIndices = pNew;
    m_pHeader->listIndicesSize = nCopied;
    m_nListIndicesCapacity = nCopied;
    m_nListIndicesAbandoned = 0;
}

void CResKVT::Compact(uint8_t nMinPercent, uint32_t nMinBytes)
{
    if (m_bBorrowed != 0)
        MakeEditable();
    if (m_nFieldIndicesAbandoned == 0 && m_nListIndicesAbandoned == 0)
        return;
    if (m_pHeader == nullptr || m_pStructs == nullptr || m_pFields == nullptr || !HasFieldIndicesArea() ||
        m_pListIndices == nullptr)
        return;
    const uint64_t nAbandoned = static_cast<uint64_t>(m_nFieldIndicesAbandoned) + m_nListIndicesAbandoned;
    const uint64_t nTotal = GetTotalSize();
    // In 64 bits, so that A * 100 never wraps.
    if (nAbandoned <= nMinBytes || nAbandoned * 100 / nTotal <= nMinPercent)
        return;
    if (m_nFieldIndicesAbandoned != 0) {
        if (m_pBuiltFieldIndices != nullptr)
            CompactBuiltFieldIndices();
        else
            CompactFieldIndices();
    }
    if (m_nListIndicesAbandoned != 0)
        CompactListIndices();
    // Struct records moved (or were emptied): lookups start afresh.
    if (m_pFieldLabelIndex != nullptr)
        m_pFieldLabelIndex->Clear();
    ForgetLookups();
}

namespace {

bool WriteAll(std::FILE* pFile, const void* pData, uint64_t nBytes)
{
    if (nBytes == 0)
        return true; // an empty section counts as written
    return FileWriteAll(pFile, pData, static_cast<size_t>(nBytes));
}

} // namespace

bool CResKVT::SaveToFile(const char* pFileName)
{
    if (m_pHeader == nullptr || pFileName == nullptr)
        return false;
    std::FILE* pFile = std::fopen(pFileName, "wb");
    if (pFile == nullptr)
        return false;
    Compact(0, 0);
    // Offsets are 32-bit: an image beyond 4 GiB cannot be described.
    if (GetTotalSize() > 0xFFFFFFFFull) {
        std::fclose(pFile);
        return false;
    }
    KvtHeader_st& header = *m_pHeader;
    header.structOffset = kHeaderSize;
    header.fieldOffset = header.structOffset + 12 * header.structCount;
    header.labelOffset = header.fieldOffset + 12 * header.fieldCount;
    header.fieldDataOffset = header.labelOffset + 16 * header.labelCount;
    header.fieldIndicesOffset = header.fieldDataOffset + header.fieldDataSize;
    header.listIndicesOffset = header.fieldIndicesOffset + header.fieldIndicesSize;
    // A built area is written out byte for byte for the write, and kept as it is.
    std::unique_ptr<uint8_t[]> pBuiltArea;
    const uint8_t* pFieldIndices = m_pFieldIndices;
    if (m_pBuiltFieldIndices != nullptr) {
        pBuiltArea.reset(new uint8_t[header.fieldIndicesSize]);
        m_pBuiltFieldIndices->Materialize(pBuiltArea.get(), header.fieldIndicesSize, m_pStructs, header.structCount);
        pFieldIndices = pBuiltArea.get();
    }
    const bool bWritten =
        WriteAll(pFile, m_pHeader, kHeaderSize) && WriteAll(pFile, m_pStructs, 12ull * header.structCount) &&
        WriteAll(pFile, m_pFields, 12ull * header.fieldCount) &&
        WriteAll(pFile, m_pLabels, 16ull * header.labelCount) && WriteAll(pFile, m_pFieldData, header.fieldDataSize) &&
        WriteAll(pFile, pFieldIndices, header.fieldIndicesSize) &&
        WriteAll(pFile, m_pListIndices, header.listIndicesSize);
    // Closing flushes the buffer: a failure there is a failed write too.
    const bool bClosed = std::fclose(pFile) == 0;
    return bWritten && bClosed;
}
