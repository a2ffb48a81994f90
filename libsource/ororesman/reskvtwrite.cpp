// CResKVT: building a file by appending structs, fields, labels and lists.
// Nothing is changed in place once added, so the byte layout of a saved file
// follows from the order of the calls alone.

#include <cstring>

#include "asciitext.h"
#include "bytereader.h"
#include "kvtfieldindexarrays.h"
#include "kvtfieldlabelindex.h"
#include "kvtlabeltableindex.h"
#include "orobase.h"
#include "reskvt.h"
#include "reskvtinternal.h"

using namespace reskvt;

namespace {

// Labels up to this count are searched backwards linearly; more through the index.
constexpr uint32_t kLinearSearchLabels = 32;

// Makes room for one more record: capacity = used + step, and the step doubles.
template <typename T> bool GrowTable(TKvtTable<T>& table, uint32_t nUsed)
{
    if (nUsed < table.Capacity())
        return true;
    const uint64_t nNewCapacity = static_cast<uint64_t>(nUsed) + table.Step();
    // Indices are handed out as signed 32-bit numbers.
    if (nNewCapacity > 0x7FFFFFFFull)
        return false;
    table.Regrow(nUsed, static_cast<uint32_t>(nNewCapacity));
    return true;
}

// The substring ID of a localized-string entry, given as GetStringByIndex
// splits it. Reading ID W stores language W / 2 and gender W % 2 (both
// rounded toward zero); for a negative odd W that gender is the byte 255, and
// the entry is kept as W + 256. Such an entry is written as W again, so that
// saving what was opened gives back the same file instead of moving the
// entry by 256 with every save and reopen.
uint32_t SubstringId(int32_t nLanguage, uint8_t nGender)
{
    const uint32_t nTwice = static_cast<uint32_t>(nLanguage) * 2u;
    if (nGender == 255)
        return nTwice - 257u;
    return nTwice + nGender;
}

} // namespace

int32_t CResKVT::AddStruct(uint32_t nStructID)
{
    if (IsBorrowed())
        MakeEditable();
    if (m_header.Data() == nullptr || m_structs.Data() == nullptr)
        return -1;
    const uint32_t nIndex = m_header.Data()->structCount;
    if (!GrowTable(m_structs, nIndex))
        return -1;
    m_structs.Data()[nIndex] = KvtStruct_st{nStructID, kNone, 0};
    m_header.Data()->structCount = nIndex + 1;
    ForgetLookups();
    return static_cast<int32_t>(nIndex);
}

int32_t CResKVT::AddLabel(const char* pLabel)
{
    if (IsBorrowed())
        MakeEditable();
    if (m_header.Data() == nullptr || m_labels.Data() == nullptr || pLabel == nullptr)
        return -1;
    const KvtLabel_st key = MakeLabelKey(pLabel);
    const uint32_t nCount = m_header.Data()->labelCount;
    if (nCount <= kLinearSearchLabels) {
        for (uint32_t i = nCount; i-- > 0;)
            if (std::memcmp(m_labels.Data()[i].name, key.name, 16) == 0)
                return static_cast<int32_t>(i);
    } else {
        if (m_pLabelTableIndex == nullptr)
            m_pLabelTableIndex = new CKvtLabelTableIndex;
        const int32_t nFound = m_pLabelTableIndex->FindLast(m_labels.Data(), nCount, KvtLabelKey::FromBytes(key.name));
        if (nFound >= 0)
            return nFound;
    }
    if (!GrowTable(m_labels, nCount))
        return -1;
    m_labels.Data()[nCount] = key;
    m_header.Data()->labelCount = nCount + 1;
    ForgetLookups();
    return static_cast<int32_t>(nCount);
}

TKvtTable<uint8_t>& CResKVT::AreaTable(TArea eArea)
{
    switch (eArea) {
    case TArea::FieldIndices: return m_fieldIndices;
    case TArea::ListIndices: return m_listIndices;
    case TArea::FieldData: break;
    }
    return m_fieldData;
}

uint32_t CResKVT::GetAreaUsed(TArea eArea) const
{
    switch (eArea) {
    case TArea::FieldData: return m_header.Data()->fieldDataSize;
    case TArea::FieldIndices: return m_header.Data()->fieldIndicesSize;
    case TArea::ListIndices: return m_header.Data()->listIndicesSize;
    }
    return 0;
}

