// CResKVT: resolving structs, fields and lists, and the structure queries.
// Every reference read from the tables is checked against its table or block
// in 64-bit arithmetic before it is followed.

#include <cstring>

#include "bytereader.h"
#include "kvtfieldindexarrays.h"
#include "kvtfieldlabelindex.h"
#include "kvtlookupmemo.h"
#include "orobase.h"
#include "reskvt.h"
#include "reskvtinternal.h"

using namespace reskvt;

namespace {

// Structs up to this many fields are searched linearly; wider ones through the index.
constexpr uint32_t kLinearSearchFields = 8;

} // namespace

const KvtStruct_st* CResKVT::ResolveStruct(const CKvtStructHandle* pStruct) const
{
    if (pStruct == nullptr || m_header.Data() == nullptr || m_structs.Data() == nullptr)
        return nullptr;
    if (pStruct->nStructIndex >= m_header.Data()->structCount)
        return nullptr;
    return &m_structs.Data()[pStruct->nStructIndex];
}

KvtField_st* CResKVT::ResolveField(const KvtStruct_st* pRecord, uint32_t nIndex) const
{
    if (pRecord == nullptr || m_fields.Data() == nullptr)
        return nullptr;
    const uint32_t nCount = pRecord->fieldCount;
    if (nIndex >= nCount)
        return nullptr;
    uint32_t nField;
    if (nCount == 1) {
        nField = pRecord->data;
    } else {
        if (!HasFieldIndicesArea())
            return nullptr;
        const uint64_t nEnd = (static_cast<uint64_t>(nIndex) + 1) * 4 + pRecord->data;
        if (nEnd > m_header.Data()->fieldIndicesSize)
            return nullptr;
        if (m_pBuiltFieldIndices != nullptr)
            nField = m_pBuiltFieldIndices->Get(static_cast<uint32_t>(pRecord - m_structs.Data()), nIndex);
        else
            nField = LoadU32(m_fieldIndices.Data() + pRecord->data + static_cast<uint64_t>(nIndex) * 4);
    }
    if (nField >= m_header.Data()->fieldCount)
        return nullptr;
    return &m_fields.Data()[nField];
}

int32_t CResKVT::LinearFindByKey(const KvtStruct_st* pRecord, KvtLabelKey key) const
{
    for (uint32_t i = 0; i < pRecord->fieldCount; ++i) {
        const KvtField_st* pField = ResolveField(pRecord, i);
        if (pField == nullptr || m_labels.Data() == nullptr || pField->labelIndex >= m_header.Data()->labelCount)
            break;
        if (KvtLabelKey::FromBytes(m_labels.Data()[pField->labelIndex].name) == key)
            return static_cast<int32_t>(i);
    }
    return -1;
}

int32_t CResKVT::FindIndexByKey(uint32_t nStructIndex, KvtLabelKey labelKey)
{
    int32_t nIndex = -1;
    if (m_pLookupMemo != nullptr && m_pLookupMemo->Get(nStructIndex, labelKey, nIndex))
        return nIndex;
    const CKvtStructHandle handle{nStructIndex};
    const KvtStruct_st* pRecord = ResolveStruct(&handle);
    if (pRecord == nullptr)
        return -1;
    if (m_pLookupMemo == nullptr)
        m_pLookupMemo = new CKvtLookupMemo;
    if (pRecord->fieldCount <= kLinearSearchFields) {
        nIndex = LinearFindByKey(pRecord, labelKey);
    } else {
        if (m_pFieldLabelIndex == nullptr)
            m_pFieldLabelIndex = new CKvtFieldLabelIndex;
        auto probe = [this, pRecord](uint32_t nField) -> const void* {
            const KvtField_st* pField = ResolveField(pRecord, nField);
            if (pField == nullptr || m_labels.Data() == nullptr || pField->labelIndex >= m_header.Data()->labelCount)
                return nullptr;
            return m_labels.Data()[pField->labelIndex].name;
        };
        nIndex = m_pFieldLabelIndex->Find(nStructIndex, pRecord->fieldCount, labelKey, probe);
    }
    m_pLookupMemo->Put(nStructIndex, labelKey, nIndex);
    return nIndex;
}

