// CResKVT: the size of the file image, compaction of the two index areas, and
// writing the image to disk.

#include <cstdio>
#include <cstring>
#include <memory>
#include <span>
#include <utility>

#include "bytereader.h"
#include "filefaults.h"
#include "kvtfieldindexarrays.h"
#include "kvtfieldlabelindex.h"
#include "orobase.h"
#include "reskvt.h"
#include "reskvtinternal.h"
#include "uniquefile.h"

using namespace reskvt;

uint64_t CResKVT::GetTotalSize() const
{
    if (m_header.Data() == nullptr)
        return 0;
    return kHeaderSize + 12ull * m_header.Data()->structCount + 12ull * m_header.Data()->fieldCount +
           16ull * m_header.Data()->labelCount + m_header.Data()->fieldDataSize + m_header.Data()->fieldIndicesSize +
           m_header.Data()->listIndicesSize;
}

void CResKVT::CompactIndexArea(TArea eArea)
{
    const bool bFieldIndices = eArea == TArea::FieldIndices;
    TKvtTable<uint8_t>& area = AreaTable(eArea);
    uint32_t& nAbandoned = bFieldIndices ? m_nFieldIndicesAbandoned : m_nListIndicesAbandoned;
    // A built field indices area keeps its arrays where they are; only their
    // offsets in the area change.
    const bool bBuilt = bFieldIndices && m_pBuiltFieldIndices != nullptr;
    if (bBuilt)
        m_pBuiltFieldIndices->ForgetAbandoned();
    const uint32_t nUsed = GetAreaUsed(eArea);
    if (nAbandoned >= nUsed) {
        SetAreaUsed(eArea, 0);
        nAbandoned = 0;
        return;
    }
    const uint32_t nExpected = nUsed - nAbandoned;
    TKvtTable<uint8_t> compacted = bBuilt ? TKvtTable<uint8_t>() : TKvtTable<uint8_t>::NewOwned(nExpected);
    uint32_t nCopied = 0;
    // The block's offset in the compacted area, or kNone for a block that is
    // dropped rather than copied: one outside the area, or more than the live
    // bytes can hold (two damaged records sharing one block).
    auto moveBlock = [&](uint32_t nOffset, uint64_t nBytes) -> uint32_t {
        if (static_cast<uint64_t>(nOffset) + nBytes > nUsed || nCopied + nBytes > nExpected)
            return kNone;
        if (!bBuilt)
            std::memcpy(compacted.Data() + nCopied, area.Data() + nOffset, static_cast<size_t>(nBytes));
        const uint32_t nMovedTo = nCopied;
        nCopied += static_cast<uint32_t>(nBytes);
        return nMovedTo;
    };
    if (bFieldIndices) {
        // A struct with two or more fields holds an array of their indices.
        for (uint32_t i = 0; i < m_header.Data()->structCount; ++i) {
            KvtStruct_st& record = m_structs.Data()[i];
            if (record.fieldCount < 2)
                continue;
            record.data = moveBlock(record.data, 4ull * record.fieldCount);
            if (record.data == kNone)
                record.fieldCount = 0;
        }
    } else {
        // A LIST field holds an element count and that many struct indices.
        for (uint32_t i = 0; i < m_header.Data()->fieldCount; ++i) {
            KvtField_st& field = m_fields.Data()[i];
            if (field.type != KVT_LIST)
                continue;
            CByteReader entry(std::span<const uint8_t>(area.Data(), nUsed));
            entry.Seek(field.data);
            const uint32_t nCount = entry.U32();
            field.data = entry.Ok() ? moveBlock(field.data, 4 + 4ull * nCount) : kNone;
        }
    }
    if (nCopied != nExpected)
        OroWarning(kModule, bFieldIndices ? kLineCompactFieldIndices : kLineCompactListIndices);
    if (!bBuilt)
        area.TakeRecords(std::move(compacted));
    area.LimitCapacity(nCopied);
    SetAreaUsed(eArea, nCopied);
    nAbandoned = 0;
}