void CResKVT::SetAreaUsed(TArea eArea, uint32_t nUsed)
{
    switch (eArea) {
    case TArea::FieldData: m_header.Data()->fieldDataSize = nUsed; break;
    case TArea::FieldIndices: m_header.Data()->fieldIndicesSize = nUsed; break;
    case TArea::ListIndices: m_header.Data()->listIndicesSize = nUsed; break;
    }
}

int64_t CResKVT::ReserveBlock(TArea eArea, uint32_t nOldOffset, uint32_t nOldSize, uint32_t nNewSize)
{
    if (IsBorrowed())
        MakeEditable();
    TKvtTable<uint8_t>& area = AreaTable(eArea);
    // Moved field data is not counted: only the index areas are compacted.
    uint32_t* pAbandoned = eArea == TArea::FieldIndices  ? &m_nFieldIndicesAbandoned
                           : eArea == TArea::ListIndices ? &m_nListIndicesAbandoned
                                                         : nullptr;
    if (m_header.Data() == nullptr || area.Data() == nullptr)
        return -1;
    const uint32_t nUsed = GetAreaUsed(eArea);
    const uint64_t nOldEnd = static_cast<uint64_t>(nOldOffset) + nOldSize;
    // A block grows in place only while it is the last one of its area.
    const bool bInPlace = nOldEnd == nUsed;
    // A block to be moved must lie inside the area (a damaged record may say otherwise).
    if (!bInPlace && nOldSize > 0 && nOldEnd > nUsed)
        return -1;
    if (nNewSize < nOldSize)
        return -1;
    const uint32_t nStart = bInPlace ? nOldOffset : nUsed;
    const uint64_t nEnd = static_cast<uint64_t>(nStart) + nNewSize;
    if (nEnd >= area.Capacity()) {
        const uint64_t nNewCapacity = nEnd + area.Step();
        if (nNewCapacity > 0xFFFFFFFFull)
            return -1;
        area.Regrow(nUsed, static_cast<uint32_t>(nNewCapacity));
    }
    if (nStart != nOldOffset && nOldSize > 0) {
        std::memcpy(area.Data() + nStart, area.Data() + nOldOffset, nOldSize);
        // The old copy stays where it was: unused bytes until compaction.
        if (pAbandoned != nullptr)
            *pAbandoned += nOldSize;
    }
    SetAreaUsed(eArea, static_cast<uint32_t>(nEnd));
    ForgetLookups();
    return nStart;
}

int64_t CResKVT::ReserveFieldData(uint32_t nOldOffset, uint32_t nOldSize, uint32_t nNewSize)
{
    return ReserveBlock(TArea::FieldData, nOldOffset, nOldSize, nNewSize);
}

void CResKVT::MakeRoomForFieldData(uint64_t nBytes)
{
    if (IsBorrowed())
        MakeEditable();
    if (m_header.Data() == nullptr || m_fieldData.Data() == nullptr)
        return;
    const uint32_t nUsed = GetAreaUsed(TArea::FieldData);
    // A block may end one byte short of the capacity without a move.
    const uint64_t nNeeded = static_cast<uint64_t>(nUsed) + nBytes + 1;
    if (nNeeded > m_fieldData.Capacity() && nNeeded <= 0xFFFFFFFFull)
        m_fieldData.Regrow(nUsed, static_cast<uint32_t>(nNeeded));
}

namespace {

// Room for nMore records after the nUsed ones, so that adding them never
// grows the table (GrowTable grows when the next index reaches the capacity).
template <typename T> void MakeRoomInTable(TKvtTable<T>& table, uint32_t nUsed, uint64_t nMore)
{
    const uint64_t nNeeded = static_cast<uint64_t>(nUsed) + nMore;
    if (table.Data() != nullptr && nNeeded > table.Capacity() && nNeeded <= 0x7FFFFFFFull)
        table.Regrow(nUsed, static_cast<uint32_t>(nNeeded));
}

} // namespace

void CResKVT::MakeRoomForRecords(uint64_t nFields, uint64_t nStructs, uint64_t nFieldIndices)
{
    if (IsBorrowed())
        MakeEditable();
    if (m_header.Data() == nullptr)
        return;
    MakeRoomInTable(m_fields, m_header.Data()->fieldCount, nFields);
    MakeRoomInTable(m_structs, m_header.Data()->structCount, nStructs);
    if (m_pBuiltFieldIndices != nullptr && nFieldIndices <= 0xFFFFFFFFull)
        m_pBuiltFieldIndices->Reserve(static_cast<size_t>(nFieldIndices));
}