KvtField_st* CResKVT::FindField(const CKvtStructHandle* pStruct, const char* pLabel, int32_t nIndex)
{
    const KvtStruct_st* pRecord = ResolveStruct(pStruct);
    if (pRecord == nullptr)
        return nullptr;
    if (pLabel == nullptr)
        return nIndex >= 0 ? ResolveField(pRecord, static_cast<uint32_t>(nIndex)) : nullptr;
    // A field is usually looked up by its label several times in a row (its
    // type, then its value): the field found the first time is remembered.
    const KvtLabelKey key = pLabel == m_labelResult ? KvtLabelKey{m_labelResultKey[0], m_labelResultKey[1]}
                                                    : KvtLabelKey::FromText(pLabel);
    uint32_t nField = 0;
    if (m_pLookupMemo != nullptr && m_pLookupMemo->GetField(pStruct->nStructIndex, key, nField))
        return nField == CKvtLookupMemo::kNoField ? nullptr : &m_fields.Data()[nField];
    nIndex = FindIndexByKey(pStruct->nStructIndex, key);
    KvtField_st* pField = nIndex >= 0 ? ResolveField(pRecord, static_cast<uint32_t>(nIndex)) : nullptr;
    NoteFoundField(pStruct->nStructIndex, key, pField);
    return pField;
}

void CResKVT::NoteFoundField(uint32_t nStructIndex, KvtLabelKey key, const KvtField_st* pField)
{
    if (m_pLookupMemo != nullptr)
        m_pLookupMemo->NoteField(nStructIndex, key,
                                 pField != nullptr ? static_cast<uint32_t>(pField - m_fields.Data()) : CKvtLookupMemo::kNoField);
}

void CResKVT::ReleaseStructIndex(const CKvtStructHandle* pStruct)
{
    if (pStruct != nullptr && m_pFieldLabelIndex != nullptr)
        m_pFieldLabelIndex->Release(pStruct->nStructIndex);
}

bool CResKVT::GetTopLevelStruct(CKvtStructHandle* pOut)
{
    if (pOut == nullptr)
        return false;
    pOut->nStructIndex = 0;
    return true;
}

int32_t CResKVT::GetStructID(const CKvtStructHandle* pStruct)
{
    const KvtStruct_st* pRecord = ResolveStruct(pStruct);
    return pRecord != nullptr ? static_cast<int32_t>(pRecord->structID) : -1;
}

int32_t CResKVT::GetFieldCount(const CKvtStructHandle* pStruct)
{
    const KvtStruct_st* pRecord = ResolveStruct(pStruct);
    return pRecord != nullptr ? static_cast<int32_t>(pRecord->fieldCount) : -1;
}

int32_t CResKVT::GetAddressableFieldCount(const CKvtStructHandle* pStruct)
{
    const KvtStruct_st* pRecord = ResolveStruct(pStruct);
    if (pRecord == nullptr)
        return -1;
    const uint32_t nCount = pRecord->fieldCount;
    if (nCount <= 1)
        return static_cast<int32_t>(nCount);
    if (!HasFieldIndicesArea() || pRecord->data >= m_header.Data()->fieldIndicesSize)
        return 0;
    const uint32_t nFit = (m_header.Data()->fieldIndicesSize - pRecord->data) / 4;
    return static_cast<int32_t>(nCount < nFit ? nCount : nFit);
}

int32_t CResKVT::GetFieldIndexByLabel(const CKvtStructHandle* pStruct, const char* pLabel)
{
    if (pStruct == nullptr || pLabel == nullptr)
        return -1;
    return FindIndexByKey(pStruct->nStructIndex, KvtLabelKey::FromText(pLabel));
}

int32_t CResKVT::GetFieldType(const CKvtStructHandle* pStruct, const char* pLabel, int32_t nIndex)
{
    const KvtField_st* pField = FindField(pStruct, pLabel, nIndex);
    return pField != nullptr ? static_cast<int32_t>(pField->type) : -1;
}