void CResKVT::Compact(uint8_t nMinPercent, uint32_t nMinBytes)
{
    if (IsBorrowed())
        MakeEditable();
    if (m_nFieldIndicesAbandoned == 0 && m_nListIndicesAbandoned == 0)
        return;
    if (m_header.Data() == nullptr || m_structs.Data() == nullptr || m_fields.Data() == nullptr || !HasFieldIndicesArea() ||
        m_listIndices.Data() == nullptr)
        return;
    const uint64_t nAbandoned = static_cast<uint64_t>(m_nFieldIndicesAbandoned) + m_nListIndicesAbandoned;
    const uint64_t nTotal = GetTotalSize();
    // In 64 bits, so that A * 100 never wraps.
    if (nAbandoned <= nMinBytes || nAbandoned * 100 / nTotal <= nMinPercent)
        return;
    if (m_nFieldIndicesAbandoned != 0)
        CompactIndexArea(TArea::FieldIndices);
    if (m_nListIndicesAbandoned != 0)
        CompactIndexArea(TArea::ListIndices);
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
    if (m_header.Data() == nullptr || pFileName == nullptr)
        return false;
    CUniqueFile file(pFileName, "wb");
    if (!file)
        return false;
    Compact(0, 0);
    // Offsets are 32-bit: an image beyond 4 GiB cannot be described.
    if (GetTotalSize() > 0xFFFFFFFFull)
        return false;
    KvtHeader_st& header = *m_header.Data();
    header.structOffset = kHeaderSize;
    header.fieldOffset = header.structOffset + 12 * header.structCount;
    header.labelOffset = header.fieldOffset + 12 * header.fieldCount;
    header.fieldDataOffset = header.labelOffset + 16 * header.labelCount;
    header.fieldIndicesOffset = header.fieldDataOffset + header.fieldDataSize;
    header.listIndicesOffset = header.fieldIndicesOffset + header.fieldIndicesSize;
    // A built area is written out byte for byte for the write, and kept as it
    // is: piece by piece where its arrays lie in struct order (as after the
    // compaction above), otherwise through one copy of the whole area.
    std::unique_ptr<uint8_t[]> pBuiltArea;
    const uint8_t* pFieldIndices = m_fieldIndices.Data();
    const bool bStreamed =
        m_pBuiltFieldIndices != nullptr &&
        m_pBuiltFieldIndices->LiesInStructOrder(header.fieldIndicesSize, m_structs.Data(), header.structCount);
    if (m_pBuiltFieldIndices != nullptr && !bStreamed) {
        pBuiltArea.reset(new uint8_t[header.fieldIndicesSize]);
        m_pBuiltFieldIndices->Materialize(pBuiltArea.get(), header.fieldIndicesSize, m_structs.Data(), header.structCount);
        pFieldIndices = pBuiltArea.get();
    }
    std::FILE* pFile = file.Get();
    const auto writeFieldIndices = [&]() {
        if (!bStreamed)
            return WriteAll(pFile, pFieldIndices, header.fieldIndicesSize);
        return m_pBuiltFieldIndices->WriteInStructOrder(
            header.fieldIndicesSize, m_structs.Data(), header.structCount,
            [pFile](const void* pData, size_t nBytes) { return WriteAll(pFile, pData, nBytes); });
    };
    const bool bWritten =
        WriteAll(pFile, m_header.Data(), kHeaderSize) && WriteAll(pFile, m_structs.Data(), 12ull * header.structCount) &&
        WriteAll(pFile, m_fields.Data(), 12ull * header.fieldCount) &&
        WriteAll(pFile, m_labels.Data(), 16ull * header.labelCount) && WriteAll(pFile, m_fieldData.Data(), header.fieldDataSize) &&
        writeFieldIndices() && WriteAll(pFile, m_listIndices.Data(), header.listIndicesSize);
    // Closing flushes the buffer: a failure there is a failed write too.
    const bool bClosed = file.Close();
    return bWritten && bClosed;
}