void CResKVT::ExpectFieldCount(const CKvtStructHandle* pStruct, int32_t nFields)
{
    // One field needs no array; a struct with fields already has its own.
    if (m_pBuiltFieldIndices == nullptr || nFields < 2 || ResolveStruct(pStruct) == nullptr ||
        m_structs.Data()[pStruct->nStructIndex].fieldCount != 0)
        return;
    m_pBuiltFieldIndices->Expect(pStruct->nStructIndex, static_cast<uint32_t>(nFields));
}

int64_t CResKVT::ReserveFieldIndices(uint32_t nOldOffset, uint32_t nOldSize, uint32_t nNewSize)
{
    // A block asked for from outside is written by the caller as bytes.
    MaterializeFieldIndices();
    return ReserveBlock(TArea::FieldIndices, nOldOffset, nOldSize, nNewSize);
}

int64_t CResKVT::ReserveBuiltFieldIndices(uint32_t nStruct, uint32_t nOldOffset, uint32_t nOldSize, uint32_t nNewSize)
{
    // The arithmetic of ReserveBlock, step for step, on the area's numbers;
    // only the bytes are kept elsewhere.
    const uint32_t nUsed = m_header.Data()->fieldIndicesSize;
    const uint64_t nOldEnd = static_cast<uint64_t>(nOldOffset) + nOldSize;
    const bool bInPlace = nOldEnd == nUsed;
    if (!bInPlace && nOldSize > 0 && nOldEnd > nUsed)
        return -1;
    if (nNewSize < nOldSize)
        return -1;
    const uint32_t nStart = bInPlace ? nOldOffset : nUsed;
    const uint64_t nEnd = static_cast<uint64_t>(nStart) + nNewSize;
    if (nEnd >= m_fieldIndices.Capacity()) {
        const uint64_t nNewCapacity = nEnd + m_fieldIndices.Step();
        if (nNewCapacity > 0xFFFFFFFFull)
            return -1;
        m_fieldIndices.CountGrowth(static_cast<uint32_t>(nNewCapacity));
    }
    if (nStart != nOldOffset && nOldSize > 0) {
        m_pBuiltFieldIndices->Abandon(nOldOffset, nStruct, nOldSize / 4);
        m_nFieldIndicesAbandoned += nOldSize;
    }
    m_header.Data()->fieldIndicesSize = static_cast<uint32_t>(nEnd);
    ForgetLookups();
    return nStart;
}

int64_t CResKVT::ReserveListIndices(uint32_t nOldOffset, uint32_t nOldSize, uint32_t nNewSize)
{
    return ReserveBlock(TArea::ListIndices, nOldOffset, nOldSize, nNewSize);
}

KvtField_st* CResKVT::AddField(const CKvtStructHandle* pStruct, const char* pLabel, uint32_t nType)
{
    if (IsBorrowed())
        MakeEditable();
    if (pLabel == nullptr || ResolveStruct(pStruct) == nullptr || m_fields.Data() == nullptr)
        return nullptr;
    const uint32_t nStruct = pStruct->nStructIndex;
    const uint32_t nField = m_header.Data()->fieldCount;
    if (!GrowTable(m_fields, nField))
        return nullptr;

    // Attach the new field to its struct before counting it, so that a failed
    // reservation leaves no half-made field behind.
    const uint32_t nHeld = m_structs.Data()[nStruct].fieldCount;
    if (nHeld == 0) {
        m_structs.Data()[nStruct].data = nField;
    } else if (nHeld == 1) {
        const bool bBuilt = m_pBuiltFieldIndices != nullptr;
        const int64_t nOffset =
            bBuilt ? ReserveBuiltFieldIndices(nStruct, kNone, 0, 8) : ReserveBlock(TArea::FieldIndices, kNone, 0, 8);
        if (nOffset < 0)
            return nullptr;
        if (bBuilt) {
            m_pBuiltFieldIndices->Start(nStruct, m_structs.Data()[nStruct].data, nField);
        } else {
            StoreU32(m_fieldIndices.Data() + nOffset, m_structs.Data()[nStruct].data);
            StoreU32(m_fieldIndices.Data() + nOffset + 4, nField);
        }
        m_structs.Data()[nStruct].data = static_cast<uint32_t>(nOffset);
    } else {
        const uint64_t nNewSize = (static_cast<uint64_t>(nHeld) + 1) * 4;
        if (nNewSize > 0xFFFFFFFFull)
            return nullptr;
        const bool bBuilt = m_pBuiltFieldIndices != nullptr;
        const uint32_t nOldOffset = m_structs.Data()[nStruct].data;
        const uint32_t nSize = static_cast<uint32_t>(nNewSize);
        const int64_t nOffset = bBuilt ? ReserveBuiltFieldIndices(nStruct, nOldOffset, nHeld * 4, nSize)
                                       : ReserveBlock(TArea::FieldIndices, nOldOffset, nHeld * 4, nSize);
        if (nOffset < 0)
            return nullptr;
        if (bBuilt)
            m_pBuiltFieldIndices->Append(nStruct, nHeld, nField);
        else
            StoreU32(m_fieldIndices.Data() + nOffset + static_cast<uint64_t>(nHeld) * 4, nField);
        m_structs.Data()[nStruct].data = static_cast<uint32_t>(nOffset);
    }
    m_structs.Data()[nStruct].fieldCount = nHeld + 1;
    m_header.Data()->fieldCount = nField + 1;
    const int32_t nLabel = AddLabel(pLabel);
    m_fields.Data()[nField] = KvtField_st{nType, static_cast<uint32_t>(nLabel), kNone};
    ForgetLookups();
    // More fields and labels may let a lookup that stopped early go further.
    if (m_pFieldLabelIndex != nullptr)
        m_pFieldLabelIndex->ForgetStopped();
    return &m_fields.Data()[nField];
}