const char* CResKVT::GetFieldLabel(const CKvtStructHandle* pStruct, int32_t nIndex)
{
    if (nIndex < 0)
        return nullptr;
    const KvtField_st* pField = ResolveField(ResolveStruct(pStruct), static_cast<uint32_t>(nIndex));
    if (pField == nullptr || m_labels.Data() == nullptr || pField->labelIndex >= m_header.Data()->labelCount)
        return nullptr;
    return SetLabelResult(m_labels.Data()[pField->labelIndex].name);
}

const char* CResKVT::GetFieldLabelAndType(const CKvtStructHandle* pStruct, int32_t nIndex, int32_t* pType)
{
    const KvtStruct_st* pRecord = ResolveStruct(pStruct);
    const KvtField_st* pField = nIndex >= 0 ? ResolveField(pRecord, static_cast<uint32_t>(nIndex)) : nullptr;
    if (pField == nullptr || m_labels.Data() == nullptr || pField->labelIndex >= m_header.Data()->labelCount) {
        // No label: the type is looked up as for an empty one.
        *pType = GetFieldType(pStruct, "", nIndex);
        return nullptr;
    }
    SetLabelResult(m_labels.Data()[pField->labelIndex].name);
    // The field itself is the first of its label unless an earlier one has
    // it too, or bytes after a zero make its stored label differ from its text.
    const KvtLabelKey key{m_labelResultKey[0], m_labelResultKey[1]};
    const int32_t nFirst = FindIndexByKey(pStruct->nStructIndex, key);
    const KvtField_st* pFirst = pField;
    if (nFirst != nIndex)
        pFirst = nFirst >= 0 ? ResolveField(pRecord, static_cast<uint32_t>(nFirst)) : nullptr;
    NoteFoundField(pStruct->nStructIndex, key, pFirst);
    *pType = pFirst != nullptr ? static_cast<int32_t>(pFirst->type) : -1;
    return m_labelResult;
}

const char* CResKVT::SetLabelResult(const char* pName)
{
    std::memcpy(m_labelResult, pName, 16);
    m_labelResult[16] = '\0';
    const KvtLabelKey key = KvtLabelKey::FromBytes(pName).AsText();
    m_labelResultKey[0] = key.lo;
    m_labelResultKey[1] = key.hi;
    return m_labelResult;
}

std::span<const uint8_t> CResKVT::FieldData(const KvtField_st* pField, uint64_t nMinSize) const
{
    const bool bList = pField->type == KVT_LIST;
    const uint8_t* pArea = bList ? m_listIndices.Data() : m_fieldData.Data();
    if (pArea == nullptr)
        return {};
    const uint32_t nAreaSize = bList ? m_header.Data()->listIndicesSize : m_header.Data()->fieldDataSize;
    if (pField->data >= nAreaSize || nAreaSize - pField->data < nMinSize)
        return {};
    return std::span<const uint8_t>(pArea + pField->data, nAreaSize - pField->data);
}

std::optional<std::span<const uint8_t>> CResKVT::PrefixedValue(const KvtField_st* pField, uint32_t nPrefix) const
{
    CByteReader reader(FieldData(pField, nPrefix));
    const uint32_t nLength = nPrefix == 1 ? reader.U8() : reader.U32();
    const std::span<const uint8_t> value = reader.Bytes(nLength);
    if (!reader.Ok())
        return std::nullopt;
    return value;
}

uint32_t CResKVT::GetFieldSize(const CKvtStructHandle* pStruct, const char* pLabel, int32_t nIndex)
{
    const KvtField_st* pField = FindField(pStruct, pLabel, nIndex);
    if (pField == nullptr)
        return 0;
    switch (pField->type) {
    case KVT_BYTE:
    case KVT_CHAR: return 1;
    case KVT_WORD:
    case KVT_SHORT: return 2;
    case KVT_DWORD:
    case KVT_INT:
    case KVT_FLOAT: return 4;
    case KVT_DWORD64:
    case KVT_INT64:
    case KVT_DOUBLE: return 8;
    case KVT_STRING:
    case KVT_BINARY:
    case KVT_RESREF: {
        const auto value = PrefixedValue(pField, pField->type == KVT_RESREF ? 1 : 4);
        return value ? static_cast<uint32_t>(value->size()) : 0;
    }
    case KVT_LOCSTRING:
    case KVT_STRUCT:
    case KVT_LIST: return 0;
    default: OroWarning(kModule, kLineUnknownType, "Unknown KVT field type"); return 0;
    }
}