KvtField_st* CResKVT::AddFieldWithData(const CKvtStructHandle* pStruct, const char* pLabel, uint32_t nType,
                                       const void* pBytes, uint32_t nSize)
{
    KvtField_st* pField = AddField(pStruct, pLabel, nType);
    if (pField == nullptr)
        return nullptr;
    const int64_t nOffset = ReserveFieldData(kNone, 0, nSize);
    if (nOffset < 0)
        return nullptr;
    if (nSize > 0)
        std::memcpy(m_fieldData.Data() + nOffset, pBytes, nSize);
    pField->data = static_cast<uint32_t>(nOffset);
    return pField;
}

bool CResKVT::AddInlineField(const CKvtStructHandle* pStruct, const char* pLabel, uint32_t nType, uint32_t nData)
{
    KvtField_st* pField = AddField(pStruct, pLabel, nType);
    if (pField != nullptr)
        pField->data = nData;
    return pField != nullptr;
}

// Small integers are stored zero- or sign-extended to 32 bits.
bool CResKVT::WriteBYTE(const CKvtStructHandle* pStruct, uint8_t nValue, const char* pLabel)
{
    return AddInlineField(pStruct, pLabel, KVT_BYTE, nValue);
}

bool CResKVT::WriteCHAR(const CKvtStructHandle* pStruct, int8_t nValue, const char* pLabel)
{
    return AddInlineField(pStruct, pLabel, KVT_CHAR, static_cast<uint32_t>(static_cast<int32_t>(nValue)));
}

bool CResKVT::WriteWORD(const CKvtStructHandle* pStruct, uint16_t nValue, const char* pLabel)
{
    return AddInlineField(pStruct, pLabel, KVT_WORD, nValue);
}

bool CResKVT::WriteSHORT(const CKvtStructHandle* pStruct, int16_t nValue, const char* pLabel)
{
    return AddInlineField(pStruct, pLabel, KVT_SHORT, static_cast<uint32_t>(static_cast<int32_t>(nValue)));
}

bool CResKVT::WriteDWORD(const CKvtStructHandle* pStruct, uint32_t nValue, const char* pLabel)
{
    return AddInlineField(pStruct, pLabel, KVT_DWORD, nValue);
}

bool CResKVT::WriteINT(const CKvtStructHandle* pStruct, int32_t nValue, const char* pLabel)
{
    return AddInlineField(pStruct, pLabel, KVT_INT, static_cast<uint32_t>(nValue));
}

bool CResKVT::WriteFLOAT(const CKvtStructHandle* pStruct, float fValue, const char* pLabel)
{
    uint32_t nBits;
    std::memcpy(&nBits, &fValue, 4);
    return AddInlineField(pStruct, pLabel, KVT_FLOAT, nBits);
}

bool CResKVT::WriteDWORD64(const CKvtStructHandle* pStruct, uint64_t nValue, const char* pLabel)
{
    return AddFieldWithData(pStruct, pLabel, KVT_DWORD64, &nValue, 8) != nullptr;
}

bool CResKVT::WriteINT64(const CKvtStructHandle* pStruct, int64_t nValue, const char* pLabel)
{
    return AddFieldWithData(pStruct, pLabel, KVT_INT64, &nValue, 8) != nullptr;
}

bool CResKVT::WriteDOUBLE(const CKvtStructHandle* pStruct, double fValue, const char* pLabel)
{
    return AddFieldWithData(pStruct, pLabel, KVT_DOUBLE, &fValue, 8) != nullptr;
}

bool CResKVT::WriteSTRING(const CKvtStructHandle* pStruct, const COroString& sValue, const char* pLabel)
{
    KvtField_st* pField = AddField(pStruct, pLabel, KVT_STRING);
    if (pField == nullptr)
        return false;
    const uint32_t nLength = static_cast<uint32_t>(sValue.GetLength());
    const int64_t nOffset = ReserveFieldData(kNone, 0, nLength + 4);
    if (nOffset < 0)
        return false;
    StoreU32(m_fieldData.Data() + nOffset, nLength);
    if (nLength > 0)
        std::memcpy(m_fieldData.Data() + nOffset + 4, sValue.CStr(), nLength);
    pField->data = static_cast<uint32_t>(nOffset);
    return true;
}

bool CResKVT::WriteRESREF(const CKvtStructHandle* pStruct, const CResRef& rValue, const char* pLabel)
{
    KvtField_st* pField = AddField(pStruct, pLabel, KVT_RESREF);
    if (pField == nullptr)
        return false;
    const uint32_t nLength = rValue.GetLength();
    const int64_t nOffset = ReserveFieldData(kNone, 0, nLength + 1);
    if (nOffset < 0)
        return false;
    uint8_t* pBlock = m_fieldData.Data() + nOffset;
    pBlock[0] = static_cast<uint8_t>(nLength);
    for (uint32_t i = 0; i < nLength; ++i)
        pBlock[1 + i] = static_cast<uint8_t>(AsciiLower(rValue.GetResRef()[i]));
    pField->data = static_cast<uint32_t>(nOffset);
    return true;
}

bool CResKVT::WriteLOCSTRING(const CKvtStructHandle* pStruct, const COroLocString& lsValue, const char* pLabel)
{
    const int32_t nCount = lsValue.GetStringCount();
    uint64_t nTotal = 8;
    for (int32_t i = 0; i < nCount; ++i)
        nTotal += 8 + static_cast<uint64_t>(static_cast<uint32_t>(lsValue.GetStringLength(static_cast<uint32_t>(i))));
    if (nTotal + 4 > 0xFFFFFFFFull)
        return false;
    KvtField_st* pField = AddField(pStruct, pLabel, KVT_LOCSTRING);
    if (pField == nullptr)
        return false;
    const int64_t nOffset = ReserveFieldData(kNone, 0, static_cast<uint32_t>(nTotal + 4));
    if (nOffset < 0)
        return false;
    pField->data = static_cast<uint32_t>(nOffset);
    uint8_t* pOut = m_fieldData.Data() + nOffset;
    StoreU32(pOut, static_cast<uint32_t>(nTotal));
    StoreU32(pOut + 4, static_cast<uint32_t>(lsValue.StrRef));
    StoreU32(pOut + 8, static_cast<uint32_t>(nCount));
    pOut += 12;
    bool bAllWritten = true;
    for (int32_t i = 0; i < nCount; ++i) {
        // The size was computed from these lengths: write exactly that many bytes.
        const uint32_t nLength = static_cast<uint32_t>(lsValue.GetStringLength(static_cast<uint32_t>(i)));
        int32_t nLanguage = 0;
        uint8_t nGender = 0;
        COroString sText;
        const bool bEntry = lsValue.GetStringByIndex(static_cast<uint32_t>(i), nLanguage, sText, nGender) != 0;
        // A missing entry is written as language -1, gender 0, without text.
        const uint32_t nId = bEntry ? SubstringId(nLanguage, nGender) : 0xFFFFFFFEu;
        const uint32_t nTextLength = bEntry ? nLength : 0;
        if (!bEntry)
            bAllWritten = false;
        StoreU32(pOut, nId);
        StoreU32(pOut + 4, nTextLength);
        const uint32_t nHave = static_cast<uint32_t>(sText.GetLength());
        const uint32_t nCopy = nHave < nTextLength ? nHave : nTextLength;
        if (nCopy > 0)
            std::memcpy(pOut + 8, sText.CStr(), nCopy);
        if (nLength > nCopy)
            std::memset(pOut + 8 + nCopy, 0, nLength - nCopy);
        pOut += 8 + static_cast<size_t>(nLength);
    }
    return bAllWritten;
}