uint32_t CResKVT::GetFieldValueBytes(const CKvtStructHandle* pStruct, const char* pLabel)
{
    const KvtField_st* pField = pLabel != nullptr ? FindField(pStruct, pLabel, -1) : nullptr;
    if (pField == nullptr)
        return 0;
    std::optional<std::span<const uint8_t>> value;
    switch (pField->type) {
    case KVT_STRING:
    case KVT_BINARY:
    case KVT_LOCSTRING: value = PrefixedValue(pField, 4); break;
    case KVT_RESREF: value = PrefixedValue(pField, 1); break;
    default: break;
    }
    return value ? static_cast<uint32_t>(value->size()) : 0;
}

bool CResKVT::GetStructField(CKvtStructHandle* pOut, const CKvtStructHandle* pStruct, const char* pLabel)
{
    if (pOut == nullptr || pLabel == nullptr)
        return false;
    const KvtField_st* pField = FindField(pStruct, pLabel, -1);
    if (pField == nullptr || pField->type != KVT_STRUCT)
        return false;
    // Not checked against the struct count here: the next use of the handle does.
    pOut->nStructIndex = pField->data;
    return true;
}

bool CResKVT::GetList(CKvtListHandle* pOut, const CKvtStructHandle* pStruct, const char* pLabel)
{
    if (pOut == nullptr || pLabel == nullptr)
        return false;
    const KvtField_st* pField = FindField(pStruct, pLabel, -1);
    if (pField == nullptr || pField->type != KVT_LIST || FieldData(pField, 4).empty())
        return false;
    const KvtLabel_st key = MakeLabelKey(pLabel);
    pOut->nStructIndex = pStruct->nStructIndex;
    std::memcpy(pOut->label, key.name, 16);
    return true;
}

KvtField_st* CResKVT::FindListField(const CKvtListHandle* pList)
{
    if (pList == nullptr)
        return nullptr;
    const CKvtStructHandle handle{pList->nStructIndex};
    const KvtStruct_st* pRecord = ResolveStruct(&handle);
    if (pRecord == nullptr)
        return nullptr;
    // The 16 label bytes are the key as they stand: a full label has no terminator.
    const int32_t nIndex = FindIndexByKey(pList->nStructIndex, KvtLabelKey::FromBytes(pList->label));
    if (nIndex < 0)
        return nullptr;
    KvtField_st* pField = ResolveField(pRecord, static_cast<uint32_t>(nIndex));
    if (pField == nullptr || pField->type != KVT_LIST)
        return nullptr;
    return pField;
}

int32_t CResKVT::GetListCount(const CKvtListHandle* pList)
{
    const KvtField_st* pField = FindListField(pList);
    if (pField == nullptr)
        return 0;
    // A list entry is its element count and that many struct indices; a
    // count that does not fit reads as 0.
    CByteReader entry(FieldData(pField, 4));
    return static_cast<int32_t>(entry.U32());
}

int32_t CResKVT::GetAddressableListCount(const CKvtListHandle* pList)
{
    const KvtField_st* pField = FindListField(pList);
    if (pField == nullptr)
        return 0;
    CByteReader entry(FieldData(pField, 4));
    const uint32_t nCount = entry.U32();
    const uint64_t nFit = entry.Remaining() / 4;
    return static_cast<int32_t>(nCount < nFit ? nCount : nFit);
}

bool CResKVT::GetListElement(CKvtStructHandle* pOut, const CKvtListHandle* pList, int32_t nElement)
{
    if (pOut == nullptr || nElement < 0)
        return false;
    const KvtField_st* pField = FindListField(pList);
    if (pField == nullptr)
        return false;
    CByteReader entry(FieldData(pField, 4));
    const uint32_t nCount = entry.U32();
    entry.Skip(static_cast<uint64_t>(nElement) * 4);
    const uint32_t nStruct = entry.U32();
    if (!entry.Ok() || static_cast<uint32_t>(nElement) >= nCount || nStruct >= m_header.Data()->structCount)
        return false;
    pOut->nStructIndex = nStruct;
    return true;
}