bool CResKVT::WriteBINARY(const CKvtStructHandle* pStruct, const void* pData, uint32_t nSize, const char* pLabel)
{
    if ((pData == nullptr && nSize > 0) || nSize > 0xFFFFFFFFu - 4)
        return false;
    KvtField_st* pField = AddField(pStruct, pLabel, KVT_BINARY);
    if (pField == nullptr)
        return false;
    const int64_t nOffset = ReserveFieldData(kNone, 0, nSize + 4);
    if (nOffset < 0)
        return false;
    StoreU32(m_fieldData.Data() + nOffset, nSize);
    if (nSize > 0)
        std::memcpy(m_fieldData.Data() + nOffset + 4, pData, nSize);
    pField->data = static_cast<uint32_t>(nOffset);
    return true;
}

bool CResKVT::AddStructField(CKvtStructHandle* pOut, const CKvtStructHandle* pParent, const char* pLabel,
                             uint32_t nStructID)
{
    if (pOut == nullptr)
        return false;
    KvtField_st* pField = AddField(pParent, pLabel, KVT_STRUCT);
    if (pField == nullptr)
        return false;
    const int32_t nStruct = AddStruct(nStructID);
    if (nStruct < 0)
        return false;
    pField->data = static_cast<uint32_t>(nStruct);
    pOut->nStructIndex = static_cast<uint32_t>(nStruct);
    return true;
}

bool CResKVT::AddList(CKvtListHandle* pOut, const CKvtStructHandle* pParent, const char* pLabel)
{
    if (pOut == nullptr)
        return false;
    KvtField_st* pField = AddField(pParent, pLabel, KVT_LIST);
    if (pField == nullptr)
        return false;
    const int64_t nOffset = ReserveListIndices(kNone, 0, 4);
    if (nOffset < 0)
        return false;
    StoreU32(m_listIndices.Data() + nOffset, 0);
    pField->data = static_cast<uint32_t>(nOffset);
    const KvtLabel_st key = MakeLabelKey(pLabel);
    pOut->nStructIndex = pParent->nStructIndex;
    std::memcpy(pOut->label, key.name, 16);
    return true;
}

bool CResKVT::AddListElement(CKvtStructHandle* pOut, const CKvtListHandle* pList, uint32_t nStructID)
{
    if (pOut == nullptr || pList == nullptr)
        return false;
    if (IsBorrowed())
        MakeEditable();
    KvtField_st* pField = FindListField(pList);
    if (pField == nullptr)
        return false;
    const std::span<const uint8_t> entry = FieldData(pField, 4);
    CByteReader reader(entry);
    const uint32_t nCount = reader.U32();
    const uint64_t nOldSize = (static_cast<uint64_t>(nCount) + 1) * 4;
    if (!reader.Ok() || nOldSize > entry.size() || nOldSize + 4 > 0xFFFFFFFFull)
        return false;
    const int64_t nOffset =
        ReserveListIndices(pField->data, static_cast<uint32_t>(nOldSize), static_cast<uint32_t>(nOldSize + 4));
    if (nOffset < 0)
        return false;
    pField->data = static_cast<uint32_t>(nOffset);
    const int32_t nStruct = AddStruct(nStructID);
    if (nStruct < 0)
        return false;
    uint8_t* pEntry = m_listIndices.Data() + nOffset;
    StoreU32(pEntry, nCount + 1);
    StoreU32(pEntry + nOldSize, static_cast<uint32_t>(nStruct));
    pOut->nStructIndex = static_cast<uint32_t>(nStruct);
    return true;
}

bool CResKVT::CreateNew(CKvtStructHandle* pOut, const COroString& sFileType)
{
    if (pOut == nullptr || sFileType.GetLength() < 4)
        return false;
    if (IsBorrowed())
        Detach();
    // Meant for an empty object: one that already holds data is left alone.
    if (m_header.Data() != nullptr)
        return false;
    MakeEditable();
    // A file built from nothing keeps its field indices as arrays per struct
    // (see kvtfieldindexarrays.h): the same file, in linear time and memory.
    m_fieldIndices.DropRecords();
    m_pBuiltFieldIndices = new CKvtFieldIndexArrays;
    std::memcpy(m_header.Data()->fileType, sFileType.CStr(), 4);
    std::memcpy(m_header.Data()->version, kVersion, 4);
    const int32_t nTop = AddStruct(kNone);
    if (nTop < 0)
        return false;
    pOut->nStructIndex = static_cast<uint32_t>(nTop);
    return true;
}
